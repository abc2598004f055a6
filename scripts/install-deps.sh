#!/usr/bin/env bash
# Installs what the build needs on Debian or Ubuntu, and only what is missing:
#   install-deps.sh run    what building and running the tester takes
#   install-deps.sh test   that, and what building and running every test takes
# Prints each step it takes. The 64-bit Wine is always installed; the 32-bit one (and Debian's
# i386 architecture for it) only where a PE32 does not run without it and this kernel runs
# 32-bit programs: releases whose 64-bit Wine has WoW64 run a PE32 on their own.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/windows-build.sh

mode=${1:-test}
run_packages=(cmake make g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix
              binutils-mingw-w64-x86-64 wine wine64 fonts-wine locales fonts-wqy-microhei)
test_packages=(g++ clang libclang-rt-dev googletest xvfb xauth x11-utils xdotool python3 imagemagick
               libx11-dev libxtst-dev x11-xkb-utils)
case $mode in
    run) packages=("${run_packages[@]}") ;;
    test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
    *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing() {
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            echo "$p"
        fi
    done
}

# install PACKAGE...: installs those not installed yet.
install() {
    local wanted
    mapfile -t wanted < <(missing "$@")
    [ ${#wanted[@]} -gt 0 ] || return 0
    if ! command -v apt-get >/dev/null; then
        echo "install-deps: missing ${wanted[*]}, and there is no apt-get here to install them" >&2
        exit 1
    fi
    echo "==> installing: ${wanted[*]}"
    # Another apt (an unattended upgrade at boot) may hold the lock for a while.
    as_root apt-get -o DPkg::Lock::Timeout=300 update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 install -y -q \
        --no-install-recommends "${wanted[@]}"
    installed_any=yes
}

# as_root COMMAND...: runs it as root, through sudo when this is not root.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "install-deps: '$*' needs root, this is not root, and there is no sudo here" >&2
        exit 1
    fi
}

installed_any=no
install "${packages[@]}"

# Whether the product runs here is known once Wine is installed: run a PE32.
if [ "${ZQ_RUNS_32BIT:-}" != no ]; then
    probe_32bit
    probe_pe32
    if [ "$runs_pe32" != yes ] && [ "$kernel_32bit" = yes ] && ! wine_loader_of 32 >/dev/null; then
        echo "==> a PE32 $pe32_said; adding the 32-bit Wine (wine32:i386)"
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            echo "==> adding the i386 architecture (the 32-bit Wine comes with it)"
            as_root dpkg --add-architecture i386
        fi
        install wine32:i386
        probe_pe32
    fi
fi
if [ "$installed_any" = no ]; then
    echo "==> the ${#packages[@]} packages needed to $mode are installed"
fi
