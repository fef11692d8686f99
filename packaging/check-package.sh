#!/usr/bin/env bash
# Builds the Debian package in a build folder (cpack -G DEB) and checks it:
#   - its file list against the list below (nothing missing, nothing extra),
#     owners and modes;
#   - its control fields: version, and Depends computed from the binaries plus
#     the fonts and the Qt platform plugins;
#   - that the Depends, followed through the archive's Depends and Pre-Depends
#     (apt-cache, no Recommends), reach every package owning a file the
#     program maps when it runs (libraries, Qt plugins, the web engine's
#     process and resources, the fonts): apt-get install of the package on a
#     clean Debian 12 brings all of them;
#   - desktop-file-validate, appstreamcli validate --no-net and lintian on
#     what it installs;
#   - the installed layout: the package unpacked with dpkg-deb -x into a
#     temporary root, mushaf-cli run from there, and mushaf started from there
#     under Xvfb: it must still run after a few seconds, with the unpacked
#     font configuration in its renderer's environment and the fonts it maps
#     to in use; F5 then plays a reciter's tone to a null sound server, and
#     what that loads (Qt's media plugin, GStreamer's) is owned by the
#     Depends too; it leaves a screenshot of the window as
#     BUILD/packaging/installed-screenshot.png.
#
# usage: packaging/check-package.sh BUILD_DIR VERSION
# (registered as the CTest test check_package; needs the packages of deps.sh)
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 BUILD_DIR VERSION" >&2; exit 2; }
build=$(cd "$1" && pwd)
version=$2
id=io.github.mushaf.Mushaf
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
deb=$build/mushaf_${version}_${arch}.deb
began=$SECONDS

. "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
. "$(dirname "${BASH_SOURCE[0]}")/owners.sh"
fail() { echo "check-package: FAIL: $*" >&2; exit 1; }
step() { echo "== $* ($((SECONDS - began)) s)"; }

# ---------------------------------------------------------------------------
step "cpack -G DEB in $build"
rm -f "$deb"
(cd "$build" && cpack -G DEB) >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; fail "cpack"; }
[ -f "$deb" ] || { cat "$tmp/cpack.log"; fail "cpack made no $deb"; }
echo "$deb: $(stat -c %s "$deb") bytes"

# ---------------------------------------------------------------------------
step "file list"
expected_files="./usr/bin/mushaf
./usr/bin/mushaf-cli
./usr/lib/mushaf/archive/mushaf-archive.so
./usr/lib/mushaf/audio/mushaf-audio.so
./usr/share/applications/$id.desktop
./usr/share/doc/mushaf/changelog.gz
./usr/share/doc/mushaf/copyright
./usr/share/icons/hicolor/128x128/apps/$id.png
./usr/share/icons/hicolor/256x256/apps/$id.png
./usr/share/icons/hicolor/64x64/apps/$id.png
./usr/share/icons/hicolor/scalable/apps/$id.svg
./usr/share/man/man1/mushaf-cli.1.gz
./usr/share/man/man1/mushaf.1.gz
./usr/share/metainfo/$id.metainfo.xml
./usr/share/mushaf/fonts/fonts.conf
./usr/share/mushaf/translations/de-rassoul.txt
./usr/share/mushaf/translations/en-ahmedali.txt
./usr/share/mushaf/translations/en-transliteration.txt
./usr/share/mushaf/translations/fr-hamidullah.txt"
dpkg-deb -c "$deb" >"$tmp/contents"
actual_files=$(awk '$1 !~ /^d/ {print $6}' "$tmp/contents" | LC_ALL=C sort)
if [ "$actual_files" != "$(echo "$expected_files" | LC_ALL=C sort)" ]; then
    diff <(echo "$expected_files" | LC_ALL=C sort) <(echo "$actual_files") || true
    fail "the package's files differ from the expected list (< expected, > in the package)"
fi
# every directory leads to an expected file; owners root; modes 0755 / 0644
while read -r mode owner _ _ _ path _; do
    [ "$owner" = root/root ] || fail "$path is owned by $owner"
    case "$mode" in
        d*)
            [ "$mode" = drwxr-xr-x ] || fail "directory $path has mode $mode"
            grep -q "^${path%/}/" <<<"$expected_files" || [ "$path" = ./ ] || fail "directory $path holds no expected file" ;;
        *)
            want=-rw-r--r--
            [[ $path == ./usr/bin/* ]] && want=-rwxr-xr-x
            [ "$mode" = "$want" ] || fail "$path has mode $mode, expected $want" ;;
    esac
done <"$tmp/contents"

# ---------------------------------------------------------------------------
step "control fields"
[ "$(dpkg-deb -f "$deb" Package)" = mushaf ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version $(dpkg-deb -f "$deb" Version), expected $version"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || fail "architecture"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
dep_names=$(tr ',' '\n' <<<"$depends" | sed 's/([^)]*)//g; s/|/\n/g; s/:any//; s/[[:space:]]//g' | grep . | sort -u)
# from dpkg-shlibdeps: the C library and the web engine; and the ones added by hand
for p in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqt6quick6 libqt6webenginewidgets6 libqt6webenginecore6 \
         fonts-noto-core fonts-hosny-amiri qt6-qpa-plugins qt6-translations-l10n libqt6multimedia6 gstreamer1.0-plugins-base \
         gstreamer1.0-plugins-good gstreamer1.0-pulseaudio; do
    grep -qx "$p" <<<"$dep_names" || fail "Depends lacks $p"
done

# The closure of the Depends through the archive (what apt-get install pulls
# in without Recommends), for the check of the running program below.
# shellcheck disable=SC2086
apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks --no-replaces \
    --no-enhances $dep_names 2>/dev/null | grep -v '^ ' | tr -d '<>' | sed 's/:.*//' | sort -u >"$tmp/closure"
[ "$(wc -l <"$tmp/closure")" -gt 50 ] || fail "apt-cache gave no dependency closure (no package lists?)"
dpkg-query -W -f='${Package} ${Essential}\n' | awk '$2 == "yes" {print $1}' >>"$tmp/closure"

# ---------------------------------------------------------------------------
step "unpacked into a temporary root"
root=$tmp/root
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop-file-validate"
grep -qx "Exec=mushaf" "$root/usr/share/applications/$id.desktop" || fail "the desktop entry's Exec"
grep -qx "Icon=$id" "$root/usr/share/applications/$id.desktop" || fail "the desktop entry's Icon"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$id.metainfo.xml" || fail "no release $version in the metainfo"
for size in 64 128 256; do
    got=$(identify -format '%wx%h' "$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
    [ "$got" = "${size}x${size}" ] || fail "icon ${size}x${size} is $got"
done
for page in mushaf mushaf-cli; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man page $page: $warnings"
    zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH .*\"mushaf $version\"" || fail "man page $page: version"
done
# mushaf is the reader, not the automation variant (which alone has --dump-state)
! grep -q -- "--dump-state" "$root/usr/bin/mushaf" || fail "/usr/bin/mushaf carries the automation"

# ---------------------------------------------------------------------------
# No error or warning is kept: any fails the check. Shown, not failing: the
# info tags hardening-no-bindnow and hardening-no-fortify-functions (the
# project's compile flags are CMake's, not dpkg-buildflags') and
# binary-has-unneeded-section .comment (CPack's strip keeps it). Lintian run
# as root only remarks on it.
step "lintian"
lintian --fail-on error,warning --display-info "$deb" 2>&1 | tee "$tmp/lintian.log" || {
    fail "lintian reported errors or warnings"
}

# ---------------------------------------------------------------------------
step "mushaf-cli from the unpacked root"
cli=$root/usr/bin/mushaf-cli
[ "$("$cli" --version)" = "mushaf-cli $version" ] || fail "mushaf-cli --version: $("$cli" --version)"
out=$("$cli" show ayah 2 255)
grep -q '^{"GlobalAyeh":0,"Soreh":1,"Ayeh":1,' <<<"$out" || fail "mushaf-cli show: $out"
grep -q '"Soreh":2,"Ayeh":255,"Joze":3,' <<<"$out" || fail "mushaf-cli ayah 2 255: $out"
# the shipped translation packs, found where they are installed
out=$(XDG_DATA_HOME=$tmp/data "$cli" translation "English - Ahmed Ali" ayah 112 1)
grep -q '"MeanFarsi":"SAY: “HE IS God the one the most unique,"' <<<"$out" || fail "mushaf-cli with a shipped pack: $out"

# ---------------------------------------------------------------------------
step "mushaf from the unpacked root under Xvfb"
start_xvfb
mkdir -p "$tmp/home"
# a sound server playing to nothing, and a reciter of two long tones, for F5 below
mkdir -p "$tmp/pulse" "$tmp/reciters/Tones"
chmod 700 "$tmp/pulse"
XDG_RUNTIME_DIR=$tmp/pulse pulseaudio --daemonize=no --exit-idle-time=-1 -n --load=module-null-sink \
    --load=module-native-protocol-unix >"$tmp/pulse.log" 2>&1 &
pulse_pid=$!
sox -n -r 44100 -c 1 "$tmp/reciters/Tones/001001.wav" synth 30 sine 440
sox -n -r 44100 -c 1 "$tmp/reciters/Tones/001002.mp3" synth 30 sine 440
# a clean environment: the program must find its fonts.conf by itself
env -i PATH=/usr/bin:/bin HOME="$tmp/home" DISPLAY="$display" LANG=C.UTF-8 QTWEBENGINE_DISABLE_SANDBOX=1 \
    XDG_RUNTIME_DIR="$tmp/pulse" "$root/usr/bin/mushaf" --recitations "$tmp/reciters" >"$tmp/mushaf.log" 2>&1 &
app_pid=$!
sleep 5
kill -0 "$app_pid" 2>/dev/null || { cat "$tmp/mushaf.log"; fail "mushaf ended: $(wait "$app_pid"; echo status $?)"; }

descendants() { local c; for c in $(pgrep -P "$1"); do echo "$c"; descendants "$c"; done; }
# every file the program maps, and the programs it runs; the panes are drawn
# once the font for Tahoma is in (up to 60 s more on a busy machine)
mapped() {
    for p in $app_pid $(descendants "$app_pid"); do
        awk '$6 ~ /^\// {print $6}' "/proc/$p/maps" 2>/dev/null || true
        readlink "/proc/$p/exe" 2>/dev/null || true
    done | sort -u >"$tmp/mapped"
}
for _ in $(seq 60); do
    mapped
    grep -q "noto/NotoSansArabic" "$tmp/mapped" && break
    kill -0 "$app_pid" 2>/dev/null || { cat "$tmp/mushaf.log"; fail "mushaf ended"; }
    sleep 1
done
sleep 2
kill -0 "$app_pid" 2>/dev/null || { cat "$tmp/mushaf.log"; fail "mushaf ended"; }
# F5 plays the first ayah's tone: what playing loads is then mapped too
window=$(DISPLAY=$display xdotool search --pid "$app_pid" --onlyvisible 2>/dev/null | head -1)
[ -n "$window" ] || fail "no window of mushaf"
DISPLAY=$display xdotool windowfocus --sync "$window" key F5
for _ in $(seq 30); do
    mapped
    grep -q "/gstreamer-1.0/libgstpulseaudio.so" "$tmp/mapped" && break
    sleep 1
done
grep -q "/gstreamer-1.0/libgstpulseaudio.so" "$tmp/mapped" || { cat "$tmp/mushaf.log"; fail "F5 played nothing"; }
grep -q "/gstreamer-1.0/libgstwavparse.so" "$tmp/mapped" || fail "no WAV parser was loaded to play 001001.wav"
grep -q "/qt6/plugins/multimedia/libgstreamermediaplugin.so" "$tmp/mapped" || fail "Qt's GStreamer media plugin is not loaded"
kill -0 "$app_pid" 2>/dev/null || { cat "$tmp/mushaf.log"; fail "mushaf ended"; }
mapped
conf=$root/usr/share/mushaf/fonts/fonts.conf
found_conf=""
for p in $(descendants "$app_pid"); do
    if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "FONTCONFIG_FILE=$conf"; then found_conf=$p; fi
done
[ -n "$found_conf" ] || fail "no web engine process of mushaf has FONTCONFIG_FILE=$conf"
# and what the unpacked configuration makes of the two families the documents name
for pair in "Tahoma:NotoSansArabic" "Traditional Arabic:Amiri-Regular"; do
    got=$(FONTCONFIG_FILE=$conf fc-match -f '%{file}' "${pair%%:*}")
    [[ $got == */${pair#*:}* ]] || fail "the unpacked fonts.conf maps ${pair%%:*} to $got"
done
# the panes ask for Tahoma only (Traditional Arabic is for the exported documents)
grep -q "noto/NotoSansArabic" "$tmp/mapped" || fail "Noto Sans Arabic (Tahoma in the panes) is not in use"
grep -q "/qt6/plugins/platforms/libqxcb.so" "$tmp/mapped" || fail "the xcb platform plugin is not loaded"
grep -q "/QtWebEngineProcess" "$tmp/mapped" || fail "no QtWebEngineProcess runs"
# drawn in software: no GL driver (Mesa's, with LLVM)
gl=$(grep -E "/(swrast_dri\.so|libLLVM[^/]*|libGLX_mesa\.so[^/]*)$" "$tmp/mapped" || true)
[ -z "$gl" ] || fail "a GL driver is loaded although the panes are drawn in software: $(echo $gl)"
# who owns each: a package apt-get install brings (owners.sh). Files outside
# the system's folders (shared memory, caches in the home folder) are
# nobody's. One file is loaded only when it is there: Qt's xcb plugin opens
# libXcursor with dlopen for cursor themes and does without it.
optional='/libXcursor\.so'
grep -E '^/(usr|lib|lib64|bin|sbin|etc|opt)/' "$tmp/mapped" | grep -v "^$tmp/" | grep -Ev "$optional" >"$tmp/system" || true
owners_judge "$tmp/system" "$tmp/closure" >"$tmp/owners" || {
    cat "$tmp/owners"
    fail "what the running program uses is not all brought by the Depends: $(sed 's/.*: \([^ ]*\) is not brought.*/\1/; s/^no package owns //' "$tmp/owners" | sort -u | xargs)"
}
echo "$(wc -l <"$tmp/system") system files mapped by the running program, all from its Depends"

shot=$build/packaging/installed-screenshot.png
import -display "$display" -window root "$shot"
colours=$(convert "$shot" -format %k info:)
[ "$colours" -gt 64 ] || fail "the screenshot has only $colours colours: nothing drawn?"
echo "screenshot: $shot ($colours colours)"
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true
app_pid=""
kill "$pulse_pid" 2>/dev/null || true
wait "$pulse_pid" 2>/dev/null || true
pulse_pid=""

step "all checks passed"
