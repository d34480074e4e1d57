#!/usr/bin/env bash
# Builds Vexa and runs every test. Installs what it needs with apt-get when it
# runs as root on Debian; elsewhere the packages below must be there.
#   bash tools/test.sh            build in build-test/ and run all tests, then
#                                 the Windows build's under wine64, then the
#                                 suite again under sanitizers and fuzzers
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-test"

bash "$root/tools/install_packages.sh" cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev \
  valgrind binutils zlib1g-dev libsqlite3-dev clang-14 libclang-rt-14-dev llvm-14 \
  firebird3.0-server-core firebird3.0-utils libib-util firebird-dev libfbclient2 firebird3.0-server \
  libpq-dev postgresql-15 bible-kjv bible-kjv-text fortunes fortunes-min fortunes-ru manpages man-db

# The benchmarks are built too, so that their own tests run and their code
# keeps building; measuring is bench/run.sh's job.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXA_BUILD_BENCHMARKS=ON
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

# Vexa.dll for i686 and x86_64 with MinGW-w64; the x86_64 one runs the
# export-level and unit tests under wine64, and its words, CRCs and codes are
# compared with this build's Vexa.so.
bash "$root/tools/test_windows.sh" "$build"

# The same suite under AddressSanitizer, UndefinedBehaviorSanitizer and
# ThreadSanitizer, and the fuzz targets for a bounded time.
bash "$root/tools/test_sanitizers.sh"
