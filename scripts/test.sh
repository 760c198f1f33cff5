#!/usr/bin/env bash
# Builds the suite and runs every test twice: a plain build, then a build
# under AddressSanitizer and UndefinedBehaviorSanitizer; then the benchmark
# on small inputs, and every fuzz target and the dialogue driver for
# FUZZ_SECONDS (default 20) each. Installs what it needs from Debian's
# packages when it is missing (run as root, or with sudo).
#
# Each step's output goes to out/test-logs/STEP.log and is shown only when
# the step fails; the last line counts the steps: "N passed, M failed".
# JOBS sets the build's and the tests' parallelism (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/needs.sh
need_packages cmake:cmake make:make g++:g++ setpriv:util-linux
# The save test of dskrecord stops the save at each write with strace.
need_packages strace:strace
# The manual pages' test renders them with groff and man.
need_packages groff:groff-base man:man-db
[ -f /usr/include/gtest/gtest.h ] || install_packages libgtest-dev

jobs=${JOBS:-2}
logs=out/test-logs
mkdir -p "$logs"
passed=0
failed=0

# step NAME COMMAND...: runs one step with its output in its log.
step() {
  local name=$1 log
  shift
  log="$logs/${name// /-}.log"
  if "$@" >"$log" 2>&1; then
    passed=$((passed + 1))
    echo "passed: $name"
    return 0
  fi
  failed=$((failed + 1))
  echo "FAILED: $name (log $log); its last lines:"
  tail -n 80 "$log"
  return 1
}

build() {
  cmake -S . -B "$1" "${@:2}" && cmake --build "$1" -j"$jobs"
}

if step "plain build" build build -DCMAKE_BUILD_TYPE=RelWithDebInfo; then
  step "plain tests" ctest --test-dir build --output-on-failure -j"$jobs" || true
fi

if step "sanitized build" build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DSUITE_SANITIZE=ON; then
  step "sanitized tests" env ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j"$jobs" || true
fi

# The benchmark on small inputs, so that it keeps working; its timings are
# not judged here, but a program that fails or gives wrong output fails this.
step "benchmark check" bench/run.sh --quick || true

# Every fuzz target and the dialogue driver, for a bounded time each (clang,
# libFuzzer, the sanitizers; a build of its own in build-fuzz).
for target in encoder catalog spacer array_text change_file listing pulse_decoder driver; do
  step "fuzz $target" ./scripts/fuzz.sh "${FUZZ_SECONDS:-20}" "$target" || true
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
