#!/usr/bin/env bash
# Builds the tester and starts it: under Wine on Linux, with a Wine prefix of the build's own.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

echo "==> checking the tools the build needs (no test tools)"
scripts/install-deps.sh run

echo "==> Windows build (i686, MinGW-w64): build/win32"
# A tree that the test command configured keeps its tests; a new one is made without them.
if [ -f build/win32/CMakeCache.txt ]; then
    cmake build/win32 >/dev/null
else
    cmake --no-warn-unused-cli -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
          -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build build/win32 -j "$(nproc)" --target zentaq_tester

exe="build/win32/ZENTAQ Tester.exe"
if [ -z "${DISPLAY:-}" ]; then
    echo "run.sh: no X display (DISPLAY is not set), so there is nowhere to show $exe" >&2
    exit 1
fi
echo "==> starting $exe under Wine"
# A prefix of its own: the tests' prefix is set up for an X server without a window manager.
ZQ_DESKTOP=1 exec cmake/wine-run.sh "$root/build/win32/wineprefix-desktop" "$exe"
