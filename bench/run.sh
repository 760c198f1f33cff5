#!/usr/bin/env bash
# Benchmark of the suite's eight programs: builds a Release configuration in
# build-bench, makes the inputs from fixed seeds in out/bench, runs every
# program on them with piped answers, checks what each one produced, and
# prints a table of median wall time, throughput and peak resident memory.
#
#   bench/run.sh           full inputs, 5 runs each; exits 1 when a target is missed
#   bench/run.sh --quick   small inputs, one run each; targets shown, not judged
#
# Either way it exits non-zero when a program fails or produces wrong output.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C
. scripts/needs.sh
need_packages cmake:cmake make:make g++:g++ xxd:xxd cmp:diffutils
[ -x /usr/bin/time ] || install_packages time

quick=0
case "${1:-}" in
  --quick) quick=1 ;;
  "") ;;
  *) echo "usage: bench/run.sh [--quick]" >&2; exit 2 ;;
esac

if [ "$quick" = 1 ]; then
  runs=1
  work=out/bench-quick
  mib=$((1024 * 1024))
  source_bytes=2000000 listing_bytes=2000000 binary_bytes=$mib capture_bytes=$((2 * mib)) change_pairs=2000
else
  runs=5
  work=out/bench
  mib=$((1024 * 1024))
  source_bytes=100000000 listing_bytes=100000000 binary_bytes=$((64 * mib)) capture_bytes=$((64 * mib))
  change_pairs=100000
fi

# The targets: MB/s (10^6 bytes), millions of samples a second, KiB, and the
# most bin2array may take of xxd -i's time.
asmspacer_mbs=50 array2bin_mbs=50 casediff_mbs=50 aiffverify_msps=300 rss_limit_kib=4096 xxd_share=0.1

build=build-bench
programs=(dskrecord dskputdos asmspacer array2bin mempatch casediff bin2array aiffverify)
echo "== building the Release configuration in $build" >&2
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"${JOBS:-2}" --target dskblank "${programs[@]}" >/dev/null
bin=$PWD/$build/bin
make_inputs=$PWD/$build/make_inputs
if [ ! -x "$make_inputs" ] || [ bench/make_inputs.cc -nt "$make_inputs" ]; then
  "${CXX:-g++}" -std=c++20 -O2 -Wall -Wextra -Wpedantic -Werror -o "$make_inputs" bench/make_inputs.cc
fi

rm -rf "$work"
mkdir -p "$work"
work=$PWD/$work
failures=0

fail() {
  echo "bench: FAILED: $*" >&2
  failures=$((failures + 1))
}

# --- timing ---------------------------------------------------------------

# measure ANSWERS LOG PREPARE CMD...: runs CMD $runs times in the current
# folder, ANSWERS on its standard input, its output in LOG. PREPARE (a
# function name or :) runs before each run, outside the timing. Sets
# median_s (seconds) and peak_kib (the highest of the runs); a non-zero exit
# status counts as a failure of the program.
measure() {
  local answers=$1 log=$2 prepare=$3 k start end status rss
  shift 3
  local times=()
  peak_kib=0
  for ((k = 0; k < runs; k++)); do
    "$prepare"
    # Inputs just made and outputs of earlier runs are still being written
    # back; flushed first, that work is not timed as the program's.
    sync
    status=0
    start=${EPOCHREALTIME/./}
    /usr/bin/time -o "$work/rss" -f %M "$@" <"$answers" >"$log" 2>&1 || status=$?
    end=${EPOCHREALTIME/./}
    [ "$status" -eq 0 ] || fail "$* ended with status $status (output in $log)"
    times+=($((end - start)))
    rss=$(tail -n 1 "$work/rss")
    [ "$rss" -le "$peak_kib" ] || peak_kib=$rss
  done
  local sorted
  sorted=$(printf '%s\n' "${times[@]}" | sort -n)
  median_s=$(echo "$sorted" | awk -v n="${#times[@]}" 'NR == int((n + 1) / 2) { printf "%.4f", $1 / 1e6 }')
}

# --- the table ------------------------------------------------------------

rows=()

# verdict OK?: the mark for a target; only the full run judges (its misses
# are counted from the table at the end), the quick run's inputs are too
# small to.
verdict() {
  if [ "$quick" = 1 ]; then
    echo "not judged"
  elif [ "$1" = 1 ]; then
    echo met
  else
    echo MISSED
  fi
}

at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }' && echo 1 || echo 0; }
at_most() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= b) }' && echo 1 || echo 0; }
per_second() { awk -v n="$1" -v s="$2" -v unit="$3" 'BEGIN { printf "%.1f", n / unit / s }'; }

# row PROGRAM INPUT THROUGHPUT TARGET-TEXT TARGET-MET(1/0/-): one line of the
# table with the time and memory of the last measurement; every program is
# also held to the memory target.
row() {
  local target=$4 mark="-"
  [ "$5" = "-" ] || mark=$(verdict "$5")
  if [ "$1" != "xxd -i" ]; then
    target="${target:+$target; }RSS <= 4 MiB"
    if [ "$(at_most "$peak_kib" "$rss_limit_kib")" = 1 ]; then
      [ "$5" = "-" ] && mark=$(verdict 1)
    else
      mark="$(verdict 0) (RSS)"
    fi
  fi
  # A check of this program's run failed since the row before: no figure of it counts.
  if [ "$failures" -gt "$failures_shown" ]; then
    mark="FAILED (see the messages above)"
    failures_shown=$failures
  fi
  rows+=("| \`$1\` | $2 | $median_s | $3 | $peak_kib | $target | $mark |")
}
failures_shown=0

echo "== making the inputs in $work (fixed seeds)" >&2

# --- dskrecord: a 48-track 32-sector image filled to its last free sector ----

disk=$work/disk
mkdir -p "$disk/texts"
cd "$disk"
"$bin/dskblank" blank.dsk 48 32 >/dev/null
printf 'blank.dsk\n\n' | "$bin/dskrecord" >free.log
free=$(sed -n 's/^Free space on this diskette is \([0-9]*\) sectors\.$/\1/p' free.log)
mapfile -t texts < <("$make_inputs" texts 8 "$free" texts)
[ "${#texts[@]}" -gt 0 ] || { echo "bench: no text files made for dskrecord" >&2; exit 1; }
text_bytes=$(cat texts/* | wc -c)
{ printf 'disk.dsk\ntexts\n'; printf '%s\n' "${texts[@]}"; printf '\n\n'; } >answers
fresh_image() { cp blank.dsk disk.dsk; }

echo "== dskrecord" >&2
measure answers record.log fresh_image "$bin/dskrecord"
[ "$(grep -c '^Processing complete for file' record.log)" = "${#texts[@]}" ] || fail "dskrecord did not record every file"
printf 'disk.dsk\n\n' | "$bin/dskrecord" >after.log
grep -qx 'Free space on this diskette is 0 sectors.' after.log || fail "dskrecord left free sectors: $(grep Free after.log)"
row dskrecord "48x32 image ($free free sectors), ${#texts[@]} text files of $text_bytes bytes in all, filled to its last free sector" \
  "$(per_second "$text_bytes" "$median_s" 1e6) MB/s" "" -

# --- dskputdos on such an image (DOS 4.1, 32 sectors) ---------------------

echo "== dskputdos" >&2
"$make_inputs" random 9 8960 dos.bin
printf '3\ndisk.dsk\ndos.bin\n\n' >dos.answers
measure dos.answers dos.log : "$bin/dskputdos"
grep -qx 'DOS size is 0x2300.' dos.log || fail "dskputdos did not take the DOS file"
# DOS 4.1 puts block 0 in track 0 sector 7 and block 28 in track 0 sector 0.
cmp -s <(dd if=disk.dsk bs=256 skip=7 count=1 2>/dev/null) <(head -c 256 dos.bin) \
  && cmp -s <(head -c 256 disk.dsk) <(dd if=dos.bin bs=256 skip=28 count=1 2>/dev/null) \
  || fail "dskputdos did not place the DOS blocks"
row dskputdos "the filled 48x32 image (393216 bytes), DOS 4.1 file of 8960 bytes" \
  "$(per_second 393216 "$median_s" 1e6) MB/s of image" "" -

# --- aiffverify: a pulse-width capture --------------------------------------

echo "== aiffverify" >&2
mkdir -p "$work/aiff" && cd "$work/aiff"
carried=$("$make_inputs" capture 10 "$capture_bytes" capture.aiff capture.cmp)
samples=$(($(stat -c %s capture.aiff) - 54))
{
  printf 'capture.aiff\n36\ncapture.cmp\n0\n%s\n' "$carried"
  # one line for every pause after 4096 bytes, and some to spare
  head -c $((0x$carried / 4096 + 4)) /dev/zero | tr '\0' '\n'
} >answers
measure answers verify.log : "$bin/aiffverify"
grep -q "^Processing complete for 0x0*$carried bytes\.$" verify.log || fail "aiffverify did not verify the whole capture"
! grep -q 'do not compare' verify.log || fail "aiffverify found bytes that differ"
speed=$(per_second "$samples" "$median_s" 1e6)
row aiffverify "capture of $samples samples (AIFF of $((samples + 54)) bytes), $((0x$carried)) bytes carried" \
  "$speed M samples/s" ">= $aiffverify_msps M samples/s" "$(at_least "$speed" "$aiffverify_msps")"

# --- bin2array against xxd -i, and array2bin on its array text -------------

echo "== bin2array, xxd -i" >&2
mkdir -p "$work/arrays" && cd "$work/arrays"
"$make_inputs" random 11 "$binary_bytes" arr
: >none
measure none bin2array.log : "$bin/bin2array" arr arr.c
bin2array_s=$median_s
bin2array_row=("$(per_second "$binary_bytes" "$median_s" 1e6) MB/s" "$peak_kib")
measure none xxd.log : sh -c 'xxd -i arr >arr.xxd'
xxd_s=$median_s
share=$(awk -v a="$bin2array_s" -v b="$xxd_s" 'BEGIN { printf "%.3f", a / b }')
xxd_row=("$(per_second "$binary_bytes" "$median_s" 1e6) MB/s" "$peak_kib")

median_s=$bin2array_s peak_kib=${bin2array_row[1]}
row bin2array "$binary_bytes random bytes" "${bin2array_row[0]}" \
  "time <= $xxd_share of xxd -i's (is $share)" "$(at_most "$share" "$xxd_share")"
median_s=$xxd_s peak_kib=${xxd_row[1]}
row "xxd -i" "the same $binary_bytes bytes (reference)" "${xxd_row[0]}" "" -

echo "== array2bin" >&2
# bin2array's text in the dialect array2bin reads: the C type names that
# xxd -i writes, the same items. Converted in a folder of its own, so the
# array's file does not meet its input.
{
  echo 'unsigned char arr[] = {'
  tail -n +2 arr.c | head -n -1
  echo "unsigned int arr_len = $binary_bytes;"
} >arrays.txt
text_size=$(stat -c %s arrays.txt)
mkdir -p out && cd out
printf '../arrays.txt\n' >answers
measure answers convert.log : "$bin/array2bin"
grep -qx 'File arr is done' convert.log && grep -qx 'Number of bytes read for arr is correct.' convert.log \
  || fail "array2bin did not convert the array"
cmp -s <(tail -c +5 arr) ../arr || fail "array2bin's bytes differ from bin2array's input"
speed=$(per_second "$text_size" "$median_s" 1e6)
row array2bin "array text of the $binary_bytes bytes ($text_size bytes)" "$speed MB/s" \
  ">= $array2bin_mbs MB/s" "$(at_least "$speed" "$array2bin_mbs")"

# --- asmspacer ----------------------------------------------------------------

echo "== asmspacer" >&2
mkdir -p "$work/asm" && cd "$work/asm"
"$make_inputs" asm 12 "$source_bytes" source.s
source_size=$(stat -c %s source.s)
printf '.\nsource.s\n\n\n' >answers
measure answers space.log : "$bin/asmspacer"
# Only ";" lines are added, and CR LF becomes LF.
cmp -s <(tr -d '\r' <source.s | grep -vx ';') <(grep -vx ';' source.sT) || fail "asmspacer changed a line"
[ "$(grep -cx ';' source.sT)" -gt 0 ] || fail "asmspacer added no separator"
speed=$(per_second "$source_size" "$median_s" 1e6)
row asmspacer "$source_size bytes of source" "$speed MB/s" ">= $asmspacer_mbs MB/s" \
  "$(at_least "$speed" "$asmspacer_mbs")"

# --- casediff -----------------------------------------------------------------

echo "== casediff" >&2
mkdir -p "$work/listing" && cd "$work/listing"
"$make_inputs" listing 13 "$listing_bytes" listing.txt
listing_size=$(stat -c %s listing.txt)
printf 'listing.txt\nletters.txt\n\n' >answers
measure answers condense.log : "$bin/casediff"
! grep -q Error condense.log || fail "casediff reported an error"
[ -s letters.txt ] || fail "casediff wrote nothing"
speed=$(per_second "$listing_size" "$median_s" 1e6)
row casediff "$listing_size bytes of listing" "$speed MB/s" ">= $casediff_mbs MB/s" \
  "$(at_least "$speed" "$casediff_mbs")"

# --- mempatch -----------------------------------------------------------------

echo "== mempatch" >&2
mkdir -p "$work/patch" && cd "$work/patch"
"$make_inputs" random 14 65536 memory.bin
"$make_inputs" changes 15 "$change_pairs" changes.txt
changes_size=$(stat -c %s changes.txt)
printf 'memory.bin\npatched.bin\nchanges.txt\nd000\n\n' >answers
measure answers patch.log : "$bin/mempatch"
[ "$(grep -c '^configLine:' patch.log)" = "$change_pairs" ] || fail "mempatch did not read every pair"
! grep -q 'refused' patch.log || fail "mempatch refused a change"
[ "$(stat -c %s patched.bin)" = 65536 ] || fail "mempatch wrote a copy of the wrong size"
row mempatch "S = 0xD000, change file of $change_pairs pairs ($changes_size bytes)" \
  "$(per_second "$change_pairs" "$median_s" 1e3) k pairs/s" "" -

# --- report -------------------------------------------------------------------

mode="full: $runs runs each"
[ "$quick" = 1 ] && mode="quick: small inputs, $runs run each"
echo
echo "Benchmark ($mode) on $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"
echo
echo "| program | input | median s | throughput | peak RSS KiB | target | |"
echo "|---|---|---|---|---|---|---|"
printf '%s\n' "${rows[@]}"
echo
echo "bin2array's median time / xxd -i's: $share (target: at most $xxd_share)"
echo

if [ "$failures" -gt 0 ]; then
  echo "bench: $failures check(s) failed" >&2
  exit 1
fi
missed=$(printf '%s\n' "${rows[@]}" | grep -c MISSED || true)
if [ "$missed" -gt 0 ]; then
  echo "bench: $missed target(s) missed" >&2
  exit 1
fi
