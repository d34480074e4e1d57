#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a
# bounded time, two at a time, starting from the committed seeds in
# fuzz/corpus/ (and any crash inputs kept in fuzz/regressions/). New inputs
# go to build-fuzz/corpus/, crashes to build-fuzz/artifacts/; a crash, a
# sanitizer report or a hang fails the run.
#   bash fuzz/run_fuzzers.sh [SECONDS_PER_TARGET]     (default 60)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
build="$root/build-fuzz"
targets=(split_text_fuzzer blob_reader_fuzzer config_file_fuzzer word_list_fuzzer postings_decoder_fuzzer
  query_parser_fuzzer)
lanes=2

bash "$root/tools/install_packages.sh" cmake ninja-build clang-14 libclang-rt-14-dev llvm-14

CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVEXA_BUILD_FUZZERS=ON -DVEXA_BUILD_TESTS=OFF -DVEXA_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$build" --target vexa_fuzzers

export ASAN_SYMBOLIZER_PATH=/usr/bin/llvm-symbolizer-14
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$build/artifacts" "$build/logs"

# Starts a target in the background; its process id is in $!.
start_target() {
  local target=$1
  local work="$build/corpus/$target"
  local inputs=("$root/fuzz/corpus/$target")
  if [ -d "$root/fuzz/regressions/$target" ]; then inputs+=("$root/fuzz/regressions/$target"); fi
  mkdir -p "$work"
  nice "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" "$work" "${inputs[@]}" >"$build/logs/$target.log" 2>&1 &
}

# Stopped early, stop the targets still running too.
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
trap 'exit 143' INT TERM

failed=0
passed=0
for ((i = 0; i < ${#targets[@]}; i += lanes)); do
  pids=()
  for target in "${targets[@]:i:lanes}"; do
    start_target "$target"
    pids+=("$!:$target")
  done
  for entry in "${pids[@]}"; do
    target=${entry#*:}
    if wait "${entry%%:*}"; then status=ok; passed=$((passed + 1)); else status=FAILED; failed=$((failed + 1)); fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/logs/$target.log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$build/logs/$target.log")
    echo "fuzz: $target: $status, ${runs:-?} runs in ${seconds} s (${rate:-?}/s)"
    if [ "$status" = FAILED ]; then
      tail -n 60 "$build/logs/$target.log"
      ls "$build/artifacts/$target-"* 2>/dev/null || true
    fi
  done
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
