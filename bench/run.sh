#!/usr/bin/env bash
# Measures the Vexa module from scratch, from any directory, on Debian 12 as
# root (or with sudo):
#   1. installs cmake, ninja-build, g++, libbenchmark-dev, libgtest-dev and
#      libsqlite3-dev;
#   2. writes the corpora with bench/corpus/fetch_corpus.sh;
#   3. configures a Release build with the benchmarks in its own build
#      directory and builds vexa_bench (and Vexa.so and the word filter
#      plug-in SuffixFilter.so, which it loads);
#   4. checks the corpus handling and the word lists (vexa_bench_corpus_tests),
#      the module in each configuration (vexa_bench_module_tests) and the texts
#      without blanks (vexa_bench_tests);
#   5. runs vexa_bench (benchmark_registration.h lists its benchmarks), 5
#      repetitions, aggregates only.
#
#   bench/run.sh [extra vexa_bench flags, e.g. --benchmark_filter=English]
#
# Environment:
#   VEXA_CORPUS_DIR      where the corpora are written and read
#                        (default: BUILD_DIR/corpus)
#   VEXA_BENCH_BUILD_DIR the build directory (default: build-bench at the top
#                        of the checkout)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build_dir=${VEXA_BENCH_BUILD_DIR:-$root/build-bench}
corpus_dir=${VEXA_CORPUS_DIR:-$build_dir/corpus}

bash "$root/tools/install_packages.sh" cmake ninja-build g++ libbenchmark-dev libgtest-dev libsqlite3-dev \
  libstemmer-dev
bash "$here/corpus/fetch_corpus.sh" "$corpus_dir"

cmake -S "$root" -B "$build_dir" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release \
  -DVEXA_BUILD_BENCHMARKS=ON \
  -DVEXA_BUILD_TESTS=OFF
cmake --build "$build_dir" --target vexa_bench vexa_bench_corpus_tests vexa_bench_module_tests vexa_bench_tests

"$build_dir/bench/corpus/vexa_bench_corpus_tests" --gtest_brief=1
"$build_dir/bench/module_setup/vexa_bench_module_tests" --gtest_brief=1
"$build_dir/bench/exports/vexa_bench_tests" --gtest_brief=1
"$build_dir/bench/exports/vexa_bench" \
  --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true \
  "$@" \
  "$corpus_dir"
