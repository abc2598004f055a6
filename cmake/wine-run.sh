#!/usr/bin/env bash
# Runs a Windows program under Wine: wine-run.sh PREFIX PROGRAM [ARGS...]
# PREFIX is a Wine prefix of the build's own, made on first use. Without a display the
# program runs inside a private Xvfb.
set -euo pipefail

prefix=$1
shift

export WINEPREFIX=$prefix
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko: nothing here needs .NET or a browser engine, and it keeps Wine from asking.
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -f "$prefix/.zentaq-ready" ]; then
    mkdir -p "$prefix"
    (
        flock 9
        if [ ! -f "$prefix/.zentaq-ready" ]; then
            echo "wine-run: creating the Wine prefix $prefix" >&2
            log=$prefix.setup.log
            # The registry reaches the disk when the Wine server ends; without it there is no prefix.
            if ! { wineboot --init && wineserver --wait; } >"$log" 2>&1 || [ ! -f "$prefix/system.reg" ]; then
                echo "wine-run: wineboot could not set up the Wine prefix $prefix; its output:" >&2
                cat "$log" >&2
                exit 1
            fi
            # Under Xvfb there is no window manager: Wine places, draws and focuses its windows
            # itself. On a desktop (ZQ_DESKTOP=1) the desktop's window manager does that.
            if [ -z "${ZQ_DESKTOP:-}" ]; then
                for value in Managed Decorated; do
                    if ! wine reg add 'HKCU\Software\Wine\X11 Driver' /v $value /d N /f >>"$log" 2>&1; then
                        echo "wine-run: could not set X11 Driver\\$value in $prefix; see $log" >&2
                        exit 1
                    fi
                done
            fi
            # Wine does not find the fonts of its own data folder (fonts-wine) here, among them
            # "MS Sans Serif" of the dialogs and Marlett of the caption buttons; copies in the
            # prefix's font folder it does.
            fonts=(/usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon)
            if [ ! -f "${fonts[0]}" ]; then
                echo "wine-run: Wine's fonts are missing from /usr/share/wine/fonts (package fonts-wine)" >&2
                exit 1
            fi
            cp "${fonts[@]}" "$prefix/drive_c/windows/Fonts/"
            wineserver --wait
            touch "$prefix/.zentaq-ready"
        fi
    ) 9>"$prefix.lock"
fi

if [ -z "${DISPLAY:-}" ]; then
    # Wine's helper processes outlive the program by a moment; the private X server waits for
    # them, or they report its end as a broken X connection.
    # shellcheck disable=SC2016  # the inner shell expands them
    exec xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
        sh -c 'wine "$@"; status=$?; wineserver --wait; exit $status' wine-run "$@"
fi
exec wine "$@"
