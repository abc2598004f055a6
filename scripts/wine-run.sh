#!/usr/bin/env bash
# Runs a Windows program under Wine (cmake/wine-run.sh) as on a Windows of another locale or
# screen DPI:
#   wine-variant.sh [--locale zh_CN.UTF-8] [--code-page 936] [--font-replacement SimSun="WenQuanYi Micro Hei"]
#                   [--dpi 144] [--graphics null] ARCH PREFIX PROGRAM [ARGS...]
# --locale compiles that glibc locale into the build folder (no root needed) and runs Wine in it,
# which sets Wine's ANSI code page (936 for zh_CN) and the language of Wine's own texts.
# --code-page 936 sets only the ANSI code page, as a Chinese (Simplified) Windows has it, with the
# CJK font that draws its characters; Wine's own texts (system menu, message boxes) stay in the
# user's language (LC_ALL, LC_MESSAGES or LANG) where that locale can be made, else English. Where
# the code page cannot be set up here, it says why in one line and runs the program without it.
# --font-replacement makes a font family answer to another name, --dpi sets the screen DPI,
# --graphics picks Wine's display driver ("null": none, so GetKeyNameTextA answers with Windows'
# own US-English key names); they go into PREFIX, a prefix of their own.
set -euo pipefail

here=${0%/*}
[ "$here" != "$0" ] || here=.
locale="" code_page=""
settings=()
run_env=()  # the locale Wine runs in, set only for it: this shell has no LOCPATH
while [ $# -gt 0 ]; do
    case $1 in
        --locale) locale=$2; shift 2 ;;
        --code-page) code_page=$2; shift 2 ;;
        --font-replacement) settings+=("replacement:$2"); shift 2 ;;
        --dpi) settings+=("dpi:$2"); shift 2 ;;
        --graphics) settings+=("graphics:$2"); shift 2 ;;
        *) break ;;
    esac
done
arch=$1 prefix=$2
shift 2
if [ -n "$locale" ] && [ -n "$code_page" ]; then
    echo "wine-variant: --locale sets the code page too; give one of --locale and --code-page" >&2
    exit 2
fi

locales=$(dirname "$prefix")/locales

# make_locale NAME: compiles the glibc locale NAME (ll_CC[.charset][@modifier]) into $locales
# unless it is there; fails where this system has no source for it (package locales).
make_locale() {
    local name=$1 source charset
    [ ! -f "$locales/$name/LC_CTYPE" ] || return 0
    source=${name%%[.@]*}
    [[ $name == *@* ]] && source=$source@${name#*@}
    charset=UTF-8
    if [[ $name == *.* ]]; then
        charset=${name#*.}
        charset=${charset%%@*}
        [[ ${charset,,} == utf8 ]] && charset=UTF-8
    fi
    mkdir -p "$locales"
    (
        flock 9
        if [ ! -f "$locales/$name/LC_CTYPE" ]; then
            echo "wine-variant: compiling the locale $name into $locales (localedef)" >&2
            # Warnings make localedef exit with 1; what counts is that the locale was written.
            localedef -c -i "$source" -f "$charset" "$locales/$name" >/dev/null 2>&1 || true
            [ -f "$locales/$name/LC_CTYPE" ] || { rm -rf "${locales:?}/$name"; false; }
        fi
    ) 9>"$locales.lock"
}

if [ -n "$locale" ]; then
    if ! make_locale "$locale"; then
        echo "wine-variant: localedef could not compile $locale (is the locales package installed?)" >&2
        exit 1
    fi
    run_env+=(LOCPATH="$locales" LANG="$locale" LC_ALL="$locale")
fi

if [ -n "$code_page" ]; then
    case $code_page in
        936) ctype=zh_CN.UTF-8 font="WenQuanYi Micro Hei" font_package=fonts-wqy-microhei
             font_file=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc ;;
        *) echo "wine-variant: code page $code_page is not one this script sets up; it can be 936" >&2; exit 2 ;;
    esac
    user=${LC_ALL:-${LC_MESSAGES:-${LANG:-C}}}
    why=""
    if ! make_locale "$ctype"; then
        why="the locale $ctype could not be made here (localedef; package locales)"
    elif [ ! -f "$font_file" ] && [ -z "$(fc-list "$font" 2>/dev/null)" ]; then
        why="the font $font is not installed (package $font_package)"
    fi
    if [ -n "$why" ]; then
        echo "wine-variant: the labels of code page $code_page (the arrow keys') will not show as on Windows: $why" >&2
    else
        # Wine takes the ANSI code page from LC_CTYPE and the language of its own texts from
        # LC_MESSAGES. With LOCPATH glibc looks for locales nowhere else, and one it cannot load
        # leaves every category in "C": the user's language is made beside, or "C" (English).
        messages=C
        case $user in
            C | C.* | POSIX | */* | .*) ;;
            *) if make_locale "$user"; then messages=$user; else
                   echo "wine-variant: Wine's own texts in English: the locale $user could not be made here" >&2
               fi ;;
        esac
        run_env+=(-u LANGUAGE)
        for variable in ${!LC_@}; do run_env+=(-u "$variable"); done
        run_env+=(LOCPATH="$locales" LANG="$messages" LC_CTYPE="$ctype")
        # SimSun is the font Wine links to every font for the characters it lacks, as Windows does.
        settings+=("replacement:SimSun=$font")
    fi
fi

# The settings go into the prefix once; a prefix made with other settings, or for another
# loader, is made anew.
if [ ${#settings[@]} -gt 0 ]; then
    . "$here/lib/wine-locate.sh"
    if ! wine_for "$arch"; then
        echo "wine-variant: $wine_missing" >&2
        exit 1
    fi
    wanted=$wine_prefix_arch made=""
    for setting in "${settings[@]}"; do wanted+=$'\n'$setting; done
    [ ! -f "$prefix/.zentaq-variant" ] || IFS= read -r -d '' made <"$prefix/.zentaq-variant" || true
    if [ "${made%$'\n'}" != "$wanted" ]; then
        rm -rf "$prefix"
        mkdir -p "$prefix"
        reg_file=$prefix/variant.reg
        printf 'Windows Registry Editor Version 5.00\n\n' >"$reg_file"
        for setting in "${settings[@]}"; do
            value=${setting#*:}
            case $setting in
                replacement:*)
                    # Wine lets a font family stand in for one that is not installed.
                    echo "wine-variant: the font family ${value#*=} answers to ${value%%=*} in $prefix" >&2
                    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\n"%s"="%s"\n\n' \
                        "${value%%=*}" "${value#*=}" >>"$reg_file" ;;
                dpi:*)
                    # What winecfg sets; Wine reads it before HKLM's hardware-profile LogPixels.
                    echo "wine-variant: screen DPI $value in $prefix" >&2
                    printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n\n' \
                        "$value" >>"$reg_file" ;;
                graphics:*)
                    echo "wine-variant: display driver $value in $prefix" >&2
                    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\n"Graphics"="%s"\n\n' \
                        "$value" >>"$reg_file" ;;
            esac
        done
        env "${run_env[@]}" "$here/lib/wine-prefix.sh" "$arch" "$prefix" reg import "Z:${reg_file//\//\\}" >/dev/null
        # The display driver is chosen when the prefix's Wine server starts its desktop.
        "$here/lib/wine-prefix.sh" "$arch" "$prefix" wineserver -k || true
        echo "$wanted" >"$prefix/.zentaq-variant"
    fi
fi

exec env "${run_env[@]}" "$here/lib/wine-prefix.sh" "$arch" "$prefix" "$@"
