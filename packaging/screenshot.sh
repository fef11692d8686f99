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

. packaging/xvfb.sh

start_xvfb

# the reader finds its own font configuration; settings go to a scratch home
env -u FONTCONFIG_FILE HOME="$tmp" DISPLAY="$display" QTWEBENGINE_DISABLE_SANDBOX=1 "$bin" >"$tmp/mushaf.log" 2>&1 &
app_pid=$!
sleep 8
kill -0 "$app_pid" 2>/dev/null || { cat "$tmp/mushaf.log" >&2; echo "the reader ended" >&2; exit 1; }
# no window manager: the window sits on the black screen; trim to it
import -display "$display" -window root "$tmp/screen.png"
convert "$tmp/screen.png" -trim +repage "$out"
echo "$out: $(identify -format '%wx%h' "$out")"
