# Installs the Debian packages the project needs, when any is missing.
# Sourced by run.sh and test.sh.
MUSHAF_PACKAGES="cmake ninja-build g++ python3 qt6-base-dev qt6-webengine-dev qt6-webengine-dev-tools
  qt6-webchannel-dev libqt6webenginewidgets6 qt6-qpa-plugins qt6-translations-l10n qt6-multimedia-dev libsoundtouch-dev libarchive-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-pulseaudio gstreamer1.0-tools
  pulseaudio pulseaudio-utils sox libsox-fmt-all libgl1-mesa-dri xvfb xauth
  fonts-noto-core fonts-hosny-amiri fontconfig libgtest-dev libgmock-dev libbenchmark-dev imagemagick locales
  clang libclang-rt-14-dev
  gdb binutils librsvg2-bin xdotool dpkg-dev lintian desktop-file-utils appstream procps man-db
  dbus at-spi2-core python3-pyatspi"

mushaf_install_deps() {
    local missing=()
    for p in $MUSHAF_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo apt-get update
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

mushaf_build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build
}
