#!/usr/bin/env bash
# Builds the fuzz targets and the dialogue driver with clang (libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer) in build-fuzz and runs each
# for a bounded time. Installs clang and libFuzzer's runtime from Debian's
# packages when they are missing.
#
#   scripts/fuzz.sh [SECONDS [NAME...]]
#
# SECONDS (default 20) is the time for each target and for the driver; NAME
# picks some of them (encoder catalog spacer array_text change_file listing
# pulse_decoder driver). FUZZ_SEED sets the driver's seed (default 1).
# Inputs found new are kept in build-fuzz/corpus/NAME and used by the next
# run; an input that breaks a target is saved in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/needs.sh
need_packages cmake:cmake make:make clang++:clang

seconds=${1:-20}
[ $# -gt 0 ] && shift
all=(encoder catalog spacer array_text change_file listing pulse_decoder driver)
names=("$@")
[ ${#names[@]} -gt 0 ] || names=("${all[@]}")
build="$PWD/build-fuzz" # absolute: a target may change its working folder
jobs=${JOBS:-2}

# libFuzzer's runtime comes in a package of its own, not always installed with clang.
links_fuzzer() {
  local probe
  probe=$(mktemp -d)
  echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' >"$probe/probe.cc"
  clang++ -fsanitize=fuzzer "$probe/probe.cc" -o "$probe/probe" >/dev/null 2>&1
  local linked=$?
  rm -rf "$probe"
  return $linked
}
if ! links_fuzzer; then
  major=$(clang++ -dumpversion | cut -d. -f1)
  install_packages "libclang-rt-$major-dev" || install_packages libclang-rt-dev
  links_fuzzer || { echo "fuzz: clang++ cannot link libFuzzer" >&2; exit 1; }
fi

targets=()
for name in "${names[@]}"; do
  [ "$name" = driver ] && targets+=(dialogue_driver) || targets+=("${name}_fuzz")
done
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSUITE_FUZZ=ON \
  -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$jobs" --target "${targets[@]}" >/dev/null
mkdir -p "$build/logs" "$build/artifacts"

passed=0
failed=0
for name in "${names[@]}"; do
  log="$build/logs/$name.log"
  if [ "$name" = driver ]; then
    if "$build/bin/dialogue_driver" --seconds "$seconds" --seed "${FUZZ_SEED:-1}" >"$log" 2>&1; then
      passed=$((passed + 1))
      tail -n 1 "$log"
    else
      failed=$((failed + 1))
      cat "$log"
    fi
    continue
  fi
  mkdir -p "$build/corpus/$name"
  # New inputs go to the first folder; the committed seeds are only read.
  if "$build/bin/${name}_fuzz" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$name-" "$build/corpus/$name" "$PWD/fuzz/corpus/$name" >"$log" 2>&1; then
    passed=$((passed + 1))
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    coverage=$(grep -E '(DONE|pulse|NEW|REDUCE|INITED) .*cov:' "$log" | tail -n 1 |
      grep -oE 'cov: [0-9]+ ft: [0-9]+' || true)
    echo "$name: ${runs:-?} runs in $seconds s, ${coverage:-no coverage line}, no fault"
  else
    failed=$((failed + 1))
    tail -n 60 "$log"
    echo "$name: FAULT (log $log, input in $build/artifacts/)"
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
