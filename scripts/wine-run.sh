#!/usr/bin/env bash
# Runs a Windows program under Wine, with a Wine prefix of its own, as on a Windows of a given
# code page, locale or screen DPI:
#   wine-run.sh [--code-page 936] [--locale NAME] [--font-replacement FAMILY=OTHER] [--dpi N]
#               [--graphics null] [--setup] ARCH PREFIX PROGRAM [ARGS...]
# ARCH is win32 (PE32 programs) or win64 (PE32+): scripts/lib/wine.sh finds the Wine for it.
# PREFIX is set up on first use, under its lock, and made anew where it was set up otherwise
# (another loader, other options); --setup only sets it up. PROGRAM "wineserver" runs the prefix's
# Wine server instead (wineserver -k ends its programs).
#   --code-page 936  the ANSI code page of Chinese (Simplified) Windows, with a CJK font for
#                    SimSun, whose characters Wine then draws for any font, as Windows does; Wine's
#                    own texts (system menu, message boxes) stay in the user's language. Where
#                    that cannot be set up here, one line says why and the program runs without it.
#   --locale NAME    runs Wine in that glibc locale (code page and language), compiled into the
#                    build folder (no root needed)
#   --font-replacement, --dpi, --graphics: a font family answering to another name, the screen
#                    DPI, Wine's display driver ("null": none, so GetKeyNameTextA answers with
#                    Windows' own US-English key names)
# Without an X display the program runs on a private one. ZQ_DESKTOP=1: a desktop's window manager
# places and draws the windows; else (a bare X server) Wine does.
set -euo pipefail
here=${0%/*}
[ "$here" != "$0" ] || here=.
. "$here/lib/say.sh"
. "$here/lib/wine.sh"

locale="" code_page="" setup_only=0
settings=()  # KEY VALUE NAME: registry values of the prefix, under HKCU
while [ $# -gt 0 ]; do
    case $1 in
        --locale) locale=$2 ;;
        --code-page) code_page=$2 ;;
        --font-replacement) settings+=("Software\\Wine\\Fonts\\Replacements" "\"${2#*=}\"" "${2%%=*}") ;;
        --dpi) printf -v value 'dword:%08x' "$2"; settings+=("Control Panel\\Desktop" "$value" LogPixels) ;;
        --graphics) settings+=("Software\\Wine\\Drivers" "\"$2\"" Graphics) ;;
        --setup) setup_only=1; shift; continue ;;
        *) break ;;
    esac
    shift 2
done
[ $# -ge $((setup_only ? 2 : 3)) ] || stop "usage: wine-run.sh [OPTIONS] win32|win64 PREFIX PROGRAM [ARGS...]"
arch=$1 prefix=$2
[[ $prefix == /* ]] || prefix=$PWD/$prefix  # Wine takes only an absolute one
shift 2
zq_wine_for "$arch" || stop "$zq_missing"
export WINEPREFIX=$prefix WINEARCH=$zq_prefix_arch WINELOADER=$zq_loader WINESERVER=$zq_server
export WINEDEBUG=${ZQ_WINEDEBUG:--all}  # ZQ_WINEDEBUG: a trace Wine should write
# No Mono or Gecko: nothing here needs .NET or a browser engine, and it keeps Wine from asking.
export WINEDLLOVERRIDES="mscoree,mshtml="
[ "${1:-}" != wineserver ] || { shift; exec "$zq_server" "$@"; }
# The script that started this ends the Wine server of every prefix its run used.
[ -z "${ZQ_PREFIX_LIST:-}" ] || echo "$arch $prefix" >>"$ZQ_PREFIX_LIST"

locales=${prefix%/*}/locales
# make_locale NAME: compiles the glibc locale NAME (ll_CC[.charset][@modifier]) into $locales
# unless it is there; fails where this system has no source for it (package locales).
make_locale() {
    local name=$1 source=${1%%[.@]*} charset=UTF-8 tmp
    [ ! -f "$locales/$name/LC_CTYPE" ] || return 0
    [[ $name != *@* ]] || source=$source@${name#*@}
    if [[ $name == *.* ]]; then
        charset=${name#*.} charset=${charset%%@*}
        [[ ${charset,,} != utf8 ]] || charset=UTF-8
    fi
    say "compiling the locale $name into $locales (localedef)" >&2
    mkdir -p "$locales"
    tmp=$(mktemp -d "$locales/.$name.XXXXXX")
    # Warnings make localedef exit with 1; what counts is that the locale was written. Another
    # run may have made it meanwhile: the first one in place stays.
    localedef -c -i "$source" -f "$charset" "$tmp" >/dev/null 2>&1 || true
    [ -f "$tmp/LC_CTYPE" ] && { mv -T "$tmp" "$locales/$name" 2>/dev/null || [ -f "$locales/$name/LC_CTYPE" ]; }
    local made=$?
    rm -rf "$tmp"
    return $made
}

run_env=()  # the locale Wine runs in, set for it alone: this shell has no LOCPATH
if [ -n "$locale" ]; then
    make_locale "$locale" || stop "localedef could not compile the locale $locale (package locales)"
    run_env+=(LOCPATH="$locales" LANG="$locale" LC_ALL="$locale")
fi
if [ -n "$code_page" ]; then
    [ "$code_page" = 936 ] || stop "code page $code_page is not one this script sets up; it can be 936"
    font="WenQuanYi Micro Hei" why=""
    if ! make_locale zh_CN.UTF-8; then
        why="the locale zh_CN.UTF-8 could not be made here (localedef; package locales)"
    elif [ ! -f /usr/share/fonts/truetype/wqy/wqy-microhei.ttc ] && [ -z "$(fc-list "$font" 2>/dev/null)" ]; then
        why="the font $font is not installed (package fonts-wqy-microhei)"
    fi
    if [ -n "$why" ]; then
        say "the labels of code page 936 (the arrow keys') will not show as on Windows: $why" >&2
    else
        # Wine takes the ANSI code page from LC_CTYPE and the language of its own texts from
        # LC_MESSAGES. With LOCPATH glibc looks for locales nowhere else, and one it cannot load
        # leaves every category in "C": the user's language is made beside, or "C" (English).
        user=${LC_ALL:-${LC_MESSAGES:-${LANG:-C}}} messages=C
        case $user in
            C | C.* | POSIX | */* | .*) ;;
            *) if make_locale "$user"; then messages=$user; else
                   say "Wine's own texts in English: the locale $user could not be made here" >&2
               fi ;;
        esac
        run_env+=(-u LANGUAGE)
        for variable in ${!LC_@}; do run_env+=(-u "$variable"); done
        run_env+=(LOCPATH="$locales" LANG="$messages" LC_CTYPE=zh_CN.UTF-8)
        settings+=("Software\\Wine\\Fonts\\Replacements" "\"$font\"" SimSun)
    fi
fi

# No input method (dead keys send their own key; fcitx or ibus cannot take the letter keys). On a
# bare X server there is no window manager: Wine places, draws and focuses its windows itself.
settings+=("Software\\Wine\\X11 Driver" '"N"' UseXIM)
[ -n "${ZQ_DESKTOP:-}" ] || settings+=("Software\\Wine\\X11 Driver" '"N"' Managed "Software\\Wine\\X11 Driver" '"N"' Decorated)
wanted="$zq_prefix_arch ${settings[*]}"
ready=""
[ ! -f "$prefix/.zentaq-setup" ] || IFS= read -r ready <"$prefix/.zentaq-setup" || true
if [ "$ready" != "$wanted" ]; then
    mkdir -p "$prefix"
    exec 9>"$prefix.lock"
    flock -w 600 9 || stop "another run has held $prefix.lock for 10 minutes"
    [ ! -f "$prefix/.zentaq-setup" ] || IFS= read -r ready <"$prefix/.zentaq-setup" || true
    if [ "$ready" != "$wanted" ]; then
        log=$prefix.setup.log
        : >"$log"
        if [ -f "$prefix/system.reg" ]; then
            say "making the Wine prefix $prefix anew: it was set up otherwise" >&2
            "$zq_server" -k 2>/dev/null 9>&- || true
            find "$prefix" -mindepth 1 -delete
        fi
        say "creating the $zq_prefix_arch Wine prefix $prefix ($zq_loader)" >&2
        reg=$prefix/zentaq.reg
        printf 'Windows Registry Editor Version 5.00\n' >"$reg"
        for ((i = 0; i < ${#settings[@]}; i += 3)); do
            printf '\n[HKEY_CURRENT_USER\\%s]\n"%s"=%s\n' "${settings[i]}" "${settings[i + 2]}" "${settings[i + 1]}" >>"$reg"
        done
        # The registry reaches the disk when the Wine server ends. A first prefix takes a minute.
        if ! { timeout 300 "$zq_loader" wineboot --init && timeout 300 "$zq_loader" reg import "Z:${reg//\//\\}" &&
               timeout 60 "$zq_server" --wait; } >>"$log" 2>&1 9>&- || [ ! -f "$prefix/system.reg" ]; then
            stop "the Wine prefix $prefix could not be set up within a few minutes (wineboot, regedit; see $log)"
        fi
        # Wine does not find the fonts of its own data folder (fonts-wine), "MS Sans Serif" of the
        # dialogs and Marlett of the caption buttons among them; copies in the prefix it does.
        fonts=(/usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon)
        [ -f "${fonts[0]}" ] || stop "Wine's fonts are missing from /usr/share/wine/fonts (package fonts-wine)"
        cp "${fonts[@]}" "$prefix/drive_c/windows/Fonts/"
        echo "$wanted" >"$prefix/.zentaq-setup"
    fi
    exec 9>&-
fi
[ "$setup_only" = 0 ] || exit 0

if [ -n "${DISPLAY:-}" ]; then
    exec ${run_env[@]:+env} "${run_env[@]}" "$zq_loader" "$@"
fi
. "$here/lib/xvfb.sh"
zq_xvfb_start || stop "no X display (DISPLAY is not set), and $zq_error"
status=0
env "${run_env[@]}" "$zq_loader" "$@" || status=$?
# Wine's helper processes outlive the program by a moment; the X server waits for them, or they
# report its end as a broken X connection.
"$zq_server" --wait || true
kill "$zq_xvfb_pid"
exit "$status"
