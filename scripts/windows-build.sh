# Sourced by the commands that build or run the Windows programs. The same sources build twice:
# build/win32 (PE32, i686), the product, and build/win64 (PE32+, x86-64), which runs where the
# machine cannot execute 32-bit x86 code at all (a kernel without IA-32 emulation, some virtual
# machines). choose_windows_build sets
#   runs_32bit  yes or no: whether this machine executes 32-bit x86 code (probed once a command)
#   run_arch    win32 or win64: the build that runs here
#   run_reason  why that one, in a few words
# ZQ_WINDOWS_BUILD=win32 or win64 asks for one; win32 where 32-bit code cannot run is an error.

probe_32bit() {
    if [ -n "${ZQ_RUNS_32BIT:-}" ]; then
        runs_32bit=$ZQ_RUNS_32BIT
        return
    fi
    # The smallest 32-bit x86 program: a Linux ELF whose whole code is exit(42). A kernel that
    # cannot run 32-bit code refuses to start it ("Exec format error"), and so it refuses the
    # 32-bit Wine loader. It lives in the checkout's build folder, as /tmp may be noexec.
    local probe status=0 said
    mkdir -p build
    probe=build/.probe-32bit
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5f\x00\x00\x00\x5f\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xb3\x2a\xcd\x80' >"$probe"
    chmod +x "$probe"
    said=$( ("./$probe") 2>&1) || status=$?
    rm -f "$probe"
    if [ "$status" -eq 42 ]; then runs_32bit=yes; else runs_32bit=no; fi
    export ZQ_RUNS_32BIT=$runs_32bit
    if [ "$runs_32bit" = yes ]; then
        echo "==> probe: this machine runs 32-bit x86 code"
    else
        echo "==> probe: this machine cannot run 32-bit x86 code (a 32-bit program: ${said##*: }, status $status)"
    fi
}

choose_windows_build() {
    probe_32bit
    case ${ZQ_WINDOWS_BUILD:-} in
        win64)
            run_arch=win64 run_reason="ZQ_WINDOWS_BUILD=win64 asks for the x86-64 build" ;;
        win32)
            if [ "$runs_32bit" != yes ]; then
                echo "ZQ_WINDOWS_BUILD=win32 asks for the PE32 build, but this machine cannot run 32-bit x86 code" >&2
                exit 1
            fi
            run_arch=win32 run_reason="ZQ_WINDOWS_BUILD=win32 asks for it" ;;
        "")
            if [ "$runs_32bit" = yes ]; then
                run_arch=win32 run_reason="this machine runs 32-bit x86 code"
            else
                run_arch=win64 run_reason="this machine cannot run 32-bit x86 code"
            fi ;;
        *)
            echo "ZQ_WINDOWS_BUILD is '$ZQ_WINDOWS_BUILD'; it can be win32 or win64" >&2
            exit 1 ;;
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
