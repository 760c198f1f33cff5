#!/usr/bin/env bash
# Builds the suite and runs every test twice: a plain build, then a build
# under AddressSanitizer and UndefinedBehaviorSanitizer; then the benchmark
# on small inputs, and every fuzz target and the dialogue driver for
# FUZZ_SECONDS (default 20) each. Installs
# what it needs from Debian's packages when it is missing (run as root, or
# with sudo).
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

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DSUITE_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize --output-on-failure -j"$jobs"

# The benchmark on small inputs, so that it keeps working; its timings are
# not judged here, but a program that fails or gives wrong output fails this.
bench/run.sh --quick

# Every fuzz target and the dialogue driver, for a bounded time each (clang,
# libFuzzer, the sanitizers; a build of its own in build-fuzz).
./scripts/fuzz.sh "${FUZZ_SECONDS:-20}"
