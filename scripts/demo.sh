#!/usr/bin/env bash
# The suite's main job on its shipped examples: builds the programs, makes a
# blank diskette image, installs the example DOS on it, and shows what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/needs.sh
need_packages cmake:cmake make:make g++:g++ od:coreutils

cmake -S . -B build-demo -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-demo -j"${JOBS:-2}" --target dskblank dskputdos >/dev/null
bin=build-demo/bin
work=out/demo
rm -rf "$work" && mkdir -p "$work"

echo "== 1. A blank 35-track, 16-sector diskette image"
"$bin/dskblank" "$work/demo.dsk" 35 16

echo
echo "== 2. dskputdos installs examples/demo-dos.bin as DOS 3.3 (answers piped: 1, image, DOS file, <cr>)"
printf '1\n%s\n%s\n\n' "$work/demo.dsk" examples/demo-dos.bin | "$bin/dskputdos"

echo "== What landed where: the first 17 bytes of some sectors ('.' is a zero byte)"
show() { # track sector
  printf 'track %d sector %2d: ' "$1" "$2"
  dd if="$work/demo.dsk" bs=256 skip=$(($1 * 16 + $2)) count=1 2>/dev/null | head -c 17 | tr '\0' '.'
  echo
}
show 0 12; show 1 0; show 2 4; show 0 0; show 0 9; show 0 10
