#!/usr/bin/env bash
# Takes the screenshot of the real window that the AppStream metadata shows:
# starts the reader under its own Xvfb, waits until it has drawn its panes,
# and saves the screen trimmed to the window.
# usage: packaging/screenshot.sh [MUSHAF [OUTPUT]]
#   MUSHAF  the reader to start (default: build/window/mushaf)
#   OUTPUT  the PNG to write (default: docs/screenshot.png)
# Needs xvfb and imagemagick (deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(readlink -f "${1:-build/window/mushaf}")
out=${2:-docs/screenshot.png}
[ -x "$bin" ] || { echo "no reader at $bin: build first (./run.sh or cmake --build build)" >&2; exit 2; }
mkdir -p "$(dirname "$out")"

tmp=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
    if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; wait "$app_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$tmp"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.2; done
[ -s "$tmp/display" ] || { cat "$tmp/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
display=:$(cat "$tmp/display")

# the reader finds its own font configuration; settings go to a scratch home
env -u FONTCONFIG_FILE HOME="$tmp" DISPLAY="$display" QTWEBENGINE_DISABLE_SANDBOX=1 "$bin" >"$tmp/mushaf.log" 2>&1 &
app_pid=$!
sleep 8
kill -0 "$app_pid" 2>/dev/null || { cat "$tmp/mushaf.log" >&2; echo "the reader ended" >&2; exit 1; }
# no window manager: the window sits on the black screen; trim to it
import -display "$display" -window root "$tmp/screen.png"
convert "$tmp/screen.png" -trim +repage "$out"
echo "$out: $(identify -format '%wx%h' "$out")"
