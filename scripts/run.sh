#!/usr/bin/env bash
# The run command: builds the tester and starts it under Wine, with a Wine prefix of its own: the
# PE32 where it runs here, else the x86-64 build (scripts/lib/wine.sh decides); ZQ_WINDOWS_BUILD=
# win32 or win64 asks for one.
. "$(dirname "$0")/../scripts/lib/begin.sh" apt wine

zq_check_machine
[ -n "${DISPLAY:-}" ] || stop "no X display (DISPLAY is not set): start it from a desktop session, where the tester has a screen"
zq_install run
zq_choose_build

build=build/$zq_build
zq_toolchain_for $zq_build
say "building $build ($zq_kind, MinGW-w64)"
# A tree that the test command configured keeps its tests; a new one is made without them.
if [ -f $build/CMakeCache.txt ]; then
    need -q "configuring $build" cmake $build
else
    need -q "configuring $build" cmake --no-warn-unused-cli -S . -B $build -DCMAKE_TOOLCHAIN_FILE=$zq_toolchain \
        -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING=OFF
fi
need "building $build" cmake --build $build -j "$(nproc)" --target zentaq_tester

# A prefix of its own: the tests' prefixes are set up for an X server without a window manager.
zq_wine_start $zq_build "$PWD/$build/wineprefix-desktop"
say "starting $build/ZENTAQ Tester.exe under Wine, $zq_start_said"
# exec: the program's status is the command's. No clean-up runs after it (Wine's server ends by
# itself a few seconds after the program), so no list of prefixes is kept for one.
ZQ_DESKTOP=1 ZQ_PREFIX_LIST= exec "${zq_start[@]}" "$build/ZENTAQ Tester.exe"
