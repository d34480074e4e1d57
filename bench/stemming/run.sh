#!/usr/bin/env bash
# Documents found by word-form queries with and without the Snowball stemming
# filter, on the King James Bible (a document per chapter) and the Russian
# fortunes (a document per fortune, in Windows-1251), with the configuration
# of conf/ (the full-text demo's): installs what it needs, lays out the
# documents as tools/fulltext_demo's awk scripts do, builds and runs
# vexa_stemming_recall. What the filter costs in words per second is
# vexa_bench's: bash bench/run.sh --benchmark_filter=ParseDocuments64K/.*/NoLists
#
#   bench/stemming/run.sh [CONFIG_DIR]      (default: conf)
#
# Environment: VEXA_BENCH_BUILD_DIR, the build directory (default:
# build-bench at the top of the checkout).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
build_dir=${VEXA_BENCH_BUILD_DIR:-$root/build-bench}
config_dir=${1:-$root/conf}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bash "$root/tools/install_packages.sh" cmake ninja-build g++ libbenchmark-dev libgtest-dev libstemmer-dev \
  bible-kjv bible-kjv-text fortunes-ru

awk_dir=$root/tools/fulltext_demo
bible "Gen1:1-Rev22:21" < /dev/null > "$work/bible.txt"
LC_ALL=C awk -f "$awk_dir/bible_chapters.awk" "$work/bible.txt" > "$work/bible.records"
mapfile -t fortune_files < <(find /usr/share/games/fortunes/ru -maxdepth 1 -type f ! -name '*.dat' | sort)
[ ${#fortune_files[@]} -gt 0 ] || { echo "run.sh: no Russian fortune files" >&2; exit 1; }
LC_ALL=C awk -f "$awk_dir/fortune_records.awk" "${fortune_files[@]}" |
  iconv -f UTF-8 -t WINDOWS-1251//TRANSLIT > "$work/fortunes.records"

cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_BUILD_BENCHMARKS=ON \
  -DVEXA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build_dir" --target vexa_stemming_recall
"$build_dir/bench/stemming/vexa_stemming_recall" "$config_dir" "$work/bible.records" "$work/fortunes.records"
