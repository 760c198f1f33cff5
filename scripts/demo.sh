#!/usr/bin/env bash
# The suite's main job on its shipped examples, the tour of examples/README.md
# run with piped answers: builds the programs, then in out/demo makes a blank
# diskette image, installs the example DOS, spaces and records sources,
# lists the catalog and gets a source back, verifies a capture against the image, converts arrays both ways, patches a
# memory image and condenses a compare listing, then replaces a source, records and extracts a binary, deletes a
# file, checks the diskette and gets its DOS back, showing what each step did.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/needs.sh
need_packages cmake:cmake make:make g++:g++ dd:coreutils od:coreutils

programs="dskblank dskcatalog dskextract dskputbin dskdelete dskcheck dskgetdos dskrecord dskputdos asmspacer array2bin
  mempatch casediff bin2array aiffverify"
cmake -S . -B build-demo -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
# shellcheck disable=SC2086 # one target a word
cmake --build build-demo -j"${JOBS:-2}" --target $programs >/dev/null
PATH="$PWD/build-demo/bin:$PATH"

work=out/demo
rm -rf "$work" && mkdir -p "$work"
cp examples/*.s examples/*.txt examples/demo-dos.bin examples/transfer.aiff "$work"
cd "$work"
image=tour.dsk

# Prints a step's heading.
step() {
  printf '\n==== %s\n' "$*"
}

# Runs a program with the answers given one per argument, piped on its input.
# Piped answers are not echoed, so they are listed first.
answer() {
  local program=$1
  shift
  printf -- '---- %s, answers:' "$program"
  printf ' [%s]' "$@"
  printf '\n'
  printf '%s\n' "$@" | "$program"
  printf -- '---- end of %s\n' "$program"
}

# The bytes of sector $2 of track $1 of the 16-sector image, from byte $3, $4 of them.
sector_bytes() {
  dd if="$image" bs=1 skip=$((($1 * 16 + $2) * 256 + $3)) count="$4" 2>/dev/null
}

step "1. dskblank: a blank 35-track, 16-sector diskette image"
dskblank "$image" 35 16

step "2. dskputdos: install demo-dos.bin as DOS 3.3"
answer dskputdos 1 "$image" demo-dos.bin ""
echo "What landed where: the first 17 bytes of some sectors ('.' is a zero byte)"
for place in "0 12" "1 0" "2 4" "0 0" "0 9" "0 10"; do
  set -- $place
  printf '  track %d sector %2d: ' "$1" "$2"
  sector_bytes "$1" "$2" 0 17 | tr '\0' '.'
  echo
done

step "3. asmspacer: space beep.s into groups of instructions (writes beep.sT)"
answer asmspacer . beep.s "" ""
echo "Lines added: $(($(wc -l <beep.sT) - $(wc -l <beep.s))) separator lines; the first 16 lines of beep.sT:"
head -n 16 beep.sT | sed 's/^/  | /'

step "4. dskrecord: record hello.s, count.s and the spaced beep.sT"
answer dskrecord "$image" . hello.s count.s beep.sT "" ""
echo "dskcatalog: the catalog now holds"
dskcatalog "$image" | sed 's/^/  | /'
echo "dskextract: HELLO.S got back as host text, its first lines:"
dskextract "$image" hello.s hello-back.s
head -n 3 hello-back.s | sed 's/^/  | /'
echo

step "5. aiffverify: check the recorded transfer of track 0 against the image"
echo "transfer.aiff: SSND at $(grep -obUa SSND transfer.aiff | head -n 1 | cut -d: -f1), so samples from 0x36;"
echo "the first bit starts at the first zero sample after the leader tone, 0x162."
answer aiffverify transfer.aiff 162 "$image" 0 200

step "6. array2bin: the arrays of tables.txt become binaries with a load header"
answer array2bin tables.txt
for file in Pitch Sine Title; do
  printf '  %-6s' "$file"
  od -An -tx1 -v "$file" | tr -s ' \n' ' '
  echo
done

step "7. bin2array: and the binary Title back to array text"
answer bin2array Title Title.c
sed 's/^/  | /' Title.c

step "8. mempatch: patch a 12 KiB ROM image of \$D000-\$FFFF (all NOPs, 0xEA) as changes.txt says"
dd if=/dev/zero bs=1024 count=12 2>/dev/null | LC_ALL=C tr '\000' '\352' >rom.bin
answer mempatch rom.bin rom-patched.bin changes.txt 0 ""
echo "rom-patched.bin where it changed (offsets in hex; offset 0 is \$D000, 2ffc is \$FFFC):"
{ od -Ax -tx1 -N 32 rom-patched.bin | head -n 2; od -Ax -tx1 -j $((0x2ff0)) rom-patched.bin; } | sed 's/^/  /'
echo "$(cmp -l rom.bin rom-patched.bin | wc -l) bytes differ; every other byte is still 0xea."

step "9. casediff: condense compare.txt to the letters that differ by case"
answer casediff compare.txt letters.txt ""
echo "letters.txt:"
sed 's/^/  | /' letters.txt
echo

step "10. Keep working on the diskette: replace a source, add a binary, delete, check, get the DOS back"
sed -i 's/^\* hello.s --/* hello.s (edited) --/' hello.s
echo "dskrecord --dos-names --replace: the edited hello.s in place of HELLO.S, named as the DOS names files"
dskrecord --dos-names --replace "$image" . hello.s | tail -n 2
echo "dskputbin: the patched ROM as the binary file ROM, loaded at \$D000"
dskputbin "$image" rom-patched.bin D000 ROM
dskextract --header "$image" rom rom-back.bin
echo "dskextract --header: its load address and length, $(od -An -tx1 -N4 rom-back.bin), then the same bytes:" \
  "$(tail -c +5 rom-back.bin | cmp - rom-patched.bin && echo equal)"
echo "dskdelete: COUNT.S"
dskdelete "$image" count.s
dskcatalog "$image" | sed 's/^/  | /'
echo "dskcheck: the catalog, the track/sector lists and the bitmap agree"
dskcheck "$image" | sed 's/^/  | /'
echo "dskgetdos: the DOS got back from the image is the file that was installed:"
dskgetdos 3.3 "$image" dos-back.bin && cmp dos-back.bin demo-dos.bin && echo "  dos-back.bin equals demo-dos.bin"

step "Done. Every file is in $work; the image is $work/$image."
