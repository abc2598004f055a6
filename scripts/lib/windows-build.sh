# Sourced by the commands that build or run the Windows programs. The same sources build twice:
# build/win32 (PE32, i686), the product, and build/win64 (PE32+, x86-64), which runs where the
# machine cannot execute 32-bit x86 code at all (a kernel without IA-32 emulation, some virtual
# machines). choose_windows_build sets
#   runs_pe32   yes or no: whether a PE32 runs here under the installed Wine (found by running one)
#   run_arch    win32 or win64: the build that runs here
#   run_reason  why that one, in a few words
# ZQ_WINDOWS_BUILD=win32 or win64 asks for one; win32 where a PE32 cannot run is an error.
# ZQ_RUNS_32BIT=no makes the machine count as one that runs no 32-bit x86 code, WoW64 included;
# ZQ_RUNS_32BIT=yes skips the kernel's probe below.
here_windows_build=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$here_windows_build/scripts/lib/wine-locate.sh"

# check_machine: stops with a message on a machine whose Wine cannot run x86 Windows programs.
check_machine() {
    local machine
    machine=$(uname -m)
    if [ "$machine" != x86_64 ]; then
        echo "this machine is $machine: the Windows builds are x86 programs, which Wine runs only on an x86-64 Linux" >&2
        exit 1
    fi
}

# probe_32bit: sets kernel_32bit, yes or no: whether this kernel starts a 32-bit Linux program,
# the quick first answer, which says whether a 32-bit Wine loader could run here at all.
probe_32bit() {
    case ${ZQ_RUNS_32BIT:-} in
        yes | no) kernel_32bit=$ZQ_RUNS_32BIT; return ;;
        "") ;;
        *) echo "ZQ_RUNS_32BIT is '$ZQ_RUNS_32BIT'; it can be yes or no" >&2; exit 1 ;;
    esac
    if [ -n "${ZQ_KERNEL_32BIT:-}" ]; then  # found by the command that started this one
        kernel_32bit=$ZQ_KERNEL_32BIT
        return
    fi
    # The smallest 32-bit x86 program: a Linux ELF whose whole code is exit(42). A kernel that
    # cannot run 32-bit code refuses to start it ("Exec format error"), and so it refuses the
    # 32-bit Wine loader. It lives in the checkout's build folder, as /tmp may be noexec.
    local probe status=0 said
    mkdir -p "$here_windows_build/build"
    probe=$here_windows_build/build/.probe-32bit
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5f\x00\x00\x00\x5f\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xb3\x2a\xcd\x80' >"$probe"
    chmod +x "$probe"
    said=$( ("$probe") 2>&1) || status=$?
    rm -f "$probe"
    if [ "$status" -eq 42 ]; then kernel_32bit=yes; else kernel_32bit=no; fi
    export ZQ_KERNEL_32BIT=$kernel_32bit
    if [ "$kernel_32bit" = yes ]; then
        echo "==> probe: this kernel runs 32-bit Linux programs"
    else
        echo "==> probe: this kernel runs no 32-bit Linux program (${said##*: }, status $status)"
    fi
}

# probe_pe32: sets runs_pe32 (yes or no) and pe32_said (what a PE32 does here and under which
# Wine, worded to follow "a PE32"), by running a PE32 that only exits with 42 under the Wine
# that would run the product: the 32-bit loader, or the 64-bit one in a 64-bit prefix (WoW64).
# The answer is kept in build/wine-probe until the Wine or ZQ_RUNS_32BIT changes; a probe that
# timed out is tried again next time. Needs the MinGW-w64 i686 compiler.
probe_pe32() {
    runs_pe32=no
    if [ "${ZQ_RUNS_32BIT:-}" = no ]; then
        pe32_said="is not run: ZQ_RUNS_32BIT=no makes this machine count as one that runs no 32-bit x86 code"
        return
    fi
    if ! wine_for win32; then
        pe32_said="cannot run: $wine_missing"
        return
    fi
    local dir=$here_windows_build/build/wine-probe key status=0 how said answer=()
    how="the 32-bit Wine $wine_loader"
    [ "$wine_prefix_arch" = win64 ] && how="the 64-bit Wine $wine_loader by WoW64"
    key="${ZQ_RUNS_32BIT:-} $wine_loader $wine_prefix_arch $("$wine_loader" --version 2>/dev/null || true)"
    [ ! -f "$dir/answer" ] || mapfile -t answer <"$dir/answer"
    if [ "${answer[0]:-}" = "$key" ]; then
        runs_pe32=${answer[1]} pe32_said=${answer[2]}
        return
    fi
    mkdir -p "$dir"
    if ! echo 'int main(void) { return 42; }' | i686-w64-mingw32-gcc-posix -x c - -s -o "$dir/probe.exe" 2>"$dir/build.log"; then
        pe32_said="could not be built to try: the MinGW-w64 i686 compiler failed ($dir/build.log)"
        return
    fi
    echo "==> probe: does a PE32 run under $how? (the first time, Wine makes its prefix: a minute)"
    # No display: the probe opens no window, and the run command may have none yet.
    env -u DISPLAY WINEPREFIX="$dir/$wine_prefix_arch" WINEARCH=$wine_prefix_arch WINELOADER="$wine_loader" \
        WINESERVER="$wine_server" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
        timeout 600 "$wine_loader" "$dir/probe.exe" >"$dir/run.log" 2>&1 || status=$?
    WINEPREFIX="$dir/$wine_prefix_arch" "$wine_server" -k >/dev/null 2>&1 || true
    if [ "$status" -eq 42 ]; then
        runs_pe32=yes pe32_said="runs under $how"
    else
        # Wine's own news of a new prefix says nothing about why.
        said=$(grep -v -e '^$' -e '^wine: created the configuration' -e '^wine: configuration in' "$dir/run.log" | tail -n 1 || true)
        pe32_said="does not run under $how (status $status${said:+: $said})"
    fi
    if [ "$status" -ne 124 ]; then
        printf '%s\n%s\n%s\n' "$key" "$runs_pe32" "$pe32_said" >"$dir/answer"
    fi
}

# say_wine ARCH: one line on the Wine that runs the build of ARCH.
say_wine() {
    if wine_for "$1"; then
        echo "==> $1 runs under $("$wine_loader" --version 2>/dev/null) $wine_loader, in a $wine_prefix_arch prefix"
    else
        echo "==> $1: $wine_missing"
    fi
}

choose_windows_build() {
    probe_pe32
    case ${ZQ_WINDOWS_BUILD:-} in
        win64)
            run_arch=win64 run_reason="ZQ_WINDOWS_BUILD=win64 asks for the x86-64 build" ;;
        win32)
            if [ "$runs_pe32" != yes ]; then
                echo "ZQ_WINDOWS_BUILD=win32 asks for the PE32 build, but a PE32 $pe32_said" >&2
                exit 1
            fi
            run_arch=win32 run_reason="ZQ_WINDOWS_BUILD=win32 asks for it" ;;
        "")
            if [ "$runs_pe32" = yes ]; then
                run_arch=win32 run_reason="a PE32 $pe32_said"
            else
                run_arch=win64 run_reason="a PE32 $pe32_said"
            fi ;;
        *)
            echo "ZQ_WINDOWS_BUILD is '$ZQ_WINDOWS_BUILD'; it can be win32 or win64" >&2
            exit 1 ;;
    esac
    echo "==> the $run_arch build runs here, as $run_reason"
    if [ "$run_arch" = win32 ]; then say_wine win32; fi
    say_wine win64
}

# wine_start ARCH PREFIX: sets wine_start, the command that starts a program of the build of ARCH
# under Wine as the run command does, and wine_start_said, how. The arrow keys' labels are code
# page 936 text, so that is the ANSI code page (scripts/wine-run.sh); ZQ_CODE_PAGE=1252 keeps
# Wine's default.
wine_start() {
    case ${ZQ_CODE_PAGE:-936} in
        936) wine_start=("$here_windows_build/scripts/wine-run.sh" --code-page 936 "$1" "$2")
             wine_start_said="in the ANSI code page 936 (ZQ_CODE_PAGE=1252: Wine's default)" ;;
        1252) wine_start=("$here_windows_build/scripts/wine-run.sh" "$1" "$2")
              wine_start_said="in Wine's default ANSI code page (ZQ_CODE_PAGE=1252)" ;;
        *) echo "ZQ_CODE_PAGE is '$ZQ_CODE_PAGE'; it can be 936 or 1252" >&2; exit 1 ;;
    esac
}

# build_tools ARCH: sets toolchain (the CMake toolchain file), mingw (the MinGW-w64 tool prefix)
# and what (the kind of executable) for the build of ARCH, win32 or win64.
build_tools() {
    case $1 in
        win32) toolchain=cmake/mingw-i686.cmake mingw=i686-w64-mingw32 what="PE32, i686" ;;
        win64) toolchain=cmake/mingw-x86_64.cmake mingw=x86_64-w64-mingw32 what="PE32+, x86-64" ;;
    esac
}

# windows_build_dir [BUILD_DIR]: sets build (an absolute path), arch (win32 or win64) and the
# build_tools of arch for BUILD_DIR, by default build/$run_arch. A configured folder keeps its
# toolchain; a new one gets the one of the build that runs here.
windows_build_dir() {
    build=$(realpath -m "${1:-build/$run_arch}")
    arch=$run_arch
    if grep -q '^CMAKE_TOOLCHAIN_FILE.*mingw-x86_64' "$build/CMakeCache.txt" 2>/dev/null; then
        arch=win64
    elif grep -q '^CMAKE_TOOLCHAIN_FILE.*mingw-i686' "$build/CMakeCache.txt" 2>/dev/null; then
        arch=win32
    fi
    build_tools "$arch"
}
