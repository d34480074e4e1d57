#!/usr/bin/env bash
# Builds Vexa.so and its tests for 32-bit x86 Linux in build-i386/ (gcc -m32
# -march=i686, the i686 DLL's instruction set) and runs them under qemu-i386,
# which runs 32-bit programs on machines that cannot:
#   - the export-level and unit tests through CTest, on an emulated pentium3:
#     no SSE2, AVX2 or PCLMULQDQ, so the byte-at-a-time paths run;
#   - the unit tests again on qemu's "max" processor, whose AVX2 and
#     PCLMULQDQ the module finds and uses;
#   - on both, tools/compare_builds.sh: the 32-bit vexa on the 32-bit
#     Vexa.so against this machine's own build over the same configurations
#     and texts.
#   bash tools/test_i386.sh [LINUX_BUILD]
# LINUX_BUILD is a Linux build directory whose Vexa.so and vexa are
# compared (tools/test.sh passes its own); without it, build-linux-reference
# is configured for them, without tests.
#
# The 32-bit C and C++ runtimes come from the multilib packages
# (g++-multilib: libc6-i386, lib32stdc++6; lib32z1-dev for the tests). Never
# add the i386 architecture or install :i386 packages here: it breaks wine64.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
linux_build=${1:-$root/build-linux-reference}
build="$root/build-i386"
jobs=2  # the machines have two cores, shared

bash "$root/tools/install_packages.sh" cmake ninja-build g++ g++-multilib zlib1g-dev lib32z1-dev libgtest-dev \
  qemu-user binutils

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/linux-i386.cmake" \
  -DVEXA_BUILD_TESTS=ON -DVEXA_BUILD_TOOLS=ON -DVEXA_WARNINGS_AS_ERRORS=ON
nice cmake --build "$build" -j "$jobs"

VEXA_I386_CPU=pentium3 nice ctest --test-dir "$build" --output-on-failure -j "$jobs"
VEXA_I386_CPU=max nice ctest --test-dir "$build" --output-on-failure -j "$jobs" -R '^unit\.'

if [ ! -f "$linux_build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$linux_build" -G Ninja -DVEXA_BUILD_TESTS=OFF
fi
nice cmake --build "$linux_build" -j "$jobs" --target Vexa vexa
for cpu in pentium3 max; do
  echo "test_i386.sh: comparing on an emulated $cpu"
  VEXA_I386_CPU=$cpu bash "$root/tools/compare_builds.sh" "$linux_build" "$build/Vexa.so" \
    "$root/tools/emulators/run_i386.sh" "$build/tools/vexa/vexa"
done
