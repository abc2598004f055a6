# Sourced by the commands: installs what they need and is missing, through apt-get (with sudo
# where this is not root), saying which packages are required and which optional. Needs say.sh.
#   zq_install release|run|test [PACKAGE...]   release: building the tester, its tests and the
#                                 archives; run: building and running it; test: that and every
#                                 test; PACKAGEs: required ones beyond those (osslsigncode, to sign)
#   zq_add_wine32         the 32-bit Wine, an optional step of the Wine choice (scripts/lib/wine.sh)
zq_build_packages=(cmake make g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix
                   binutils-mingw-w64-x86-64)
zq_required_packages=("${zq_build_packages[@]}" wine wine64 fonts-wine)
zq_test_packages=(g++ clang libclang-rt-dev googletest xvfb xdotool python3 imagemagick libx11-dev libxtst-dev
                  x11-xkb-utils strace faketime osslsigncode openssl)
# Without them, the arrow keys' labels (code page 936 text) do not show as arrows: the run command
# says so and starts the tester in the user's code page.
zq_optional_packages=(locales fonts-wqy-microhei)

# zq_not_installed PACKAGE...: those of them not installed.
zq_not_installed() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null | grep -q '^ii' || echo "$p"
    done
}

# zq_apt ARGS...: apt-get as root, retrying downloads that fail for a moment, and waiting up to
# 300 s for another apt's lock (an unattended upgrade at boot): DPkg::Lock::Timeout covers
# dpkg's lock, not the one of apt-get update.
zq_apt() {
    local waited=0 log
    log=$(mktemp)
    while ! as_root env DEBIAN_FRONTEND=noninteractive apt-get -q -o Acquire::Retries=3 \
            -o DPkg::Lock::Timeout=300 "$@" 2>&1 | tee "$log"; do
        if ! grep -q '^E: Could not get lock' "$log" || [ "$waited" -ge 300 ]; then
            rm -f "$log"
            return 1
        fi
        [ "$waited" -gt 0 ] || say "waiting up to 300 s for another apt to finish"
        sleep 10
        waited=$((waited + 10))
    done
    rm -f "$log"
}

zq_install() {
    local mode=$1 required optional=() p
    case $mode in
        release) required=("${zq_build_packages[@]}" googletest zip) ;;
        run) required=("${zq_required_packages[@]}") ;;
        *) required=("${zq_required_packages[@]}" "${zq_test_packages[@]}") ;;
    esac
    required+=("${@:2}")
    mapfile -t required < <(zq_not_installed "${required[@]}")
    [ "$mode" = release ] || mapfile -t optional < <(zq_not_installed "${zq_optional_packages[@]}")
    if [ $((${#required[@]} + ${#optional[@]})) -eq 0 ]; then
        say "every package needed to $mode is installed"
        return
    fi
    command -v apt-get >/dev/null || stop "missing ${required[*]} ${optional[*]}, and there is no apt-get here to install them"
    [ "$EUID" -eq 0 ] || command -v sudo >/dev/null ||
        stop "installing ${required[*]} ${optional[*]} needs root: this is not root and there is no sudo"
    # One index that cannot be fetched (a mirror mid-sync, a broken third-party source) stops
    # nothing by itself: the install decides.
    want "updating apt's package lists" "installing from the lists there are" zq_apt update || true
    if [ ${#required[@]} -gt 0 ]; then
        say "installing the required packages: ${required[*]}"
        need "installing ${required[*]}" zq_apt install -y --no-install-recommends "${required[@]}"
    fi
    # One at a time: one that cannot be installed takes no other with it.
    for p in "${optional[@]}"; do
        say "installing the optional package $p"
        want "installing $p" "going on without it" zq_apt install -y --no-install-recommends "$p" || true
    done
}

# zq_add_wine32: the 32-bit Wine (wine32:i386), with Debian's i386 architecture added for it
# where it is not there yet. Where the install fails, the architecture it added is removed again
# (dpkg keeps it while any i386 package is installed), so that no later apt-get update fails on
# it; returns 1.
zq_add_wine32() {
    local added=""
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        say "adding Debian's i386 architecture, for the 32-bit Wine"
        if ! want "adding the i386 architecture" "no 32-bit Wine" as_root dpkg --add-architecture i386; then
            zq_wine32_error=$zq_error
            return 1
        fi
        added=yes
        want "updating apt's package lists" "installing from the lists there are" zq_apt update || true
    fi
    say "installing the optional 32-bit Wine (wine32:i386)"
    want "installing wine32:i386" "the PE32 is built and checked, not run" \
        zq_apt install -y --no-install-recommends wine32:i386 && return 0
    zq_wine32_error=$zq_error
    if [ -z "$added" ]; then
        return 1
    elif as_root dpkg --remove-architecture i386 2>/dev/null; then
        say "removed the i386 architecture again, as it was added for the 32-bit Wine alone"
    else
        say "kept the i386 architecture: dpkg keeps it while an i386 package is installed" >&2
    fi
    return 1
}
