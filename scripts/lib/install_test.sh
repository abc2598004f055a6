#!/usr/bin/env bash
# The set-up's install decisions, without root or network: apt-get, dpkg, dpkg-query and sudo are
# stand-ins on the PATH that keep the machine's state in files, and the probes of the machine (its
# kernel, whether a PE32 runs) answer as each case says. Prints one line a check; exits 1 on any
# failure.
set -uo pipefail
lib=$(cd "${0%/*}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
cat >"$work/bin/apt-get" <<'EOF'
#!/bin/bash
# Installs every package named unless it is listed in $state/uninstallable; update fails where
# $state/update-error holds apt's error.
echo "apt-get $*" >>"$state/calls"
while [ "${1:-}" != update ] && [ "${1:-}" != install ]; do [ "$1" != -o ] || shift; shift; done
if [ "$1" = update ]; then
    [ ! -s "$state/update-error" ] || { cat "$state/update-error"; exit 100; }
    exit 0
fi
shift
for p in "$@"; do
    [[ $p == -* ]] && continue
    ! grep -qx "$p" "$state/uninstallable" 2>/dev/null || { echo "E: Unable to locate package $p"; exit 100; }
    [[ $p != *:i386 ]] || grep -qx i386 "$state/foreign" || { echo "E: Unable to locate package $p"; exit 100; }
done
for p in "$@"; do [[ $p == -* ]] || echo "$p" >>"$state/installed"; done
EOF
cat >"$work/bin/dpkg-query" <<'EOF'
#!/bin/bash
grep -qx "${!#}" "$state/installed" && printf 'ii ' || exit 1
EOF
cat >"$work/bin/dpkg" <<'EOF'
#!/bin/bash
echo "dpkg $*" >>"$state/calls"
case $1 in
    --print-foreign-architectures) cat "$state/foreign" ;;
    --add-architecture) echo "$2" >>"$state/foreign" ;;
    --remove-architecture)
        ! grep -q ":$2\$" "$state/installed" || { echo "dpkg: error: cannot remove architecture '$2' currently in use by the database" >&2; exit 2; }
        sed -i "/^$2\$/d" "$state/foreign" ;;
esac
EOF
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
printf '#!/bin/sh\necho wine-9.0\n' >"$work/bin/wine"
cp "$work/bin/wine" "$work/bin/wineserver"
chmod +x "$work/bin/"*

failures=0
check() {  # check WHAT COMMAND...: one line, ok or not
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

# setup ARCHITECTURES... : a machine with every package of the test command but those that each
# case takes away, and those foreign architectures.
setup() {
    export state=$work/state
    rm -rf "$state" "$work/build"
    mkdir "$state"
    printf '%s\n' "$@" >"$state/foreign"
    : >"$state/calls"
    (. "$lib/say.sh"; . "$lib/apt.sh"; printf '%s\n' "${zq_required_packages[@]}" "${zq_test_packages[@]}" \
        "${zq_optional_packages[@]}") >"$state/installed"
}

# decide [ENV...]: the test command's install step and Wine choice, with only the variables
# given; KERNEL_32BIT=yes|no is the kernel's answer. Sets out (what it printed) and status.
decide() {
    status=0
    out=$(cd "$work" && env -u ZQ_RUNS_32BIT -u ZQ_WINDOWS_BUILD PATH="$work/bin:$PATH" "$@" bash -c '
        set -Eeuo pipefail
        . "$0/say.sh"; . "$0/apt.sh"; . "$0/wine.sh"
        zq_kernel_runs_32bit() { [ "$KERNEL_32BIT" = yes ]; }
        zq_loader_of() { [ "$1" = 64 ] || grep -qx wine32:i386 "$state/installed" && echo "$PWD/bin/wine"; }
        zq_probe_pe32() {
            zq_pe32=no zq_pe32_why="a PE32 does not run under the 64-bit Wine"
            if grep -qx wine32:i386 "$state/installed"; then zq_pe32=yes zq_pe32_why="a PE32 runs"; fi
        }
        zq_install test
        zq_choose_build
        echo "build: $zq_build"' "$lib" 2>&1) || status=$?
}

# An index that cannot be fetched is one line, and the install goes on.
setup
sed -i '/^cmake$/d; /^xdotool$/d' "$state/installed"
echo "E: Failed to fetch http://deb.debian.org/debian/dists/bookworm/main/binary-amd64/Packages  File has unexpected size (374820 != 376004). Mirror sync in progress?" >"$state/update-error"
decide KERNEL_32BIT=no
check "an index that fails to download is reported in one line" \
    test "$(grep -c 'optional: updating apt.s package lists failed (E: Failed to fetch .*Mirror sync in progress?)' <<<"$out")" = 1
check "and the required packages are installed all the same" \
    bash -c '[ '"$status"' = 0 ] && grep -qx cmake "$state/installed" && grep -qx xdotool "$state/installed"'

# The 32-bit Wine that cannot be installed: the x86-64 build, the reason said, the i386
# architecture that was added for it removed again, and the answer kept for an hour only.
setup
echo wine32:i386 >"$state/uninstallable"
decide KERNEL_32BIT=yes
check "without the 32-bit Wine the x86-64 build runs" grep -qx "build: win64" <<<"$out"
check "the reason is said" grep -q "could not be installed (E: Unable to locate package wine32:i386)" <<<"$out"
check "the i386 architecture is removed again" bash -c '! grep -q i386 "$state/foreign"'
: >"$state/calls"
decide KERNEL_32BIT=yes
check "within the hour a second run keeps the answer" bash -c '[ ! -s "$state/calls" ]'
sed -i '4s/.*/0/' "$work/build/wine-answer"
rm "$state/uninstallable"
decide KERNEL_32BIT=yes
check "later a run tries again, and the PE32 runs once it is installed" grep -qx "build: win32" <<<"$out"

# An i386 architecture the user had stays.
setup i386
echo wine32:i386 >"$state/uninstallable"
decide KERNEL_32BIT=yes
check "an i386 architecture that was there before stays" grep -qx i386 "$state/foreign"

# A required package that cannot be installed stops the command, naming it.
setup
sed -i '/^clang$/d' "$state/installed"
echo clang >"$state/uninstallable"
decide KERNEL_32BIT=no
check "a required package that cannot be installed stops the command" test "$status" != 0
check "and is named" grep -q "^zentaq: installing clang failed: E: Unable to locate package clang$" <<<"$out"

# A machine that runs no 32-bit code, or a run that asks for the x86-64 build, never touches i386.
for case in KERNEL_32BIT=no "KERNEL_32BIT=yes ZQ_WINDOWS_BUILD=win64"; do
    setup
    decide $case
    check "$case: the x86-64 build, and i386 untouched" \
        bash -c '[ '"$status"' = 0 ] && ! grep -q "architecture\|i386" "$state/calls"'
done
[ "$failures" -eq 0 ]
