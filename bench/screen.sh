# Sourced by the benchmark scripts: start_bench_xvfb starts a private Xvfb of 1280x1080x24 (56 rows
# more than the tests' screen, so that the baseline above the centred tester and the floor below
# it do not overlap), exports DISPLAY and sets xvfb_pid for the caller's clean-up.
start_bench_xvfb() {
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1080x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
    export DISPLAY=":$(cat "$display_file")"
    rm -f "$display_file"
}
