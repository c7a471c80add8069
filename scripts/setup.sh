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
    # One set-up at a time on this machine (two build trees side by side, say): apt's own locks
    # would fail the second.
    exec 9>/tmp/kelvo-setup.lock
    flock 9
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    # The 32-bit Wine loader (wine32) runs the i686 build, the one users get.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386
    fi
    # A mirror in the middle of a sync fails one list now and then: try again, then install
    # from the lists that did come.
    for try in 1 2; do
        $SUDO apt-get update -qq && break
        echo "setup: apt-get update failed (try $try of 2)"
        [ $try -eq 2 ] || sleep 10
    done
    install() { $SUDO apt-get install -y -qq --no-install-recommends "$@" >/dev/null; }
    if ! install "${missing[@]}"; then
        # wine32:i386 needs i386 libraries of the very versions installed for amd64; a list
        # that failed above can leave them out. Everything else still installs, and the test
        # and run commands then say that the i686 build can't run here.
        rest=()
        for p in "${missing[@]}"; do [ "$p" = wine32:i386 ] || rest+=("$p"); done
        [ ${#rest[@]} -lt ${#missing[@]} ] && install "${rest[@]}" || exit 1
        echo "setup: the 32-bit Wine loader (wine32:i386) can't be installed from these lists"
    fi
fi

# The end-to-end tests run the program under a Japanese, an English and a German locale.
for name in ja_JP en_US de_DE; do
    if ! locale -a 2>/dev/null | grep -x "$name.utf8" >/dev/null; then
        echo "setup: generating the locale $name.UTF-8"
        $SUDO localedef -i "$name" -c -f UTF-8 -A /usr/share/locale/locale.alias "$name.UTF-8"
    fi
done
