#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
. ./deps.sh
mushaf_install_deps
mushaf_build
cd build
# Window tests run the real Qt WebEngine under Xvfb; as root Chromium needs
# its sandbox off, for the tests only.
export QTWEBENGINE_DISABLE_SANDBOX=1
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j2 --timeout 300
