#!/usr/bin/env bash
# Builds the tester and starts it: under Wine on Linux, with a Wine prefix of the build's own.
# The PE32 build where this machine runs 32-bit x86 code, else the x86-64 build;
# ZQ_WINDOWS_BUILD=win32 or win64 asks for one.
set -Eeuo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/lib/windows-build.sh

trap 'echo "run.sh: stopped by a failed step (line $LINENO: $BASH_COMMAND)" >&2' ERR

echo "==> checking the tools the build needs (no test tools)"
check_machine
probe_32bit
scripts/install-deps.sh run
choose_windows_build

build=build/$run_arch
build_tools $run_arch
echo "==> Windows build ($what, MinGW-w64): $build, as $run_reason"
# A tree that the test command configured keeps its tests; a new one is made without them.
if [ -f $build/CMakeCache.txt ]; then
    cmake $build >/dev/null
else
    cmake --no-warn-unused-cli -S . -B $build -DCMAKE_TOOLCHAIN_FILE=$toolchain \
          -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build $build -j "$(nproc)" --target zentaq_tester

exe="$build/ZENTAQ Tester.exe"
if [ -z "${DISPLAY:-}" ]; then
    echo "run.sh: no X display (DISPLAY is not set), so there is nowhere to show $exe" >&2
    exit 1
fi
# A prefix of its own: the tests' prefix is set up for an X server without a window manager.
wine_start $run_arch "$root/$build/wineprefix-desktop"
echo "==> starting $exe under Wine, $wine_start_said"
ZQ_DESKTOP=1 exec "${wine_start[@]}" "$exe"
