#!/usr/bin/env bash
# Counts the wineserver requests the tester, the floor and the baseline make: for their start-up
# (from the start until 4 s later, all painted and idle) and for 40 key events (20 presses of A).
# Requests do not depend on the machine's load, so they show what one program does more than
# another when the timings of bench/run.sh are too noisy to tell.
#   bench/requests.sh [BUILD_DIR]    after bench/run.sh (which builds the programs and the prefix)
# Prints the busiest thread's counts (each program's own thread); the counts by request name go to
# build/bench/requests-*.txt, to compare with diff.
. "$(dirname "$0")/../scripts/lib/begin.sh" apt wine xvfb
zq_build_dir "${1:-}"
build=$zq_dir
out=$PWD/build/bench
log=$out/requests.log
# The prefix bench/run.sh made, and Wine started as it starts it.
prefix=$out/wineprefix-$zq_arch-cp${ZQ_CODE_PAGE:-936}
[ -f "$prefix/.zentaq-setup" ] || stop "there is no $prefix: run bench/run.sh ${1:-} first"
zq_wine_start "$zq_arch" "$prefix"
wine=("${zq_start[@]}")

zq_xvfb_start 1280x1080 || stop "$zq_error"  # the screen bench/run.sh measures on
# A server of our own, in the foreground, that logs every request with its thread's id.
"${wine[@]}" wineserver -f -d1 -p 2>"$log" &
sleep 1
"${wine[@]}" "$build/desktop_holder.exe" >/dev/null 2>&1 &
sleep 3

# count NAME FIRST LAST WHAT: the requests in lines FIRST-LAST of the log of the thread that made
# the most of them.
count() {
    sed -n "$(($2 + 1)),$3p" "$log" | awk -v name="$1" -v what="$4" -v file="$out/requests-$1-$4.txt" '
        /^[0-9a-f]+: [a-z_]+\( / {
            thread = substr($1, 1, length($1) - 1)
            request = substr($2, 1, index($2, "(") - 1)
            total[thread]++
            by[thread, request]++
        }
        END {
            for (t in total) if (total[t] > most) { most = total[t]; busiest = t }
            printf "%-10s %-9s %6d requests\n", name, what, most
            for (key in by) {
                split(key, part, SUBSEP)
                if (part[1] == busiest) printf "%-32s %6d\n", part[2], by[key] | "sort > " file
            }
        }'
}

lines() { wc -l <"$log"; }
for exe in "$build/ZENTAQ Tester.exe" "$build/floor.exe" "$build/baseline.exe"; do
    case $exe in
        *floor.exe) name=floor title="ZENTAQ Floor" ;;
        *baseline.exe) name=baseline title="ZENTAQ Baseline" ;;
        *) name=tester title="ZENTAQ Tester" ;;
    esac
    start=$(lines)
    "${wine[@]}" "$exe" >/dev/null 2>&1 &
    pid=$!
    sleep 4
    up=$(lines)
    window=$(xdotool search --onlyvisible --name "^$title\$" | head -1)
    # The keyboard by a click on an empty spot near the bottom-left corner, as keylatency does.
    height=$(xdotool getwindowgeometry "$window" | awk -F'[x ]' '/Geometry/ {print $NF}')
    xdotool mousemove --window "$window" 10 $((height - 10)) click 1
    sleep 1
    focused=$(lines)
    for _ in $(seq 20); do xdotool keydown a sleep 0.05 keyup a sleep 0.05; done
    sleep 1
    keys=$(lines)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    sleep 2
    count "$name" "$start" "$up" start-up
    count "$name" "$focused" "$keys" keys
done
