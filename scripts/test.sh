#!/usr/bin/env bash
# Builds everything and runs every test:
#   native build (build/native): the key table and router under ASan/UBSan, and a fuzz run;
#   Windows build (build/win32): the program and the tests that need real windows, under Wine,
#   and the release archive. Compiler warnings are errors here.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/xvfb.sh

echo "==> checking the tools the build needs"
scripts/install-deps.sh test

echo "==> native build: build/native"
cmake --no-warn-unused-cli -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DBUILD_TESTING=ON -DZQ_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build/native -j "$(nproc)"

echo "==> Windows build (i686, MinGW-w64): build/win32"
cmake --no-warn-unused-cli -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel \
      -DBUILD_TESTING=ON -DZQ_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build/win32 -j "$(nproc)"

export WINEPREFIX=$root/build/win32/wineprefix
cleanup() {
    WINEDEBUG=-all wineserver -k 2>/dev/null || true
    if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    echo "==> starting a private X server (Xvfb) for the window tests"
    start_xvfb
fi

echo "==> native tests"
ctest --test-dir build/native --output-on-failure
echo "==> Windows tests under Wine"
ctest --test-dir build/win32 --output-on-failure
