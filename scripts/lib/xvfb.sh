# Sourced by the scripts that need an X server of their own. zq_xvfb_start [WIDTHxHEIGHT] starts a
# private Xvfb (1280x1024 unless told, 24-bit) on a free display, exports DISPLAY and sets
# zq_xvfb_pid for the caller's clean-up; where it does not come up within 10 s, it sets zq_error
# and returns 1. -noreset keeps what a test sets on it (a keyboard layout) when its last client
# goes.
zq_xvfb_start() {
    local display=""
    exec {zq_xvfb_fd}< <(exec Xvfb -displayfd 1 -screen 0 "${1:-1280x1024}x24" -nolisten tcp -noreset 2>/dev/null)
    zq_xvfb_pid=$!
    read -r -t 10 display <&"$zq_xvfb_fd" || true
    exec {zq_xvfb_fd}<&-
    if [ -z "$display" ]; then
        kill "$zq_xvfb_pid" 2>/dev/null || true
        zq_error="the X server (Xvfb) did not start"
        return 1
    fi
    export DISPLAY=:$display
}
