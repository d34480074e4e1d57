#!/usr/bin/env bash
# The Unicode analyzer beside FTS5's unicode61 on this machine, from scratch:
# writes the corpora (fetch_unicode_corpus.sh), builds vexa_unicode_compare
# (Release) and runs it.
#
#   bench/unicode/run.sh [--rounds N]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
build_dir=${VEXA_COMPARE_BUILD_DIR:-$root/build-compare}
corpus_dir=${VEXA_UNICODE_CORPUS_DIR:-$build_dir/unicode-corpus}
bash "$root/tools/install_packages.sh" cmake ninja-build g++ libbenchmark-dev libgtest-dev libsqlite3-dev \
  libutf8proc-dev libstemmer-dev libicu-dev
bash "$here/fetch_unicode_corpus.sh" "$corpus_dir"
cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_BUILD_BENCHMARKS=ON -DVEXA_BUILD_TESTS=OFF
cmake --build "$build_dir" --target vexa_unicode_compare
"$build_dir/bench/unicode/vexa_unicode_compare" "$@" "$corpus_dir"
