#!/usr/bin/env bash
# The long run of the steady-commits test: four READ ONLY READ COMMITTED
# readers search a served segment index while three writers commit in a
# tight loop; every answer is checked against the committed states and the
# run prints the searches, the commits and the searches a second.
#
#   bench/firebird/steady_commits.sh [searches per reader, default 25000]
#
# Environment:
#   VEXA_BENCH_BUILD_DIR the build directory (default: build-bench at the top
#                        of the checkout); it is configured with the tests,
#                        which hold the server harness.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
build_dir=${VEXA_BENCH_BUILD_DIR:-$root/build-bench}
searches=${1:-25000}

bash "$root/tools/install_packages.sh" cmake ninja-build g++ libgtest-dev libgmock-dev zlib1g-dev libstemmer-dev \
  firebird3.0-server-core firebird3.0-utils libib-util firebird-dev libfbclient2 firebird3.0-server

cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_BUILD_TESTS=ON -DVEXA_BUILD_TOOLS=ON \
  -DVEXA_BUILD_BENCHMARKS=ON
cmake --build "$build_dir" --target vexa_firebird_test
VEXA_STEADY_COMMIT_SEARCHES=$searches "$build_dir/tests/firebird/vexa_firebird_test" \
  --gtest_filter='SteadyCommits.*'
