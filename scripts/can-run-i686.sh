#!/bin/bash
# Says whether this machine can run the i686 build: the kernel must run 32-bit programs (some
# kernels have IA32 emulation switched off) and the 32-bit Wine loader must be there. The
# loader is itself a small 32-bit program, so starting it is the test.
#   scripts/can-run-i686.sh BUILD_ROOT      exit 0 when it can; else one line on stderr why
set -uo pipefail
run=$1/i686/wine-run
if [ ! -x "$run" ]; then
    echo "the i686 build tree has no wine-run: the 32-bit Wine loader (wine32:i386) is missing" >&2
    exit 1
fi
if ! output=$("$run" --version 2>&1); then
    case "$output" in
    *"Exec format error"*)
        echo "this machine's kernel can't run 32-bit programs (IA32 emulation is off)" >&2 ;;
    *)
        echo "the 32-bit Wine loader does not start: ${output%%$'\n'*}" >&2 ;;
    esac
    exit 1
fi
