#!/usr/bin/env bash
# Builds Vexa.dll and its tests for Windows with MinGW-w64 and runs them:
#   build-win-libs/    utf8proc and libstemmer for both targets, built once
#                      from Debian's source packages (tools/windows_libraries.sh),
#                      for the Unicode analyzer of vexa_udr.dll;
#   build-win-x86_64/  the library, the tests and the tools; ctest runs the
#                      tests under wine64 with code page 1251;
#   build-win-i686/    the same, built and checked but not run: 32-bit x86
#                      code cannot run on these machines;
# then compares the Linux vexa on Vexa.so with vexa.exe on the x86_64
# Vexa.dll over the same configurations and texts
# (tools/compare_builds.sh).
#   bash tools/test_windows.sh [LINUX_BUILD]
# LINUX_BUILD is a Linux build directory whose Vexa.so and vexa are
# compared (tools/test.sh passes its own); without it, build-linux-reference
# is configured for them, without tests.
#
# Wine runs headless in a prefix of its own under the temporary directory
# (tools/emulators/run_under_wine.sh); the first run of a fresh prefix sets it up.
# Never install wine32 or add the i386 architecture here: it breaks wine64.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
linux_build=${1:-$root/build-linux-reference}
jobs=2  # the machines have two cores, shared

bash "$root/tools/install_packages.sh" cmake ninja-build g++ zlib1g-dev libgtest-dev \
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev wine64

libraries_started=$SECONDS
bash "$root/tools/windows_libraries.sh" "$root/build-win-libs"
echo "== Windows libraries: $((SECONDS - libraries_started)) s"

for arch in x86_64 i686; do
  build="$root/build-win-$arch"
  # Given by name: the toolchain files let CMake look for libraries only
  # under MinGW's own root.
  libraries="$root/build-win-libs/$arch"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-$arch.cmake" \
    -DVEXA_WARNINGS_AS_ERRORS=ON -DVEXA_BUILD_TESTS=ON -DVEXA_BUILD_TOOLS=ON \
    -DUTF8PROC_INCLUDE_DIR="$libraries/include" -DUTF8PROC_LIBRARY="$libraries/lib/libutf8proc.a" \
    -DANALYSIS_STEMMER_INCLUDE_DIR="$libraries/include" -DANALYSIS_STEMMER_LIBRARY="$libraries/lib/libstemmer.a"
  nice cmake --build "$build" -j "$jobs"
done

# i686: what can be checked without running 32-bit code. The blob record's
# size and offsets are static assertions, checked by the build above; CTest
# reads the DLL's export and import tables, and its code for vector
# instructions the processor was not asked for. The test programs are built only.
ctest --test-dir "$root/build-win-i686" --output-on-failure

# Debian's wineserver wrapper starts the server with -p0: it quits the moment
# its last client is gone, and a program started in that moment finds it
# going ("cannot connect", "connection reset by peer"), a failure that has
# nothing to do with the program. So one Wine program stays up while the
# tests and the comparison run: cmd.exe, reading commands from a pipe that
# gets nothing until the script is done (or ends), when it reads its end.
wine_keeper_input=$(mktemp -u "${TMPDIR:-/tmp}/vexa-wine-keeper-XXXXXX")
mkfifo "$wine_keeper_input"
"$root/tools/emulators/run_under_wine.sh" cmd.exe <"$wine_keeper_input" >/dev/null 2>&1 &
wine_keeper=$!
exec 8>"$wine_keeper_input"  # the pipe's end; no other program gets it (8>&-)
rm -f "$wine_keeper_input"

# A Wine program that stalls while the machine is busy can fail a test
# program's listing by its timeout: what failed is run once more, and fails
# the run only if it fails again.
nice ctest --test-dir "$root/build-win-x86_64" --output-on-failure -j "$jobs" 8>&- ||
  nice ctest --test-dir "$root/build-win-x86_64" --output-on-failure --rerun-failed 8>&-

if [ ! -f "$linux_build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$linux_build" -G Ninja -DVEXA_BUILD_TESTS=OFF 8>&-
fi
nice cmake --build "$linux_build" -j "$jobs" --target Vexa vexa 8>&-
bash "$root/tools/compare_builds.sh" "$linux_build" "$root/build-win-x86_64/Vexa.dll" \
  "$root/tools/emulators/run_under_wine.sh" "$root/build-win-x86_64/tools/vexa/vexa.exe" 8>&-
exec 8>&-  # cmd.exe reads the end of its input and ends, and the Wine server with it
wait "$wine_keeper"
