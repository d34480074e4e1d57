#!/usr/bin/env bash
# Runs a 32-bit x86 Linux program under qemu-i386 (package qemu-user).
#
#   run_i386.sh PROGRAM [ARGUMENT...]
#
# The emulated processor is $VEXA_I386_CPU, a qemu model name: pentium3 when
# unset, an i686 without SSE2, AVX2 or PCLMULQDQ, so that the module takes
# the byte-at-a-time paths a 32-bit server's processor may need; "max" offers
# every feature qemu emulates, AVX2 and PCLMULQDQ included. qemu does not
# refuse instructions the model lacks: the model only decides what the
# module's processor checks find.
#
# The program's loader is the host's /lib/ld-linux.so.2 (libc6-i386), which
# finds the C and C++ runtimes (libc.so.6, libdl.so.2, libstdc++.so.6,
# libgcc_s.so.1) in /lib32 and /usr/lib32 through the system's loader cache.
# A 32-bit program that starts another one starts it through this script.
set -euo pipefail

qemu=$(command -v qemu-i386) || { echo "run_i386.sh: qemu-i386 not found (package qemu-user)" >&2; exit 127; }
exec "$qemu" -L / -cpu "${VEXA_I386_CPU:-pentium3}" "$@"
