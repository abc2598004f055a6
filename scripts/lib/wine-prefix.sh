#!/usr/bin/env bash
# Runs a Windows program under Wine: wine-run.sh ARCH PREFIX PROGRAM [ARGS...]
# ARCH is win32 (PE32 programs) or win64 (PE32+); cmake/wine-locate.sh finds the Wine for it.
# PREFIX is a Wine prefix of the build's own, made on first use for the loader that runs it. PROGRAM
# "wineserver" runs the Wine server of PREFIX instead (wineserver -k ends its programs).
# Without a display the program runs inside a private Xvfb.
set -euo pipefail

arch=$1 prefix=$2
[[ $prefix == /* ]] || prefix=$(realpath -m "$prefix")  # Wine takes only an absolute one
shift 2

here=${0%/*}
[ "$here" != "$0" ] || here=.
. "$here/wine-locate.sh"
if ! wine_for "$arch"; then
    echo "wine-run: $wine_missing" >&2
    exit 1
fi
loader=$wine_loader server=$wine_server
export WINEPREFIX=$prefix WINEARCH=$wine_prefix_arch WINELOADER=$loader WINESERVER=$server
export WINEDEBUG=${ZQ_WINEDEBUG:--all}  # ZQ_WINEDEBUG: a trace Wine should write
# No Mono or Gecko: nothing here needs .NET or a browser engine, and it keeps Wine from asking.
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ "${1:-}" = wineserver ]; then
    shift
    exec "$server" "$@"
fi

# What the prefix is set up with; a prefix set up otherwise gets these settings anew.
setup="$wine_prefix_arch, UseXIM=N, fonts"
[ -n "${ZQ_DESKTOP:-}" ] || setup="$setup, Managed=N, Decorated=N"
# Each start of a program comes through here: the usual path runs no command of its own.
ready=""
[ ! -f "$prefix/.zentaq-ready" ] || IFS= read -r ready <"$prefix/.zentaq-ready" || true
if [ "$ready" != "$setup" ]; then
    mkdir -p "$prefix"
    (
        flock 9
        if [ "$(cat "$prefix/.zentaq-ready" 2>/dev/null)" != "$setup" ]; then
            log=$prefix.setup.log
            : >"$log"
            # A prefix made for the other loader (the 32-bit Wine was installed or removed since)
            # cannot serve this one.
            if [ -f "$prefix/system.reg" ] && ! grep -qx "#arch=$wine_prefix_arch" "$prefix/system.reg"; then
                echo "wine-run: making $prefix anew for the $wine_prefix_arch Wine" >&2
                find "$prefix" -mindepth 1 -delete
            fi
            if [ ! -f "$prefix/system.reg" ]; then
                echo "wine-run: creating the $wine_prefix_arch Wine prefix $prefix ($loader)" >&2
                # The registry reaches the disk when the Wine server ends; without it there is no prefix.
                if ! { "$loader" wineboot --init && "$server" --wait; } >>"$log" 2>&1 || [ ! -f "$prefix/system.reg" ]; then
                    echo "wine-run: wineboot could not set up the Wine prefix $prefix; its output:" >&2
                    cat "$log" >&2
                    exit 1
                fi
            fi
            settings=("X11 Driver" UseXIM N)
            # Under Xvfb there is no window manager: Wine places, draws and focuses its windows
            # itself. On a desktop (ZQ_DESKTOP=1) the desktop's window manager does that.
            if [ -z "${ZQ_DESKTOP:-}" ]; then
                settings+=("X11 Driver" Managed N "X11 Driver" Decorated N)
            fi
            for ((i = 0; i < ${#settings[@]}; i += 3)); do
                key="HKCU\\Software\\Wine\\${settings[i]}"
                if ! "$loader" reg add "$key" /v "${settings[i + 1]}" /d "${settings[i + 2]}" /f >>"$log" 2>&1; then
                    echo "wine-run: could not set $key\\${settings[i + 1]} in $prefix; see $log" >&2
                    exit 1
                fi
            done
            # Wine does not find the fonts of its own data folder (fonts-wine) here, among them
            # "MS Sans Serif" of the dialogs and Marlett of the caption buttons; copies in the
            # prefix's font folder it does.
            fonts=(/usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon)
            if [ ! -f "${fonts[0]}" ]; then
                echo "wine-run: Wine's fonts are missing from /usr/share/wine/fonts (package fonts-wine)" >&2
                exit 1
            fi
            cp "${fonts[@]}" "$prefix/drive_c/windows/Fonts/"
            "$server" --wait
            echo "$setup" >"$prefix/.zentaq-ready"
        fi
    ) 9>"$prefix.lock"
fi

if [ -z "${DISPLAY:-}" ]; then
    if ! command -v xvfb-run >/dev/null; then
        echo "wine-run: no X display (DISPLAY is not set) and no xvfb-run to make one (package xvfb)" >&2
        exit 1
    fi
    # Wine's helper processes outlive the program by a moment; the private X server waits for
    # them, or they report its end as a broken X connection.
    # shellcheck disable=SC2016  # the inner shell expands them
    exec xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
        sh -c '"$WINELOADER" "$@"; status=$?; "$WINESERVER" --wait; exit $status' wine-run "$@"
fi
exec "$loader" "$@"
