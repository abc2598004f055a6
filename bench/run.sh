#!/usr/bin/env bash
# Benchmarks the tester against two plain Win32 programs: bench/baseline.cpp (one owner-drawn key
# lamp) and bench/floor.cpp (the tester's own dialog and work with no framework), all three under
# Wine in a private Xvfb, in the same run: key-to-screen latency, start-up time, memory and
# executable size. Prints figures; it fails only when a measurement cannot be taken.
#   bench/run.sh [--soak] [BUILD_DIR]   BUILD_DIR: the MinGW build to take the programs from
#                               (default: the build that runs here, scripts/lib/wine.sh;
#                               configured and built here if needed)
# PRESSES (default 300) and RUNS (default 10) set the number of key presses and start-up runs;
# KEEP_IDLE=1 lets idle CPUs sleep (see below); ZQ_CODE_PAGE=1252 runs them in Wine's default
# code page instead of the run command's 936.
# --soak runs the soak test's storm instead, with 1,000,000 key messages (ZQ_SOAK_MESSAGES), on a
# private X server: memory and GDI/USER objects at each tenth, the growth per 10,000 messages.
. "$(dirname "$0")/../scripts/lib/begin.sh" apt wine xvfb
soak=no
[ "${1:-}" != --soak ] || { soak=yes; shift; }
zq_check_machine
zq_install test
zq_choose_build
zq_build_dir "${1:-}"
build=$zq_dir arch=$zq_arch
out=$PWD/build/bench
presses=${PRESSES:-300}
runs=${RUNS:-10}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)

say "building $build ($arch, MinGW-w64)"
[ -f "$build/CMakeCache.txt" ] ||
    need -q "configuring $build" cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=$zq_toolchain -DCMAKE_BUILD_TYPE=MinSizeRel
if [ $soak = yes ]; then
    need -q "building $build" cmake --build "$build" -j "$(nproc)" --target soak_tests
    zq_xvfb_start || stop "$zq_error"
    export ZQ_SOAK_MESSAGES=${ZQ_SOAK_MESSAGES:-1000000}
    say "soak: $ZQ_SOAK_MESSAGES random key messages to the running tester, on a private X server"
    need "the soak" scripts/wine-run.sh "$arch" "$build/wineprefix" "$build/soak_tests.exe" --gtest_filter='Soak.*'
    exit 0
fi
need -q "building $build" cmake --build "$build" -j "$(nproc)" --target zentaq_tester baseline floor desktop_holder
tester=$build/ZENTAQ\ Tester.exe
baseline=$build/baseline.exe
floor=$build/floor.exe

say "measuring tools (native): $out"
mkdir -p "$out"
g++ -O2 -std=c++17 -Wall -Wextra -o "$out/keylatency" bench/keylatency.cpp -lXtst -lX11
g++ -O2 -std=c++17 -Wall -Wextra -o "$out/startup" bench/startup.cpp -lX11

# Wine set up as the run command sets it up; a prefix for each code page (bench/requests.sh uses it).
prefix=$out/wineprefix-$arch-cp${ZQ_CODE_PAGE:-936}
zq_wine_start "$arch" "$prefix"
wine=("${zq_start[@]}")
program_pids=()  # ended after the memory is read; the clean-up ends them where the run stops early

# Every request a Wine program makes of wineserver wakes a sleeping CPU. On a virtual machine that
# wake-up costs tens of microseconds and varies with whatever else the host runs, which swamps the
# programs' own differences; holding the CPUs' wake-up latency at zero (PM QoS) for the run keeps
# them polling instead. KEEP_IDLE=1 measures with idle CPUs sleeping as usual.
if [ -z "${KEEP_IDLE:-}" ] && [ -w /dev/cpu_dma_latency ]; then
    exec 8>/dev/cpu_dma_latency
    printf '\x00\x00\x00\x00' >&8
    cpus="CPU wake-up latency held at 0"
else
    cpus="idle CPUs sleep as usual"
fi

say "starting a private X server (Xvfb 1280x1080x24)"
# 56 rows more than the tests' screen: the baseline above the centred tester, the floor below it.
zq_xvfb_start 1280x1080 || stop "$zq_error"

say "Wine prefix $prefix (kept warm: one persistent wineserver for every run)"
"${wine[@]}" cmd /c exit
"${wine[@]}" wineserver -k 2>/dev/null || true  # the short-lived one that ran cmd
"${wine[@]}" wineserver -p

# Start-up is timed twice: as Windows would run them, with Wine's desktop process already up (a
# windowless holder keeps it), and with the desktop process started anew for each run, as Wine
# does when a program is started on a desktop with no other program on it.
say "start-up, desktop process started per run: $runs runs of each program, taken in turn"
"$out/startup" "$runs" "${wine[@]}" -- "ZENTAQ Tester" "$tester" "ZENTAQ Floor" "$floor" \
    "ZENTAQ Baseline" "$baseline" |
    tee "$out/startup-cold.txt"
"${wine[@]}" "$build/desktop_holder.exe" >/dev/null 2>&1 &
program_pids+=($!)
say "start-up, desktop process kept running: $runs runs of each program, taken in turn"
"$out/startup" "$runs" "${wine[@]}" -- "ZENTAQ Tester" "$tester" "ZENTAQ Floor" "$floor" \
    "ZENTAQ Baseline" "$baseline" |
    tee "$out/startup.txt"

# The Wine process that runs an executable of ours, found by its command line.
wine_pid() {
    local dir
    for dir in /proc/[0-9]*; do
        grep -qxz "WINEPREFIX=$prefix" "$dir/environ" 2>/dev/null || continue
        case "$(tr '\0' ' ' <"$dir/cmdline" 2>/dev/null)" in
            "$1"*) echo "${dir#/proc/}"; return 0 ;;
        esac
    done
    return 1
}

say "key to screen: $presses presses on each program, all three running, taking turns in blocks"
"${wine[@]}" "$tester" >/dev/null 2>&1 &
program_pids+=($!)
# Below the centred tester (the baseline places itself above it).
"${wine[@]}" "$floor" 100 720 >/dev/null 2>&1 &
program_pids+=($!)
"${wine[@]}" "$baseline" >/dev/null 2>&1 &
program_pids+=($!)
"$out/keylatency" "$presses" "ZENTAQ Tester" "ZENTAQ Floor" "ZENTAQ Baseline" | tee "$out/latency.txt"

say "memory of the Wine processes that ran them"
for exe in "$tester" "$floor" "$baseline"; do
    pid=$(wine_pid "$exe")
    echo "$(basename "$exe"): $(grep -E '^Vm(HWM|RSS)' "/proc/$pid/status" | tr -s '\t\n ' ' ')"
done | tee "$out/memory.txt"
kill "${program_pids[@]}"
wait "${program_pids[@]}" 2>/dev/null || true

say "executables"
for exe in "$tester" "$floor" "$baseline"; do
    echo "$(basename "$exe"): $(stat -c %s "$exe") bytes, imports:" \
        $($zq_mingw-objdump -p "$exe" | awk '/DLL Name/ {print $3}')
done | tee "$out/exe.txt"

# section_value FILE TITLE PATTERN FIELD: in FILE's part headed "TITLE:", the FIELDth word of the
# first line that contains PATTERN.
section_value() {
    awk -v title="$2:" -v what="$3" -v f="$4" '$0 == title {on = 1; next} /^[^ a-z]/ {on = 0}
        on && index($0, what) {print $f; exit}' "$1"
}
memory_value() {  # memory_value EXE FIELD
    awk -v exe="$(basename "$1"):" -v what="$2:" 'index($0, exe) == 1 {
        for (i = 1; i < NF; ++i) if ($i == what) print $(i + 1) }' "$out/memory.txt"
}
row() {  # row LABEL TESTER FLOOR BASELINE TARGET
    awk -v l="$1" -v t="$2" -v f="$3" -v b="$4" -v target="$5" 'BEGIN {
        printf "%-34s %10s %10s %10s %8.2f %8.2f   %s\n", l, t, f, b, t / f, t / b, target }'
}
# figures FILE PATTERN FIELD: the three programs' values, tester, floor and baseline.
figures() {
    local title
    for title in "ZENTAQ Tester" "ZENTAQ Floor" "ZENTAQ Baseline"; do section_value "$1" "$title" "$2" "$3"; done
}

echo
say "summary: the $arch build $build"
echo "    ($(date -u +%F), $(nproc) cores, $("${wine[@]}" --version), Xvfb 1280x1080x24)"
echo "    $cpus; load average before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)"
printf "%-34s %10s %10s %10s %8s %8s   %s\n" "" tester floor baseline "/floor" "/base" "target"
for kind in press-to-green release-to-clear; do
    row "$kind median (ms)" $(figures "$out/latency.txt" "$kind" 3) "/floor <= 1.02"
    row "$kind p95 (ms)" $(figures "$out/latency.txt" "$kind" 6) "p95 < 16.7 ms"
done
# Fields 4 and 7 of the start-up summaries: the median and the best run.
row "start-up, complete paint (ms)" $(figures "$out/startup.txt" "complete paint" 4) "/floor <= 1.02 (median of $runs)"
row "  best run" $(figures "$out/startup.txt" "complete paint" 7) ""
row "start-up, window mapped (ms)" $(figures "$out/startup.txt" "window mapped" 4) ""
row "new desktop, complete paint (ms)" $(figures "$out/startup-cold.txt" "complete paint" 4) ""
row "new desktop, window mapped (ms)" $(figures "$out/startup-cold.txt" "window mapped" 4) ""
row "peak memory VmHWM (kB)" "$(memory_value "$tester" VmHWM)" "$(memory_value "$floor" VmHWM)" \
    "$(memory_value "$baseline" VmHWM)" "/floor <= 1.02"
row "executable (bytes)" "$(stat -c %s "$tester")" "$(stat -c %s "$floor")" "$(stat -c %s "$baseline")" ""
