#!/usr/bin/env bash
# Runs a Windows program under Wine (cmake/wine-run.sh) as on a Windows of another locale or
# screen DPI:
#   wine-variant.sh [--locale zh_CN.UTF-8] [--font-replacement SimSun="WenQuanYi Micro Hei"]
#                   [--dpi 144] [--graphics null] ARCH PREFIX PROGRAM [ARGS...]
# --locale compiles that glibc locale into the build folder (no root needed) and runs Wine in it,
# which sets Wine's ANSI code page (936 for zh_CN). --font-replacement makes a font family
# answer to another name, --dpi sets the screen DPI, --graphics picks Wine's display driver ("null":
# none, so GetKeyNameTextA answers with Windows' own US-English key names); they go into PREFIX,
# a prefix of their own.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
locale=""
settings=()
while [ $# -gt 0 ]; do
    case $1 in
        --locale) locale=$2; shift 2 ;;
        --font-replacement) settings+=("replacement:$2"); shift 2 ;;
        --dpi) settings+=("dpi:$2"); shift 2 ;;
        --graphics) settings+=("graphics:$2"); shift 2 ;;
        *) break ;;
    esac
done
arch=$1 prefix=$2
shift 2

if [ -n "$locale" ]; then
    # zh_CN.UTF-8 is the source locale zh_CN in the character map UTF-8.
    locales=$(dirname "$prefix")/locales
    mkdir -p "$locales"
    (
        flock 9
        if [ ! -f "$locales/$locale/LC_CTYPE" ]; then
            echo "wine-variant: compiling the locale $locale into $locales (localedef)" >&2
            # Warnings make localedef exit with 1; what counts is that the locale was written.
            localedef -c -i "${locale%%.*}" -f "${locale#*.}" "$locales/$locale" || true
            if [ ! -f "$locales/$locale/LC_CTYPE" ]; then
                echo "wine-variant: localedef could not compile $locale (is the locales package installed?)" >&2
                exit 1
            fi
        fi
    ) 9>"$locales.lock"
    export LOCPATH=$locales LANG=$locale LC_ALL=$locale
fi

# The settings go into the prefix once; a prefix made with other settings, or for another
# loader, is made anew.
if [ ${#settings[@]} -gt 0 ]; then
    . "$here/wine-locate.sh"
    if ! wine_for "$arch"; then
        echo "wine-variant: $wine_missing" >&2
        exit 1
    fi
    wanted=$(printf '%s\n' "$wine_prefix_arch" "${settings[@]}")
    if [ "$(cat "$prefix/.zentaq-variant" 2>/dev/null)" != "$wanted" ]; then
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
        "$here/wine-run.sh" "$arch" "$prefix" reg import "Z:${reg_file//\//\\}" >/dev/null
        # The display driver is chosen when the prefix's Wine server starts its desktop.
        "$here/wine-run.sh" "$arch" "$prefix" wineserver -k || true
        echo "$wanted" >"$prefix/.zentaq-variant"
    fi
fi

exec "$here/wine-run.sh" "$arch" "$prefix" "$@"
