#!/usr/bin/env bash
# Installs what the build and the tests need on Debian or Ubuntu, and only what is missing.
# Prints each step it takes; does nothing when everything is already there.
set -euo pipefail

packages=(cmake make g++ clang libclang-rt-dev googletest g++-mingw-w64-i686 binutils-mingw-w64-i686
          wine wine32:i386 fonts-wine xvfb xauth x11-utils xdotool python3 imagemagick
          libx11-dev libxtst-dev locales fonts-wqy-microhei)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "==> adding the i386 architecture (Wine runs 32-bit programs with it)"
    $sudo dpkg --add-architecture i386
fi

echo "==> installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
