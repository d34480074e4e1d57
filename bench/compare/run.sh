#!/usr/bin/env bash
# Compares Vexa with SQLite FTS5's tokenizers on this machine, from scratch,
# from any directory, on Debian 12 as root (or with sudo):
#   1. installs cmake, ninja-build, g++, libbenchmark-dev, libgtest-dev,
#      libsqlite3-dev, and libib-util, the server's utility library, so that
#      Parser_Next's results come from ib_util_malloc as in a server;
#   2. writes the corpora with bench/corpus/fetch_corpus.sh;
#   3. configures a Release build with the benchmarks in its own build
#      directory and builds vexa_compare (and Vexa.so, which it loads);
#   4. runs vexa_compare: 7 interleaved rounds unless told otherwise.
#
#   bench/compare/run.sh [--rounds N]
#
# Environment:
#   VEXA_CORPUS_DIR        where the corpora are written and read
#                          (default: BUILD_DIR/corpus)
#   VEXA_COMPARE_BUILD_DIR the build directory (default: build-compare at the
#                          top of the checkout)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
build_dir=${VEXA_COMPARE_BUILD_DIR:-$root/build-compare}
corpus_dir=${VEXA_CORPUS_DIR:-$build_dir/corpus}

bash "$root/tools/install_packages.sh" cmake ninja-build g++ libbenchmark-dev libgtest-dev libsqlite3-dev libib-util
bash "$root/bench/corpus/fetch_corpus.sh" "$corpus_dir"

cmake -S "$root" -B "$build_dir" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release \
  -DVEXA_BUILD_BENCHMARKS=ON \
  -DVEXA_BUILD_TESTS=OFF
cmake --build "$build_dir" --target vexa_compare

"$build_dir/bench/compare/vexa_compare" "$@" "$corpus_dir"
