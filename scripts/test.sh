#!/usr/bin/env bash
# The test command: builds everything and runs every test.
#   build/native  the Windows-free logic under ASan and UBSan, a fuzz run, the set-up's own test
#   build/win32   the product (PE32), and build/win64 (PE32+): the programs, the tests of real
#                 windows under Wine on a private X server, and the release archive
# Which build runs which tests is the plan below: where the PE32 runs here (scripts/lib/wine.sh
# finds out), it runs every Windows test and the PE32+ the in-process ones; elsewhere the PE32+
# runs every one and the PE32 is built and checked without running it. ZQ_TEST_DISPLAY=user runs
# the window tests on the user's X display instead of a private one. Compiler warnings are errors.
. "$(dirname "$0")/../scripts/lib/begin.sh" apt wine xvfb

zq_check_machine
zq_install test
zq_choose_build
declare -A plan=([win32]=NONE [win64]=ALL)  # the Windows tests a build runs: ZQ_WINE_TESTS
[ "$zq_pe32" = no ] || plan=([win32]=ALL [win64]=INPROCESS)

say "building build/native (clang, AddressSanitizer and UndefinedBehaviorSanitizer)"
need -q "configuring build/native" cmake --no-warn-unused-cli -S . -B build/native -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBUILD_TESTING=ON -DZQ_WARNINGS_AS_ERRORS=ON
need "building build/native" cmake --build build/native -j "$(nproc)"
for arch in win32 win64; do
    zq_toolchain_for $arch
    say "building build/$arch ($zq_kind, MinGW-w64), Windows tests under Wine: ${plan[$arch]}"
    need -q "configuring build/$arch" cmake --no-warn-unused-cli -S . -B build/$arch -DCMAKE_TOOLCHAIN_FILE=$zq_toolchain \
        -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING=ON -DZQ_WARNINGS_AS_ERRORS=ON -DZQ_WINE_TESTS=${plan[$arch]}
    need "building build/$arch" cmake --build build/$arch -j "$(nproc)"
done

x=yes
if [ "${ZQ_TEST_DISPLAY:-}" = user ] && [ -n "${DISPLAY:-}" ]; then
    say "the window tests run on the user's X display $DISPLAY (ZQ_TEST_DISPLAY=user)"
elif zq_xvfb_start; then
    say "the window tests run on a private X server (Xvfb), display $DISPLAY"
else
    say "$zq_error: the tests that need it are not run" >&2
    x=no
fi

failed=()
say "native tests"
ctest --test-dir build/native --output-on-failure --output-junit "$PWD/build/native/ctest.xml" || failed+=(native)
for arch in win32 win64; do
    only=()
    if [ "${plan[$arch]}" = NONE ]; then
        say "$arch: the PE32 was built and is checked without running it"
    elif [ $x = no ]; then
        only=(-R '\.(package|rebuild|sign)$')
    else
        # The prefix the test programs list their cases in (cmake/windows.cmake), made before CTest.
        need "setting up the Wine prefix of build/$arch" scripts/wine-run.sh --setup $arch "$PWD/build/$arch/wineprefix"
        say "$arch: the Windows tests under Wine (${plan[$arch]})"
    fi
    ctest --test-dir build/$arch --output-on-failure --output-junit "$PWD/build/$arch/ctest.xml" "${only[@]}" ||
        failed+=("$arch")
done

# The last lines: what ran in each build, from CTest's own report.
notrun=no
for build in native win32 win64; do
    read -r run wine < <(awk '/<testcase / && /status="(run|fail)"/ { run++; if (!/name="[^"]*\.(package|rebuild|sign)"/) wine++ }
                             END { print run + 0, wine + 0 }' "build/$build/ctest.xml" 2>/dev/null || echo 0 0)
    # What did not run, and why: a test's own "zentaq: NOT RUN:" line, or a skipped case's reason.
    while IFS= read -r line; do
        echo "zentaq: $build: not run: $line"
        notrun=yes
    done < <(awk '/<testcase / { name = $0; sub(/.*<testcase name="/, "", name); sub(/".*/, "", name); skipped = /status="notrun"/ }
                  /zentaq: NOT RUN: / { sub(/.*zentaq: NOT RUN: /, ""); print }
                  skipped && /: Skipped$/ && (getline reason) > 0 { print name ": " reason; skipped = 0 }' "build/$build/ctest.xml" 2>/dev/null)
    case $build/${plan[$build]:-} in
        native/) say "native: test cases run: $run" ;;
        */NONE) say "$build: test cases run: $run, none under Wine: the PE32 was not run, as $zq_pe32_why" ;;
        *) say "$build: test cases run: $run, under Wine: $wine"
           [ "$wine" -gt 0 ] || failed+=("$build ran no Windows test under Wine$([ $x = yes ] || echo ': no X server')") ;;
    esac
done
printf -v list '%s; ' "${failed[@]}"
[ ${#failed[@]} -eq 0 ] || stop "tests failed or did not run: ${list%; } (see above)"
if [ $notrun = yes ]; then
    say "every test that ran passed; the ones not run are named above"
else
    say "every test passed"
fi
