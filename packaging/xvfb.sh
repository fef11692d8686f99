# Sourced by the packaging scripts: a scratch folder $tmp, a display of
# their own, and a cleanup at exit that ends the program started under it
# ($app_pid), a sound server started for it ($pulse_pid) and the display.
tmp=$(mktemp -d)
xvfb_pid=""
app_pid=""
pulse_pid=""
cleanup() {
    if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; wait "$app_pid" 2>/dev/null || true; fi
    if [ -n "$pulse_pid" ]; then kill "$pulse_pid" 2>/dev/null || true; wait "$pulse_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$tmp"
}
trap cleanup EXIT

# Starts Xvfb and sets $display to it.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.2; done
    [ -s "$tmp/display" ] || { cat "$tmp/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
    display=:$(cat "$tmp/display")
}
