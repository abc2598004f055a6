#!/usr/bin/env bash
# The release command: builds the PE32 and the PE32+ from the checkout alone, with their test
# programs (none is run), each in a release folder of its own made anew (build/release-win32,
# build/release-win64), and writes dist/ZENTAQ-Tester-<version>-win32.zip and -win64.zip (the
# tester), -win32-tests.zip and -win64-tests.zip (the tests for a Windows desktop, run there by
# run-tests.cmd: tests/download/download.cmake) and dist/SHA256SUMS. The same checkout gives
# the same bytes on the same Debian release, whatever the folder, clock, umask, locale or time
# zone: the exe's time stamp and the archive's times are SOURCE_DATE_EPOCH, else the commit's
# time, else none (0 in the exe, 1980-01-01 in the archive).
#   scripts/release.sh [--sign FILE.pfx]   --sign: both exes signed before they are archived
#                                          (scripts/lib/sign.sh; docs/release.md)
. "$(dirname "$0")/../scripts/lib/begin.sh" apt wine sign

cert=""
case $# in
    0) ;;
    2) [ "$1" = --sign ] || stop "usage: scripts/release.sh [--sign FILE.pfx]"
       cert=$2; [[ $cert == /* ]] || cert=$zq_started_in/$cert ;;
    *) stop "usage: scripts/release.sh [--sign FILE.pfx]" ;;
esac
# Said before anything is built, as the signing would say it after.
[ -z "$cert" ] || { [ -f "$cert" ] && [ -r "$cert" ]; } || stop "signing failed: there is no certificate file $cert (or it cannot be read)"
zq_install release ${cert:+osslsigncode}
umask 022
export LC_ALL=C TZ=UTC
# zq_zip FOLDER ARCHIVE ENTRIES...: the archive of those entries of FOLDER, in that order, with no
# owner or extra times (-X). Run by need, in a subshell of its own.
zq_zip() {
    cd "$1" && zip -X -D -q "${@:2}"
}

# zq_release_sign EXE TIME: EXE signed in place, the signing time TIME where no time-stamp server
# is named. Where that fails the command stops with one line, and takes what it wrote to dist/.
zq_release_sign() {
    say "signing $1 with $cert"
    zq_sign "$cert" "$2" "$1" "$1.signed" && mv "$1.signed" "$1" && chmod 755 "$1" && return
    rm -f dist/ZENTAQ-Tester-*.zip dist/SHA256SUMS
    rmdir dist 2>/dev/null || true
    stop "signing failed: $zq_error"
}

mkdir -p dist
rm -f dist/ZENTAQ-Tester-*.zip dist/SHA256SUMS
for arch in win32 win64; do
    zq_toolchain_for $arch
    build=build/release-$arch
    say "building $build ($zq_kind, MinGW-w64) and its test programs, none run"
    rm -rf "$build"
    need -q "configuring $build" cmake --no-warn-unused-cli -S . -B $build -DCMAKE_TOOLCHAIN_FILE=$zq_toolchain \
        -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING=ON -DZQ_WINE_TESTS=NONE ${cert:+-DZQ_SIGNED=ON}
    need "building $build" cmake --build $build -j "$(nproc)" --target zentaq_tester tests_download
    name=ZENTAQ-Tester-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' $build/CMakeCache.txt)-$arch
    # The archive's two entries with fixed modes, and the time the build gave the exe's header
    # (cmake/release.cmake), or 1980-01-01 where it has none.
    read -r epoch <$build/generated/source-date-epoch || true
    mkdir -p "$build/stage/$name"
    install -m 644 $build/generated/README.txt "$build/stage/$name/README.txt"
    install -m 755 "$build/ZENTAQ Tester.exe" "$build/stage/$name/ZENTAQ Tester.exe"
    [ -z "$cert" ] || zq_release_sign "$build/stage/$name/ZENTAQ Tester.exe" "${epoch:-315532800}"
    touch -d "@${epoch:-315532800}" "$build/stage/$name"/*
    need -q "archiving $name" zq_zip "$build/stage" "$PWD/dist/$name.zip" "$name/README.txt" "$name/ZENTAQ Tester.exe"
    sed -n 's/\r$//; s/^\(Built from\|Compiler\|Binutils\): /  \1: /p' $build/generated/README.txt
    # The tests, as the build laid them out, with the tester of the other archive: every file of
    # the folder, in name order.
    tests=$build/download/$name-tests
    [ -d "$tests" ] || stop "the build wrote no $tests"
    cp "$build/stage/$name/ZENTAQ Tester.exe" "$tests/"
    chmod 644 "$tests"/*
    chmod 755 "$tests"/*.exe
    touch -d "@${epoch:-315532800}" "$tests"/*
    mapfile -t entries < <(cd "$build/download" && printf '%s\n' "$name-tests"/* | sort)
    need -q "archiving $name-tests" zq_zip "$build/download" "$PWD/dist/$name-tests.zip" "${entries[@]}"
done

(cd dist && sha256sum ZENTAQ-Tester-*.zip >SHA256SUMS)
say "dist/SHA256SUMS (check: cd dist && sha256sum -c SHA256SUMS)"
cat dist/SHA256SUMS
