# Sourced by the scripts that run Windows programs: finds the Wine that runs the programs of one
# build wherever the installed Wine release keeps it. Debian 12 and 13 keep their loaders and
# server in /usr/lib/wine/ (wine is 32-bit, wine64 64-bit); later releases in
# /usr/lib/<multiarch>/wine/, one folder a bitness, and no longer put wineserver on the PATH.
# /usr/bin/wine is a script that picks a loader by the release's own preference, so it is only
# a last resort, and only once it resolves to a loader itself.
#
#   wine_for ARCH   ARCH win32 (PE32 programs) or win64 (PE32+). Sets
#                     wine_loader       the loader to run the program with
#                     wine_server       the Wine server that belongs to it
#                     wine_prefix_arch  the kind of prefix it needs: win32 for the 32-bit loader,
#                                       win64 for the 64-bit one (which runs a PE32 by WoW64 in a
#                                       release that has it)
#                   or, where there is none, sets wine_missing (one line: what is missing and what
#                   installs it) and returns 1.

# elf_bits FILE: 32 or 64 for a Linux program of that bitness, nothing for anything else (a
# script, a missing file). Read by the shell itself: every command a Wine start runs here counts.
elf_bits() {
    local header=""
    [ -f "$1" ] && [ -r "$1" ] || return 0
    LC_ALL=C IFS= read -r -n 5 header <"$1" || true
    case $header in
        $'\x7fELF\x01') echo 32 ;;
        $'\x7fELF\x02') echo 64 ;;
    esac
}

# wine_loader_of BITS: the path of the first loader of that bitness (32 or 64), the release's own
# folders first; fails where there is none.
wine_loader_of() {
    local bits=$1 candidate path
    local folders=(/usr/lib/x86_64-linux-gnu/wine/wine /usr/lib/wine/wine64) on_path=(wine64 wine)
    if [ "$bits" = 32 ]; then
        folders=(/usr/lib/i386-linux-gnu/wine/wine /usr/lib/wine/wine) on_path=(wine)
    fi
    for candidate in "${folders[@]}"; do
        if [ -x "$candidate" ] && [ "$(elf_bits "$candidate")" = "$bits" ]; then
            echo "$candidate"
            return 0
        fi
    done
    # What the PATH leads to, once it resolves to a loader itself (the server is looked for
    # beside the real file).
    for candidate in "${on_path[@]}"; do
        path=$(command -v "$candidate") && path=$(readlink -f "$path") || continue
        if [ -x "$path" ] && [ "$(elf_bits "$path")" = "$bits" ]; then
            echo "$path"
            return 0
        fi
    done
    return 1
}

wine_for() {
    local dir candidate
    wine_loader="" wine_server="" wine_prefix_arch="" wine_missing=""
    case $1 in
        win32)
            # The 32-bit loader where it is installed; else the 64-bit one, which runs a PE32 in
            # a 64-bit prefix where the release's Wine has WoW64 (whether it does, only running
            # one tells).
            if wine_loader=$(wine_loader_of 32); then
                wine_prefix_arch=win32
            elif wine_loader=$(wine_loader_of 64); then
                wine_prefix_arch=win64
            fi ;;
        win64)
            wine_loader=$(wine_loader_of 64) && wine_prefix_arch=win64 ;;
        *)
            wine_missing="the Windows build is '$1'; it can be win32 or win64"
            return 1 ;;
    esac
    if [ -z "$wine_loader" ]; then
        wine_missing="no 64-bit Wine loader (looked in /usr/lib/x86_64-linux-gnu/wine, /usr/lib/wine and the PATH); the package wine64 installs it"
        return 1
    fi
    # The server beside the loader: the 64-bit one serves 32-bit programs too, and in Debian 12
    # and 13 /usr/lib/wine/wineserver is a script that picks whichever is installed.
    dir=${wine_loader%/*}
    for candidate in "$dir/wineserver" "$dir/wineserver64" "$dir/wineserver32"; do
        if [ -x "$candidate" ]; then
            wine_server=$candidate
            return 0
        fi
    done
    if wine_server=$(command -v wineserver); then
        return 0
    fi
    wine_missing="no Wine server beside $wine_loader nor on the PATH; the package of that loader (wine64 or wine32) installs it"
    return 1
}
