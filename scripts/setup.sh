#!/bin/bash
# Installs what a fresh Debian machine lacks for building, testing and running the program.
# Does nothing when everything is present.
set -euo pipefail

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
          binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 wine64 googletest
          fonts-wine xvfb xauth fonts-ipafont-gothic imagemagick zip unzip python3 locales
          osslsigncode openssl clang-tidy
          wine32:i386)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if [ ${#missing[@]} -ne 0 ]; then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    # The 32-bit Wine loader (wine32) runs the i686 build, the one users get.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386
    fi
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The end-to-end tests run the program under a Japanese, an English and a German locale.
for name in ja_JP en_US de_DE; do
    if ! locale -a 2>/dev/null | grep -x "$name.utf8" >/dev/null; then
        echo "setup: generating the locale $name.UTF-8"
        $SUDO localedef -i "$name" -c -f UTF-8 -A /usr/share/locale/locale.alias "$name.UTF-8"
    fi
done
