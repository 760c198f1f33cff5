#!/usr/bin/env bash
# The suite's main job on its shipped examples: builds the programs, makes a
# blank diskette image, records the example sources into it, installs the
# example DOS on it, and shows what each step did.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/needs.sh
need_packages cmake:cmake make:make g++:g++ dd:coreutils

cmake -S . -B build-demo -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-demo -j"${JOBS:-2}" --target dskblank dskrecord dskputdos >/dev/null
bin=build-demo/bin
work=out/demo
rm -rf "$work" && mkdir -p "$work"
image="$work/demo.dsk"

# The bytes of sector $2 of track $1 of the 16-sector demo image, from byte $3, $4 of them.
sector_bytes() {
  dd if="$image" bs=1 skip=$((($1 * 16 + $2) * 256 + $3)) count="$4" 2>/dev/null
}

echo "== 1. dskblank: a blank 35-track, 16-sector diskette image"
"$bin/dskblank" "$image" 35 16

echo
echo "== 2. dskrecord: record examples/hello.s and examples/count.s (answers piped)"
printf '%s\nexamples\nhello.s\ncount.s\n\n\n' "$image" | "$bin/dskrecord"

echo "== The catalog now holds (first catalog sector, track 17 sector 15):"
for entry in 0 1; do
  offset=$((11 + 35 * entry))
  name=$(sector_bytes 17 15 $((offset + 3)) 24 | LC_ALL=C tr '\200-\377' '\000-\177')
  count=$(sector_bytes 17 15 $((offset + 33)) 1 | od -An -tu1 | tr -d ' ')
  printf '  entry %d: %s %s sectors\n' "$entry" "$name" "$count"
done
echo "== The first data sector of HELLO.S (track 34 sector 14), high bits stripped:"
sector_bytes 34 14 0 120 | LC_ALL=C tr '\200-\377' '\000-\177' | tr '\r' '\n' | sed 's/^/  | /'
echo

echo
echo "== 3. dskputdos: install examples/demo-dos.bin as DOS 3.3 (answers: 1, image, DOS file, <cr>)"
printf '1\n%s\n%s\n\n' "$image" examples/demo-dos.bin | "$bin/dskputdos"

echo "== What landed where: the first 17 bytes of some sectors ('.' is a zero byte)"
for place in "0 12" "1 0" "2 4" "0 0" "0 9" "0 10"; do
  set -- $place
  printf '  track %d sector %2d: ' "$1" "$2"
  sector_bytes "$1" "$2" 0 17 | tr '\0' '.'
  echo
done
