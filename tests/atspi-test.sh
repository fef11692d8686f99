#!/usr/bin/env bash
# The reader through AT-SPI, as a screen reader reads it: a session bus of
# its own, an X server of its own, and tests/atspi-test.py.
# Usage: tests/atspi-test.sh MUSHAF_AUTOMATION
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
exec xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- /usr/bin/python3 "$here/atspi-test.py" "$1"
