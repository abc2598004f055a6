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
            wineboot --init >/dev/null 2>&1
            # Without a window manager (Xvfb), Wine places, draws and focuses its windows itself.
            wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
            wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
            wineserver --wait
            touch "$prefix/.zentaq-ready"
        fi
    ) 9>"$prefix.lock"
fi

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" wine "$@"
fi
exec wine "$@"
