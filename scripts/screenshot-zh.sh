#!/usr/bin/env bash
# Takes the picture of the tester as Chinese (Simplified) Windows shows it, with the Up arrow key
# held: Wine in the zh_CN locale (code page 936) on a private X server, read back with
# ImageMagick. Needs the build that runs here built (scripts/test.sh, or scripts/run.sh).
#   scripts/screenshot-zh.sh [OUTPUT]     (OUTPUT: docs/tester-zh.png)
. "$(dirname "$0")/../scripts/lib/begin.sh" apt wine xvfb

# The build that runs here (a PE32 built where none runs would never show its window).
zq_build_dir ""
arch=$zq_arch
exe="build/$arch/ZENTAQ Tester.exe"
out=${1:-docs/tester-zh.png}
# A prefix of its own: the script's clean-up ends every Wine process of the prefix.
wine=(scripts/wine-run.sh --locale zh_CN.UTF-8 --font-replacement "SimSun=WenQuanYi Micro Hei" "$arch"
      "$PWD/build/$arch/wineprefix-zh_CN-screenshot")
[ -f "$exe" ] || stop "there is no $exe; build it first (scripts/test.sh)"
zq_xvfb_start || stop "$zq_error"

# Waits until two readings of the window in a row are the same.
settled() {
    local last="" now
    for _ in $(seq 100); do
        now=$(import -window "$1" -depth 8 ppm:- | md5sum)
        [ "$now" = "$last" ] && return 0
        last=$now
        sleep 0.2
    done
    stop "the window never settled"
}

say "starting $exe in the zh_CN locale, on a private X server"
"${wine[@]}" "$exe" &
window=$(timeout 120 xdotool search --sync --name '^ZENTAQ Tester$' | head -n 1)
settled "$window"
xdotool keydown Up
settled "$window"
import -window "$window" -depth 8 "$out"
xdotool keyup Up
say "$out"
