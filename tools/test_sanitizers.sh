#!/usr/bin/env bash
# The test suite again under sanitizers, after tools/test.sh has built and run
# it normally:
#   build-asan/  every test under AddressSanitizer (with LeakSanitizer) and
#                UndefinedBehaviorSanitizer, except those that run valgrind
#                and those that load the module into Firebird's own programs,
#                which have no sanitizer runtime to load it with;
#   build-tsan/  the concurrency tests and the stemming filter's threads
#                under ThreadSanitizer, module and filters instrumented too;
#   build-fuzz/  each libFuzzer target for a bounded time (fuzz/run_fuzzers.sh).
# Any sanitizer report, from a test or from a process a test started, fails
# the run; the three parts run whatever the one before found.
#   bash tools/test_sanitizers.sh [FUZZ_SECONDS_PER_TARGET]     (default 60)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
fuzz_seconds=${1:-60}

bash "$root/tools/install_packages.sh" cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev \
  zlib1g-dev libstemmer-dev clang-14 libclang-rt-14-dev llvm-14

# Runs ctest in a build directory with every sanitizer writing its reports
# to files of its own, so that a report from a child process is seen too.
run_ctest_sanitized() {
  local build=$1
  shift
  local logs="$build/sanitizer-logs"
  rm -rf "$logs"
  mkdir -p "$logs"
  local status=0
  ASAN_OPTIONS="log_path=$logs/asan:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1" \
    UBSAN_OPTIONS="log_path=$logs/ubsan:print_stacktrace=1:halt_on_error=1" \
    TSAN_OPTIONS="log_path=$logs/tsan:halt_on_error=1:second_deadlock_stack=1" \
    ctest --test-dir "$build" --output-on-failure "$@" || status=$?
  if [ -n "$(ls -A "$logs")" ]; then
    echo "sanitizer reports in $logs:"
    cat "$logs"/*
    status=1
  fi
  return "$status"
}

# Configures a build with the sanitizer flags. -O1 rather than -O2: the
# instrumented tests compile in half the time and still run fast enough.
sanitized_build() {
  local build=$1 flags=$2
  shift 2
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g -DNDEBUG" \
    -DVEXA_WARNINGS_AS_ERRORS=ON -DVEXA_BUILD_TESTS=ON "$@" >/dev/null
}

# gcc's sanitizer instrumentation makes it warn of uninitialised use where
# there is none (in <regex>, for one); that warning alone is not an error here.
no_false_alarms="-Wno-error=maybe-uninitialized"

failed=()

# Prints how long a part took and notes it when it failed.
finish_part() {
  local part=$1 status=$2 started=$3
  echo "== $part: $([ "$status" -eq 0 ] && echo passed || echo FAILED) in $((SECONDS - started)) s"
  [ "$status" -eq 0 ] || failed+=("$part")
}

started=$SECONDS
echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
status=0
sanitized_build "$root/build-asan" \
  "-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer $no_false_alarms" \
  -DVEXA_BUILD_BENCHMARKS=ON
cmake --build "$root/build-asan" || status=$?
[ "$status" -ne 0 ] || run_ctest_sanitized "$root/build-asan" -j "$(nproc)" \
  -E 'under_valgrind|^firebird\.|^fulltext_demo_search_report$' || status=$?
finish_part "AddressSanitizer + UndefinedBehaviorSanitizer" "$status" "$started"

started=$SECONDS
echo "== ThreadSanitizer"
status=0
sanitized_build "$root/build-tsan" "-fsanitize=thread $no_false_alarms"
cmake --build "$root/build-tsan" --target vexa_concurrency_test vexa_snowball_test || status=$?
[ "$status" -ne 0 ] || run_ctest_sanitized "$root/build-tsan" \
  -R '^robustness\.ConcurrencyTest\.|^filters\.SnowballFilter\.Threads' || status=$?
finish_part ThreadSanitizer "$status" "$started"

started=$SECONDS
echo "== libFuzzer, $fuzz_seconds s a target"
status=0
bash "$root/fuzz/run_fuzzers.sh" "$fuzz_seconds" || status=$?
finish_part libFuzzer "$status" "$started"

if [ ${#failed[@]} -gt 0 ]; then
  echo "sanitizers: failed: ${failed[*]}"
  exit 1
fi
