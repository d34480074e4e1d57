#!/usr/bin/env bash
# Builds Vexa and runs every test. Installs what it needs with apt-get when it
# runs as root on Debian; elsewhere the packages below must be there.
#   bash tools/test.sh            build in build-test/ and run all tests, then
#                                 the Windows build's under wine64, the 32-bit
#                                 Linux build's under qemu-i386, then the
#                                 suite again under sanitizers and fuzzers;
#                                 as root, deploys the Debian package and uses it
#                                 from a Node.js client (tests/deploy/), and
#                                 serves searches from a read-only replica on
#                                 Firebird 4.0 (tests/replica/)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-test"

# Each stage says how long it took, so that a slower run shows where.
stage_started=$SECONDS
stage_done() {
  echo "== $1: $((SECONDS - stage_started)) s"
  stage_started=$SECONDS
}

bash "$root/tools/install_packages.sh" cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev \
  valgrind binutils zlib1g-dev libsqlite3-dev libstemmer-dev libutf8proc-dev clang-14 libclang-rt-14-dev llvm-14 \
  firebird3.0-server-core firebird3.0-utils libib-util firebird-dev libfbclient2 firebird3.0-server libboost-dev \
  libpq-dev postgresql-15 bible-kjv bible-kjv-text fortunes fortunes-min fortunes-ru fortunes-de manpages manpages-ja man-db python3
stage_done packages

# The benchmarks are built too, so that their own tests run and their code
# keeps building; measuring is bench/run.sh's job.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXA_WARNINGS_AS_ERRORS=ON \
  -DVEXA_BUILD_TESTS=ON -DVEXA_BUILD_TOOLS=ON -DVEXA_BUILD_BENCHMARKS=ON
cmake --build "$build"
stage_done "Linux build"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
stage_done "Linux tests"

# Deployment as a user does it: the Debian package installed with apt-get, the
# packaged server on a free port, the packaged SQL, and a Node.js client. It
# installs a package, so it runs only as root.
if [ "$(id -u)" -eq 0 ]; then
  bash "$root/tests/deploy/deploy_test.sh"
else
  echo "tests/deploy/deploy_test.sh skipped: it installs a package, run as root"
fi
stage_done deployment

# Firebird 4.0 from Debian 13's packages, in a root of its own: a primary
# and a read-only replica of it that serves searches. It makes the root and
# mounts in it, so it runs only as root.
if [ "$(id -u)" -eq 0 ]; then
  bash "$root/tests/replica/replica_test.sh" "$build"
else
  echo "tests/replica/replica_test.sh skipped: it makes a Debian 13 root, run as root"
fi
stage_done "Firebird 4.0 replica"

# Vexa.dll for i686 and x86_64 with MinGW-w64; the x86_64 one runs the
# export-level and unit tests under wine64, and its words, CRCs and codes are
# compared with this build's Vexa.so.
bash "$root/tools/test_windows.sh" "$build"
stage_done Windows

# Vexa.so for 32-bit x86 Linux: the export-level and unit tests under
# qemu-i386, and its words, CRCs and codes compared with this build's.
bash "$root/tools/test_i386.sh" "$build"
stage_done "32-bit Linux"

# The same suite under AddressSanitizer, UndefinedBehaviorSanitizer and
# ThreadSanitizer, and the fuzz targets for a bounded time.
bash "$root/tools/test_sanitizers.sh"
stage_done "sanitizers and fuzzers"
