#!/usr/bin/env bash
# Installs, only where missing, every Debian package that building, testing
# and running Murlo needs. Safe to run again; quick when all is present.
set -euo pipefail

need_root() {
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then echo sudo; else
            echo "bootstrap: must run as root (or with sudo) to install packages" >&2
            exit 1
        fi
    fi
}

PACKAGES=(
    cmake make g++ clang lld llvm unzip binutils
    googletest libgtest-dev libgmock-dev
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
    wine wine32:i386 wine64
    xvfb xauth xdotool x11-utils imagemagick
    qemu-user-static
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

install_packages() {
    SUDO=$(need_root)
    echo "bootstrap: installing $*"
    export DEBIAN_FRONTEND=noninteractive
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386
    fi
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

if [ ${#missing[@]} -ne 0 ]; then
    install_packages "${missing[@]}"
fi

