#!/usr/bin/env bash
# Builds Vexa.dll and its tests for Windows with MinGW-w64 and runs them:
#   build-win-x86_64/  the library, the tests and the tools; ctest runs the
#                      tests under wine64 with code page 1251;
#   build-win-i686/    the same, built and checked but not run: 32-bit x86
#                      code cannot run on these machines;
# then compares the Linux vexa_call on Vexa.so with vexa_call.exe on the
# x86_64 Vexa.dll over the same configurations and texts
# (tools/compare_windows_build.sh).
#   bash tools/test_windows.sh [LINUX_BUILD]
# LINUX_BUILD is a Linux build directory whose Vexa.so and vexa_call are
# compared (tools/test.sh passes its own); without it, build-linux-reference
# is configured for them, without tests.
#
# Wine runs headless in a prefix of its own under the temporary directory
# (tools/wine/run_under_wine.sh); the first run of a fresh prefix sets it up.
# Never install wine32 or add the i386 architecture here: it breaks wine64.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
linux_build=${1:-$root/build-linux-reference}
jobs=2  # the machines have two cores, shared

bash "$root/tools/install_packages.sh" cmake ninja-build g++ zlib1g-dev libgtest-dev \
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev wine64

for arch in x86_64 i686; do
  build="$root/build-win-$arch"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-$arch.cmake"
  nice cmake --build "$build" -j "$jobs"
done

# i686: what CTest can check without running 32-bit code (the tables of the
# built DLL); the test programs are built only.
ctest --test-dir "$root/build-win-i686" --output-on-failure
# i686: the 32-bit DLL's own export, import and layout checks run here.

nice ctest --test-dir "$root/build-win-x86_64" --output-on-failure -j "$jobs"

if [ ! -f "$linux_build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$linux_build" -G Ninja -DVEXA_BUILD_TESTS=OFF
fi
nice cmake --build "$linux_build" -j "$jobs" --target Vexa vexa_call
bash "$root/tools/compare_windows_build.sh" "$linux_build" "$root/build-win-x86_64"
