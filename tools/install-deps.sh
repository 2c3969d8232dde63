#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, as root. Safe to run again.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang-format
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    clang-14 libclang-rt-14-dev
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    wine wine32:i386 wine64 xvfb xauth imagemagick xdotool
    fonts-dejavu-core python3
    nsis cmark locales
)

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
# A mirror caught in the middle of a sync fails one index or another; the lists
# already on the machine then stay, and the install below says whether they serve.
$SUDO apt-get update -qq || echo "apt-get update failed for some lists; installing from those at hand"
$SUDO apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
# A Russian locale: one Wine test reads the wizard's system reasons in another
# language than English.
if ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf-\?8'; then
    $SUDO localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi
