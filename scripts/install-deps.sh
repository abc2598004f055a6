#!/usr/bin/env bash
# Installs what the build needs on Debian or Ubuntu, and only what is missing:
#   install-deps.sh run    what building and running the tester takes
#   install-deps.sh test   that, and what building and running every test takes
# Prints each step it takes. The 64-bit Wine is always installed; the 32-bit one (and Debian's
# i386 architecture for it) only where this machine runs 32-bit x86 code.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/windows-build.sh

mode=${1:-test}
probe_32bit
run_packages=(cmake make g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix
              binutils-mingw-w64-x86-64 wine wine64 fonts-wine)
if [ "$runs_32bit" = yes ]; then
    run_packages+=(wine32:i386)
fi
test_packages=(g++ clang libclang-rt-dev googletest xvfb xauth x11-utils xdotool python3 imagemagick
               libx11-dev libxtst-dev locales fonts-wqy-microhei x11-xkb-utils)
case $mode in
    run) packages=("${run_packages[@]}") ;;
    test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
    *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "==> the ${#packages[@]} packages needed to $mode are installed"
    exit 0
fi

if ! command -v apt-get >/dev/null; then
    echo "install-deps: missing ${missing[*]}, and there is no apt-get here to install them" >&2
    exit 1
fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

if [ "$runs_32bit" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "==> adding the i386 architecture (the 32-bit Wine comes with it)"
    $sudo dpkg --add-architecture i386
fi

echo "==> installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
