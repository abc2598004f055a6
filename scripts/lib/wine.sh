# Sourced by the scripts that build or run the Windows programs: the one place that finds Wine
# and decides which Wine runs which build. The same sources build twice: build/win32 (PE32, i686),
# the product, and build/win64 (PE32+, x86-64), for machines that run no 32-bit x86 code.
#   zq_wine_for ARCH     the Wine that runs the build of ARCH (win32 or win64)
#   zq_choose_build      whether the PE32 runs here, and so which build runs here
#   zq_wine_start ARCH PREFIX   the command that starts a program as the run command does
#   zq_toolchain_for ARCH, zq_build_dir [DIR]   how a build is made, and which one a folder holds
# Paths under build/ are the checkout's: the commands run from its top. Needs say.sh, and apt.sh
# for zq_choose_build (which may add the 32-bit Wine): scripts/lib/begin.sh sources them.

# zq_elf_bits FILE: 32 or 64 for a Linux program of that bitness, nothing for anything else (a
# script, no file). Read by the shell itself: every command a Wine start runs counts.
zq_elf_bits() {
    local header=""
    [ -f "$1" ] && [ -r "$1" ] || return 0
    LC_ALL=C IFS= read -r -n 5 header <"$1" || true
    case $header in
        $'\x7fELF\x01') echo 32 ;;
        $'\x7fELF\x02') echo 64 ;;
    esac
}

# zq_loader_of 32|64: the first Wine loader of that bitness: in the release's own folders (Debian
# 12 and 13: /usr/lib/wine/wine and wine64; later, one folder a bitness under /usr/lib/<multiarch>),
# then where the PATH's wine64 and wine lead. /usr/bin/wine is a script that picks a loader by the
# release's preference, even one that cannot run here, so it counts only once resolved to one.
zq_loader_of() {
    local candidate path folders=(/usr/lib/x86_64-linux-gnu/wine/wine /usr/lib/wine/wine64) on_path=(wine64 wine)
    [ "$1" = 64 ] || folders=(/usr/lib/i386-linux-gnu/wine/wine /usr/lib/wine/wine) on_path=(wine)
    for candidate in "${folders[@]}"; do
        if [ -x "$candidate" ] && [ "$(zq_elf_bits "$candidate")" = "$1" ]; then
            echo "$candidate"
            return 0
        fi
    done
    for candidate in "${on_path[@]}"; do
        path=$(command -v "$candidate") && path=$(readlink -f "$path") || continue
        if [ -x "$path" ] && [ "$(zq_elf_bits "$path")" = "$1" ]; then
            echo "$path"
            return 0
        fi
    done
    return 1
}

# zq_wine_for ARCH: sets zq_loader, zq_server (beside the loader, else on the PATH) and
# zq_prefix_arch: a PE32 runs under the 32-bit loader in a win32 prefix where one is installed,
# else under the 64-bit one in a win64 prefix (WoW64, where the release's Wine has it). Where there
# is none, sets zq_missing (what is missing and what installs it) and returns 1.
zq_wine_for() {
    local candidate
    zq_loader="" zq_server="" zq_prefix_arch="" zq_missing=""
    case $1 in
        win32) if zq_loader=$(zq_loader_of 32); then zq_prefix_arch=win32; fi ;;
        win64) ;;
        *) zq_missing="the Windows build is '$1'; it can be win32 or win64"; return 1 ;;
    esac
    if [ -z "$zq_loader" ] && zq_loader=$(zq_loader_of 64); then zq_prefix_arch=win64; fi
    if [ -z "$zq_loader" ]; then
        zq_missing="no 64-bit Wine loader in /usr/lib/x86_64-linux-gnu/wine, /usr/lib/wine or the PATH (package wine64)"
        return 1
    fi
    # In Debian 12 and 13, /usr/lib/wine/wineserver is a script that picks whichever is installed.
    for candidate in "${zq_loader%/*}"/wineserver{,64,32}; do
        if [ -x "$candidate" ]; then
            zq_server=$candidate
            return 0
        fi
    done
    zq_server=$(command -v wineserver) && return 0
    zq_missing="no Wine server beside $zq_loader nor on the PATH (package wine64 or wine32)"
    return 1
}

zq_check_machine() {
    [ "$(uname -m)" = x86_64 ] ||
        stop "this machine is $(uname -m): the Windows builds are x86 programs, which Wine runs only on x86-64 Linux"
    case ${ZQ_WINDOWS_BUILD:-} in "" | win32 | win64) ;; *) stop "ZQ_WINDOWS_BUILD is '$ZQ_WINDOWS_BUILD'; it can be win32 or win64" ;; esac
    case ${ZQ_RUNS_32BIT:-} in "" | yes | no) ;; *) stop "ZQ_RUNS_32BIT is '$ZQ_RUNS_32BIT'; it can be yes or no" ;; esac
}

# zq_choose_build: sets zq_pe32 (yes where the PE32 runs here; no: it is built and checked
# without running), zq_pe32_why (a sentence on why) and zq_build (the build that runs here: win32
# where the PE32 does, else win64). ZQ_WINDOWS_BUILD=win64 asks for the x86-64 build and leaves
# the 32-bit Wine alone; ZQ_RUNS_32BIT=no makes the machine count as one that runs no 32-bit x86
# code, WoW64 included.
zq_choose_build() {
    local arch
    zq_pe32=no
    if [ "${ZQ_WINDOWS_BUILD:-}" = win64 ]; then
        zq_pe32_why="ZQ_WINDOWS_BUILD=win64 asks for the x86-64 build alone"
    elif [ "${ZQ_RUNS_32BIT:-}" = no ]; then
        zq_pe32_why="ZQ_RUNS_32BIT=no makes this machine count as one that runs no 32-bit x86 code"
    else
        zq_decide_pe32
    fi
    zq_build=win64
    [ "$zq_pe32" = no ] || zq_build=win32
    if [ "${ZQ_WINDOWS_BUILD:-}" = win32 ] && [ "$zq_pe32" = no ]; then
        stop "ZQ_WINDOWS_BUILD=win32 asks for the PE32 build, but $zq_pe32_why"
    fi
    say "the $zq_build build runs here: $zq_pe32_why"
    for arch in win32 win64; do
        [ "$arch" = win64 ] || [ "$zq_pe32" = yes ] || continue
        zq_wine_for "$arch" || stop "$zq_missing"
        say "$arch runs under $("$zq_loader" --version) $zq_loader, in a $zq_prefix_arch prefix"
    done
}

# zq_decide_pe32: runs a PE32 that only exits with 42 under the Wine that would run the product.
# Where it does not run and the kernel runs 32-bit programs, the 32-bit Wine is added, an optional
# step. The answer is kept in build/wine-answer until the Wine changes, a "no" only for an hour: a
# mirror that could not deliver the 32-bit Wine heals, and a probe may fail by chance. Runs side
# by side wait for each other on build/wine.lock.
zq_decide_pe32() {
    local key answer=() now
    mkdir -p build
    exec 9>build/wine.lock
    if ! flock -n 9; then
        say "waiting for another run to decide which Wine runs the PE32 (build/wine.lock)"
        flock -w 1200 9 || stop "another run has held build/wine.lock for 20 minutes"
    fi
    key=$(zq_wine_key) || true
    [ ! -f build/wine-answer ] || mapfile -t answer <build/wine-answer
    printf -v now '%(%s)T' -1
    if [ "${answer[0]:-}" = "$key" ] && { [ "${answer[1]}" = yes ] || [ $((now - ${answer[3]:-0})) -lt 3600 ]; }; then
        zq_pe32=${answer[1]} zq_pe32_why=${answer[2]}
    else
        zq_probe_pe32
        if [ "$zq_pe32" = no ] && ! zq_loader_of 32 >/dev/null && zq_kernel_runs_32bit; then
            if zq_add_wine32; then
                zq_probe_pe32
                key=$(zq_wine_key) || true
            else
                zq_pe32_why="$zq_pe32_why, and the 32-bit Wine could not be installed ($zq_wine32_error)"
            fi
        fi
        printf '%s\n' "$key" "$zq_pe32" "$zq_pe32_why" "$now" >build/wine-answer.$$
        mv build/wine-answer.$$ build/wine-answer
    fi
    exec 9>&-
}

zq_wine_key() {
    zq_wine_for win32 && echo "${ZQ_RUNS_32BIT:-} $zq_loader $zq_prefix_arch $("$zq_loader" --version)"
}

# zq_kernel_runs_32bit: whether this kernel starts a 32-bit Linux program, and so the 32-bit Wine
# (ZQ_RUNS_32BIT=yes: it does, unasked). The smallest one, whose whole code is exit(42), runs from
# the build folder, as /tmp may be noexec.
zq_kernel_runs_32bit() {
    local probe status=0
    [ "${ZQ_RUNS_32BIT:-}" != yes ] || return 0
    probe=$(mktemp build/kernel-probe.XXXXXX)
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5f\x00\x00\x00\x5f\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xb3\x2a\xcd\x80' >"$probe"
    chmod +x "$probe"
    ("$probe") >/dev/null 2>&1 || status=$?
    rm -f "$probe"
    [ "$status" -eq 42 ] && return 0
    say "this kernel runs no 32-bit Linux program, so no 32-bit Wine either"
    return 1
}

# zq_probe_pe32: sets zq_pe32 and zq_pe32_why by running the PE32 probe, with a prefix kept in
# build/wine-probe (only ever used under build/wine.lock).
zq_probe_pe32() {
    local dir=build/wine-probe how status=0 said
    zq_pe32=no
    zq_wine_for win32 || { zq_pe32_why="no Wine runs a PE32 here: $zq_missing"; return; }
    how="the 32-bit Wine $zq_loader"
    [ "$zq_prefix_arch" = win32 ] || how="the 64-bit Wine $zq_loader by WoW64"
    mkdir -p "$dir"
    if ! echo 'int main(void) { return 42; }' | i686-w64-mingw32-gcc-posix -x c - -s -o "$dir/probe.exe" 2>"$dir/run.log"; then
        zq_pe32_why="a PE32 could not be built to try (MinGW-w64 i686: $(head -n 1 "$dir/run.log"))"
        return
    fi
    say "does a PE32 run under $how? (a first probe makes a Wine prefix: a minute)"
    # No display: the probe opens no window, and the run command may have none.
    env -u DISPLAY WINEPREFIX="$PWD/$dir/$zq_prefix_arch" WINEARCH=$zq_prefix_arch WINELOADER="$zq_loader" \
        WINESERVER="$zq_server" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
        timeout 300 "$zq_loader" "$dir/probe.exe" >"$dir/run.log" 2>&1 9>&- || status=$?
    WINEPREFIX="$PWD/$dir/$zq_prefix_arch" "$zq_server" -k >/dev/null 2>&1 9>&- || true
    if [ "$status" -eq 42 ]; then
        zq_pe32=yes zq_pe32_why="a PE32 runs under $how"
        return
    fi
    # A probe that printed nothing leaves it empty: grep's status is no failure of the step.
    said=$(grep -v -e '^$' -e '^wine: created the configuration' -e '^wine: configuration in' "$dir/run.log" | tail -n 1) || true
    [ "$status" -ne 124 ] || said="it did not end within 300 s"
    zq_pe32_why="a PE32 does not run under $how (status $status${said:+: $said})"
}

# zq_wine_start ARCH PREFIX: sets zq_start, the command that starts a program of the build of ARCH
# as the run command does, and zq_start_said, how. The arrow keys' labels are code page 936 text,
# so that is the ANSI code page; ZQ_CODE_PAGE=1252 keeps Wine's default.
zq_wine_start() {
    case ${ZQ_CODE_PAGE:-936} in
        936) zq_start=(scripts/wine-run.sh --code-page 936 "$1" "$2")
             zq_start_said="in the ANSI code page 936 (ZQ_CODE_PAGE=1252: Wine's default)" ;;
        1252) zq_start=(scripts/wine-run.sh "$1" "$2") zq_start_said="in Wine's default ANSI code page" ;;
        *) stop "ZQ_CODE_PAGE is '$ZQ_CODE_PAGE'; it can be 936 or 1252" ;;
    esac
}

# zq_toolchain_for ARCH: sets zq_toolchain (the CMake toolchain file), zq_mingw (the tool prefix)
# and zq_kind (the kind of executable) of the build of ARCH.
zq_toolchain_for() {
    case $1 in
        win32) zq_toolchain=cmake/mingw-i686.cmake zq_mingw=i686-w64-mingw32 zq_kind="PE32, i686" ;;
        win64) zq_toolchain=cmake/mingw-x86_64.cmake zq_mingw=x86_64-w64-mingw32 zq_kind="PE32+, x86-64" ;;
    esac
}

# zq_build_dir [DIR]: sets zq_dir (absolute) and zq_arch, the build DIR holds where it is
# configured, else the build that runs here (asking zq_choose_build only then), in DIR or in
# build/ARCH; and the zq_toolchain_for it.
zq_build_dir() {
    zq_arch=""
    if [ -n "${1:-}" ]; then
        case $(grep -s '^CMAKE_TOOLCHAIN_FILE' "$1/CMakeCache.txt") in
            *mingw-x86_64*) zq_arch=win64 ;;
            *mingw-i686*) zq_arch=win32 ;;
        esac
    fi
    if [ -z "$zq_arch" ]; then
        [ -n "${zq_build:-}" ] || zq_choose_build >/dev/null
        zq_arch=$zq_build
    fi
    zq_dir=$(realpath -m "${1:-build/$zq_arch}")
    zq_toolchain_for "$zq_arch"
}
