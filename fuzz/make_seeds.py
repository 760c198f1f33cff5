#!/usr/bin/env python3
"""Writes the committed seed corpus under fuzz/corpus/<target>/.

Run from the repository root with the blank-image helper built:
    python3 fuzz/make_seeds.py build-fuzz/bin/dskblank
Each seed follows the input layout described at the top of its target's source.
"""
import os
import subprocess
import sys
import tempfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
GEOMETRIES = [(35, 16), (40, 16), (48, 16), (35, 32), (40, 32), (48, 32)]


def seed(target, name, data):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


def text(name):
    with open(os.path.join(os.path.dirname(ROOT), "..", "examples", name), "rb") as f:
        return f.read()


def pulses(values):
    """A capture of the bytes: pulses of 3 samples for ones, 1 for zeros, gaps of 2."""
    out = bytearray([0])
    for value in values:
        for bit in range(7, -1, -1):
            out += bytes([0x40] * (3 if value >> bit & 1 else 1)) + b"\0" + bytes([0xC0] * 2) + b"\0"
    return bytes(out)


def main(dskblank):
    hello, count = text("hello.s"), text("count.s")
    seed("encoder", "full-room-hello", b"\xff\xff" + hello)
    seed("encoder", "small-room-count", b"\x40\x00" + count)
    seed("encoder", "quotes-blanks-colon", b"\xff\xff" + b':start  "a  b"  \'c  d\'   ; x   y\n\n   \n\tlda  #1  \r\n')
    seed("encoder", "long-line", b"\xff\xff" + b"x" * 600 + b"\n")

    seed("spacer", "hello", b"\x00" + hello)
    seed("spacer", "count-at-block-end", b"\xc8" + count)
    seed("spacer", "returns-and-rules", b"\x00L0300 equ 1\nL0301 equ 2\nL00FE equ 3\n lda #1\n cmp #2\r\n"
         b" bit $c000\r\r\n jsr a\n jsr b\n bne c\n jmp d\n hex 00\n rts\nH1 brk\n;c\r")

    seed("array_text", "two-arrays", b"unsigned char first[] = {\n  0x01, 0x02, 0xff,\n};\n"
         b"unsigned int first_len = 3;\n# comment\nunsigned char second[] = {\n  0x10,\n};\n"
         b"unsigned int second_len = 1;\n")
    seed("array_text", "refused-names", b"unsigned char a/b[] = {\n 0x1,\n};\nunsigned char input.txt[] = {\n 0x2,\n}"
         b";\nunsigned int x\nrandom line\n")

    seed("change_file", "start-1000", b"\x00\x10" + b"d000 3\n01 02 03\n# comment\nffff 1\nea\n")
    seed("change_file", "refusals", b"\x00\xd0" + b"c000 2\n01 02\n-1 1\n00\nzz 1\nd000 90\n00\nd000 -1\n\n")

    seed("listing", "letters-and-gaps", b"1000-41 (61)\n1001-c1 (e1)\n1003-12 (34)\n1004-7a (5a)\n"
         b"* skip\n2000-0x41  (0x61)\n")

    image = bytes(range(16))
    seed("pulse_decoder", "compare-run", b"\x00" + b"\x0210" + b"\x10\x00" + image + pulses(image))
    seed("pulse_decoder", "round-trip", b"\x01" + bytes([0xA5, 1, 2, 3, 4, 5, 6, 7, 8] * 3))

    with tempfile.TemporaryDirectory() as tmp:
        for index, (tracks, sectors) in enumerate(GEOMETRIES):
            path = os.path.join(tmp, "blank.dsk")
            subprocess.run([dskblank, path, str(tracks), str(sectors)], check=True, stdout=subprocess.DEVNULL)
            with open(path, "rb") as f:
                blank = f.read()
            catalog_track = blank[17 * sectors * 256:18 * sectors * 256]
            # Answers small.s, big.s, sector.s, then empty ones (three bits each).
            seed("catalog", "blank-%dx%d" % (tracks, sectors), bytes([index, 0x50, 0x7E]) + catalog_track)
        looped = bytearray(catalog_track)
        looped[(sectors - 2) * 256 + 1:(sectors - 2) * 256 + 3] = bytes([17, sectors - 1])
        # Answers small.s, then empty ones.
        seed("catalog", "looped-chain-48x32", bytes([5, 0xF8, 0x7F]) + bytes(looped))


if __name__ == "__main__":
    main(sys.argv[1])
