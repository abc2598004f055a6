# Sourced by the scripts that need an X server of their own: start_xvfb [WIDTHxHEIGHT] starts a
# private Xvfb (1280x1024 unless told) on a free display, exports DISPLAY and sets xvfb_pid for
# the caller's clean-up. It stops the calling script with a message when the server does not
# come up.
start_xvfb() {
    local size=${1:-1280x1024} display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$display_file" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -s "$display_file" ]; then
        rm -f "$display_file"
        echo "start_xvfb: the X server (Xvfb) did not start; the window tests need one" >&2
        exit 1
    fi
    export DISPLAY=":$(cat "$display_file")"
    rm -f "$display_file"
}
