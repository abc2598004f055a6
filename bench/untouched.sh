#!/usr/bin/env bash
# Shows that the tester opens no file, registry key or socket of its own.
#   bench/untouched.sh [BUILD_DIR]      (default: the build that runs here, as scripts/test.sh
#                                        builds it: build/win32, or build/win64)
# 1. Imports: the executable does not import a single file, registry or network function.
# 2. A run: the tester and the baseline program (bench/baseline.cpp) each run under strace
#    (file and socket calls) and Wine's registry trace while keys are pressed. Wine itself opens
#    the same files and keys for both, so whatever the tester touches beyond the baseline is its own.
# Exits 1 where the tester touches anything of its own, and 77 (not run) where this machine forbids
# ptrace, which strace needs: the test command's <build>.untouched.
. "$(dirname "$0")/../scripts/lib/begin.sh" apt wine xvfb
zq_build_dir "${1:-}"
build=$zq_dir
tester="$build/ZENTAQ Tester.exe"
baseline="$build/baseline.exe"
for exe in "$tester" "$baseline" "$build/desktop_holder.exe"; do
    [ -f "$exe" ] || stop "$exe is missing; build first (scripts/test.sh)"
done
command -v strace >/dev/null || need "installing strace" zq_apt install -y strace
if ! said=$(strace -f -qq -o /dev/null true 2>&1); then
    say "NOT RUN: the run of the tester beside the baseline: strace cannot trace here (${said%%$'\n'*})" >&2
    exit 77
fi

out=$(mktemp -d)
say "1. imports of $(basename "$tester")"
$zq_mingw-objdump -p "$tester" | sed -n '/DLL Name/,/^$/p' | grep -vE '^\s*$|vma|Hint' |
    awk '{print $NF}' >"$out/imports"
echo "   DLLs: $(grep -i '\.dll$' "$out/imports" | tr '\n' ' ')"
forbidden='^(Create|Open|Read|Write|Delete|Move|Copy|Find)File|^_?w?f?open|^_(w)?sopen|^fopen|^Reg[A-Z]|^SH|^socket$|^connect$|^WSA|^Internet|^URL|^WinHttp'
if grep -Eq "$forbidden" "$out/imports"; then
    echo "   file, registry or network functions imported: $(grep -E "$forbidden" "$out/imports" | tr '\n' ' ')"
    status=1
else
    echo "   file, registry or network functions imported: none"
    status=0
fi

say "2. a run of each under strace and Wine's registry trace"
wine=(scripts/wine-run.sh "$zq_arch" "$build/untouched-prefix")
zq_xvfb_start || stop "$zq_error"
trap 'zq_cleanup; rm -rf "$out"' EXIT
"${wine[@]}" wineboot >/dev/null 2>&1

zq_desktop_up() {  # whether Wine's desktop process runs in this run's prefix
    local p
    for p in /proc/[0-9]*; do
        tr '\0' '\n' 2>/dev/null <"$p/cmdline" | grep -qi 'explorer\.exe' &&
            tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qx "WINEPREFIX=$build/untouched-prefix" && return 0
    done
    return 1
}
run() {  # NAME EXE TITLE: runs EXE for a few seconds with keys pressed, tracing what it touches
    # The server runs outside strace: its files are Wine's.
    "${wine[@]}" wineserver -k 2>/dev/null || true
    "${wine[@]}" wineserver -w
    "${wine[@]}" wineserver -p
    # So is the desktop process (explorer), which a windowless holder starts and keeps: what it
    # does at its start, and when, is Wine's.
    "${wine[@]}" "$build/desktop_holder.exe" >/dev/null 2>&1 &
    local waited=0
    until zq_desktop_up; do
        [ $waited -lt 60 ] || stop "Wine's desktop process did not start within 30 s"
        sleep 0.5
        waited=$((waited + 1))
    done
    ZQ_WINEDEBUG=-all,+reg strace -f -qq -e trace=open,openat,creat,socket,connect,bind -o "$out/$1.strace" \
        "${wine[@]}" "$2" 2>"$out/$1.reg" &
    local traced=$!
    # The pointer goes over each window alike once it is there, so that key events reach it.
    timeout 30 xdotool search --sync --name "^$3\$" >/dev/null || stop "no window '$3' within 30 s"
    sleep 1
    xdotool search --name "^$3\$" mousemove --window %1 20 40 key a shift Return Escape Tab F1 alt+F4 \
        2>/dev/null || true
    sleep 1
    "${wine[@]}" wineserver -k 2>/dev/null || true
    wait "$traced" || true
    # Paths and keys, with the program's own name and process numbers made alike.
    grep -oE '"[^"]*"' "$out/$1.strace" | sed -e "s|$(basename "$2")|PROGRAM|g" -e 's|/proc/[0-9]*|/proc/N|g' |
        sed -E 's|/task/[0-9]+|/task/N|' | sort -u >"$out/$1.files"
    # Wine makes a socket to its server for each thread: the kinds count, not how many.
    grep -c 'socket(' "$out/$1.strace" >"$out/$1.sockets" || true
    grep -oE 'socket\([^,]*, [^,]*' "$out/$1.strace" | sort -u >"$out/$1.socket-kinds" || true
    # Registry calls by function and the names they pass; handles and buffers differ per run.
    grep -E 'trace:reg:' "$out/$1.reg" | sed -E 's/.*trace:reg:([A-Za-z]+).*/\1/' >"$out/$1.functions" || true
    grep -E 'trace:reg:' "$out/$1.reg" | while IFS= read -r line; do
        printf '%s %s\n' "$(sed -E 's/.*trace:reg:([A-Za-z]+).*/\1/' <<<"$line")" \
            "$(grep -oE 'L"[^"]*"' <<<"$line" | tr '\n' ' ')"
    done | sed -E -e "s|[^\"\\\\]*$(basename "$2" .exe)[^\"]*|PROGRAM|Ig" \
        -e 's/\{[0-9a-f-]{36}\}/{GUID}/g' | sort -u >"$out/$1.keys"
}
run baseline "$baseline" "ZENTAQ Baseline"
run tester "$tester" "ZENTAQ Tester"

# Wine's loader looks up the DLL override of each DLL a program imports: the tester's imports
# beyond the baseline's (IMM32) are its loader's lookups, not the tester's.
dlls=$(grep -i '\.dll$' "$out/imports" | sed 's/\.[dD][lL][lL]$//' | paste -sd '|')
extra_files=$(comm -13 "$out/baseline.files" "$out/tester.files")
extra_keys=$(comm -13 "$out/baseline.keys" "$out/tester.keys" | grep -viE "^NtQueryValueKey L\"\*?($dlls)\" \$" || true)
extra_sockets=$(comm -13 "$out/baseline.socket-kinds" "$out/tester.socket-kinds")
echo "   files opened: baseline $(wc -l <"$out/baseline.files"), tester $(wc -l <"$out/tester.files");" \
     "opened by the tester only: ${extra_files:-none}"
echo "   sockets made: baseline $(cat "$out/baseline.sockets"), tester $(cat "$out/tester.sockets")" \
     "(Wine's own connections to its server); of a kind the baseline makes none of: ${extra_sockets:-none}"
echo "   registry calls: baseline $(wc -l <"$out/baseline.keys"), tester $(wc -l <"$out/tester.keys");" \
     "made by the tester only: ${extra_keys:-none}"
if [ -n "$extra_files$extra_keys$extra_sockets" ]; then
    status=1
fi
[ $status -eq 0 ] && say "the tester touched nothing of its own" || say "the tester touched something of its own (above)" >&2
exit $status
