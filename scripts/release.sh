#!/usr/bin/env bash
# The release command: builds the PE32 and the PE32+ from the checkout alone, with their test
# programs (none is run), each in a release folder of its own made anew (build/release-win32,
# build/release-win64), and writes dist/ZENTAQ-Tester-<version>-win32.zip and -win64.zip (the
# tester), -win32-tests.zip and -win64-tests.zip (the tests for a Windows desktop, run there by
# run-tests.cmd: tests/download/download.cmake) and dist/SHA256SUMS. The same checkout gives
# the same bytes on the same Debian release, whatever the folder, clock, umask, locale or time
# zone: the exe's time stamp and the archive's times are SOURCE_DATE_EPOCH, else the commit's
# time, else none (0 in the exe, 1980-01-01 in the archive).
. "$(dirname "$0")/../scripts/lib/begin.sh" apt wine

zq_install release
umask 022
export LC_ALL=C TZ=UTC
# zq_zip FOLDER ARCHIVE ENTRIES...: the archive of those entries of FOLDER, in that order, with no
# owner or extra times (-X). Run by need, in a subshell of its own.
zq_zip() {
    cd "$1" && zip -X -D -q "${@:2}"
}

mkdir -p dist
rm -f dist/ZENTAQ-Tester-*.zip dist/SHA256SUMS
for arch in win32 win64; do
    zq_toolchain_for $arch
    build=build/release-$arch
    say "building $build ($zq_kind, MinGW-w64) and its test programs, none run"
    rm -rf "$build"
    need -q "configuring $build" cmake --no-warn-unused-cli -S . -B $build -DCMAKE_TOOLCHAIN_FILE=$zq_toolchain \
        -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING=ON -DZQ_WINE_TESTS=NONE
    need "building $build" cmake --build $build -j "$(nproc)" --target zentaq_tester tests_download
    name=ZENTAQ-Tester-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' $build/CMakeCache.txt)-$arch
    # The archive's two entries with fixed modes, and the time the build gave the exe's header
    # (cmake/release.cmake), or 1980-01-01 where it has none.
    read -r epoch <$build/generated/source-date-epoch || true
    mkdir -p "$build/stage/$name"
    install -m 644 $build/generated/README.txt "$build/stage/$name/README.txt"
    install -m 755 "$build/ZENTAQ Tester.exe" "$build/stage/$name/ZENTAQ Tester.exe"
    touch -d "@${epoch:-315532800}" "$build/stage/$name"/*
    need -q "archiving $name" zq_zip "$build/stage" "$PWD/dist/$name.zip" "$name/README.txt" "$name/ZENTAQ Tester.exe"
    sed -n 's/\r$//; s/^\(Built from\|Compiler\|Binutils\): /  \1: /p' $build/generated/README.txt
    # The tests, as the build laid them out: every file of the folder, in name order.
    tests=$build/download/$name-tests
    [ -d "$tests" ] || stop "the build wrote no $tests"
    chmod 644 "$tests"/*
    chmod 755 "$tests"/*.exe
    touch -d "@${epoch:-315532800}" "$tests"/*
    mapfile -t entries < <(cd "$build/download" && printf '%s\n' "$name-tests"/* | sort)
    need -q "archiving $name-tests" zq_zip "$build/download" "$PWD/dist/$name-tests.zip" "${entries[@]}"
done

(cd dist && sha256sum ZENTAQ-Tester-*.zip >SHA256SUMS)
say "dist/SHA256SUMS (check: cd dist && sha256sum -c SHA256SUMS)"
cat dist/SHA256SUMS
