#!/usr/bin/env bash
# Builds everything and runs every test:
#   native build (build/native): the key table and router under ASan/UBSan, and a fuzz run;
#   Windows builds, PE32 (build/win32, the product) and PE32+ (build/win64): the program and the
#   tests that need real windows, under Wine, and the release archive. The build this machine
#   runs (scripts/windows-build.sh) runs every Windows test; the PE32+ beside a PE32 runs the
#   tests of the running dialogs; a PE32 that cannot run here is checked without Wine.
# Compiler warnings are errors here.
set -Eeuo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/lib/xvfb.sh
. scripts/lib/windows-build.sh

# Whatever stops this script early says where.
trap 'echo "test.sh: stopped by a failed step (line $LINENO: $BASH_COMMAND)" >&2' ERR

echo "==> checking the tools the build needs"
check_machine
probe_32bit
scripts/install-deps.sh test
choose_windows_build

echo "==> native build: build/native"
cmake --no-warn-unused-cli -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DBUILD_TESTING=ON -DZQ_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build/native -j "$(nproc)"

if [ "$run_arch" = win32 ]; then
    wine_tests=(win32:ALL win64:INPROCESS)
else
    wine_tests=(win32:NONE win64:ALL)
fi
for build in "${wine_tests[@]}"; do
    arch=${build%%:*}
    build_tools $arch
    echo "==> Windows build ($what, MinGW-w64): build/$arch"
    cmake --no-warn-unused-cli -S . -B build/$arch -DCMAKE_TOOLCHAIN_FILE=$toolchain -DCMAKE_BUILD_TYPE=MinSizeRel \
          -DBUILD_TESTING=ON -DZQ_WARNINGS_AS_ERRORS=ON -DZQ_WINE_TESTS=${build#*:} >/dev/null
    cmake --build build/$arch -j "$(nproc)"
done

cleanup() {
    for build in "${wine_tests[@]}"; do
        arch=${build%%:*}
        if [ "${build#*:}" != NONE ] && [ -d "build/$arch/wineprefix" ]; then
            scripts/wine-run.sh "$arch" "$root/build/$arch/wineprefix" wineserver -k 2>/dev/null || true
        fi
    done
    if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    echo "==> starting a private X server (Xvfb) for the window tests"
    start_xvfb
fi

failed=()
echo "==> native tests"
ctest --test-dir build/native --output-on-failure || failed+=(native)
for build in "${wine_tests[@]}"; do
    arch=${build%%:*}
    case ${build#*:} in
        ALL) echo "==> $arch: every Windows test under Wine" ;;
        INPROCESS) echo "==> $arch: the tests of the running dialogs under Wine, and the archive" ;;
        NONE) echo "==> $arch: the PE32 was built and is checked without running it ($run_reason)" ;;
    esac
    ctest --test-dir build/$arch --output-on-failure || failed+=("$arch")
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "test.sh: tests failed in: ${failed[*]} (each run's failures are listed above)" >&2
    exit 1
fi
echo "==> every test passed"
