#!/usr/bin/env bash
# Takes the picture of the tester as Chinese (Simplified) Windows shows it, with the Up arrow key
# held: Wine in the zh_CN locale (code page 936) on a private X server, read back with
# ImageMagick. Needs a Windows build (scripts/test.sh, or cmake --build build/win32).
#   scripts/screenshot-zh.sh [OUTPUT]     (OUTPUT: docs/tester-zh.png)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/lib/xvfb.sh

# The PE32 where it was built, else the x86-64 build.
arch=win32
[ -f "build/win32/ZENTAQ Tester.exe" ] || arch=win64
exe="build/$arch/ZENTAQ Tester.exe"
out=${1:-docs/tester-zh.png}
# A prefix of its own: the end of this script ends every Wine process of the prefix.
prefix=$root/build/$arch/wineprefix-zh_CN-screenshot
if [ ! -f "$exe" ]; then
    echo "screenshot-zh.sh: there is no $exe; build it first" >&2
    exit 1
fi

cleanup() {
    scripts/wine-run.sh "$arch" "$prefix" wineserver -k 2>/dev/null || true
    if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
echo "==> starting a private X server (Xvfb), so the picture holds nothing else"
start_xvfb

# Waits until two readings of the window in a row are the same.
settled() {
    local last="" now
    for _ in $(seq 100); do
        now=$(import -window "$1" -depth 8 ppm:- | md5sum)
        [ "$now" = "$last" ] && return 0
        last=$now
        sleep 0.2
    done
    echo "screenshot-zh.sh: the window never settled" >&2
    return 1
}

echo "==> starting $exe in the zh_CN locale"
scripts/wine-run.sh --locale zh_CN.UTF-8 --font-replacement "SimSun=WenQuanYi Micro Hei" "$arch" "$prefix" "$exe" &
window=$(timeout 120 xdotool search --sync --name '^ZENTAQ Tester$' | head -n 1)
settled "$window"
xdotool keydown Up
settled "$window"
import -window "$window" -depth 8 "$out"
xdotool keyup Up
echo "==> $out"
