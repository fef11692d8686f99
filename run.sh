#!/usr/bin/env bash
# Installs what is missing, builds, and starts the reader.
set -euo pipefail
cd "$(dirname "$0")"
. ./deps.sh
mushaf_install_deps
mushaf_build
export FONTCONFIG_FILE="$PWD/window/fonts/fonts.conf"
if [ "$(id -u)" -eq 0 ]; then
    # Chromium refuses to run as root with its sandbox on.
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting the reader under Xvfb."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" ./build/window/mushaf "$@"
fi
exec ./build/window/mushaf "$@"
