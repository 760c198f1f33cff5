#include "inputs.h"

#include "blank_image.h"
#include "disk_image.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string hex(uint64_t value, bool upper = false)
{
    char text[32];
    std::snprintf(text, sizeof text, upper ? "%llX" : "%llx", static_cast<unsigned long long>(value));
    return text;
}

std::string printable(Random& random, size_t length)
{
    std::string text;
    for (size_t i = 0; i < length; ++i)
        text += static_cast<char>(random.between(' ', '~'));
    return text;
}

// One way of damaging a formatted image's VTOC, bitmap or catalog.
void damage(Random& random, Bytes& image, int tracks, int sectors)
{
    auto at = [&](int t, int s, int b) -> uint8_t& {
        return image[(static_cast<size_t>(t) * static_cast<size_t>(sectors) + static_cast<size_t>(s)) * 256 +
                     static_cast<size_t>(b)];
    };
    const int catalogSector = static_cast<int>(random.between(1, sectors - 1));
    switch (random.below(12)) {
    case 0: // the VTOC's catalog link anywhere, in the image or not
        at(17, 0, 1) = static_cast<uint8_t>(random.chance(50) ? random.between(0, tracks + 2) : random.byte());
        at(17, 0, 2) = static_cast<uint8_t>(random.chance(50) ? random.between(0, sectors + 2) : random.byte());
        break;
    case 1: // stray bitmap bytes, past the image's tracks too
        for (int i = static_cast<int>(random.between(1, 8)); i > 0; --i)
            at(17, 0, 0x38 + static_cast<int>(random.below(200))) = random.byte();
        break;
    case 2: // every bit free, the DOS tracks, the catalog track and sectors 16-31 included
        for (int b = 0x38; b < 0x38 + 4 * tracks; ++b)
            at(17, 0, b) = 0xFF;
        break;
    case 3: // a full diskette but for a few sectors
        for (int b = 0x38; b < 0x38 + 4 * tracks; ++b)
            at(17, 0, b) = random.chance(3) ? random.byte() : 0;
        break;
    case 4: // a catalog sector linking to itself or back up the chain
        at(17, catalogSector, 1) = 17;
        at(17, catalogSector, 2) = static_cast<uint8_t>(random.between(catalogSector, sectors - 1));
        break;
    case 5: // a catalog sector linking outside the image
        at(17, catalogSector, 1) = static_cast<uint8_t>(random.chance(50) ? random.between(tracks, 255) : 17);
        at(17, catalogSector, 2) = static_cast<uint8_t>(random.between(sectors, 255));
        break;
    case 6: // entries taken, deleted or free at random
        for (int entry = 0; entry < 7; ++entry)
            at(17, catalogSector, 11 + 35 * entry) = random.pick(std::vector<uint8_t>{0x00, 0xFF, 0x11});
        break;
    case 7: // the whole catalog track random
        for (int s = 0; s < sectors; ++s)
            for (int b = 0; b < 256; ++b)
                at(17, s, b) = random.byte();
        break;
    case 8: // random bytes anywhere
        for (int i = static_cast<int>(random.between(1, 64)); i > 0; --i)
            image[random.below(image.size())] = random.byte();
        break;
    case 9: // VTOC fields the programs do not use, and the last-allocated track
        for (int b : {0x03, 0x06, 0x27, 0x30, 0x31, 0x34, 0x35, 0x36, 0x37})
            at(17, 0, b) = random.byte();
        break;
    case 10: // every entry taken but in one catalog sector, so that the walk goes far down the chain
        for (int s = 1; s < sectors; ++s)
            for (int entry = 0; entry < 7 && s != catalogSector; ++entry)
                at(17, s, 11 + 35 * entry) = 0x12;
        break;
    default: { // the chain goes on in a sector the bitmap calls free
        const int t = static_cast<int>(random.between(18, tracks - 1));
        const int s = static_cast<int>(random.below(static_cast<uint64_t>(sectors)));
        at(17, catalogSector, 1) = static_cast<uint8_t>(t);
        at(17, catalogSector, 2) = static_cast<uint8_t>(s);
        for (int b = 0; b < 256; ++b)
            at(t, s, b) = 0;
        break;
    }
    }
}

void line(Random& random, std::string& text)
{
    static const std::vector<std::string> opcodes{"lda", "LDA", "sta", "jsr", "jmp", "rts", "cmp", "bne", "equ",
                                                  "hex", "asc", "ds", "org", "bit", "inx", "brk", "dfb"};
    switch (random.below(10)) {
    case 0:
        break;
    case 1:
        text += std::string(random.between(1, 12), ' ');
        break;
    case 2:
        if (random.chance(50))
            text += "L" + hex(random.below(0x10000), true);
        text += std::string(random.between(1, 9), ' ') + random.pick(opcodes);
        text += std::string(random.between(0, 9), ' ') + "#$" + hex(random.below(256));
        if (random.chance(30))
            text += std::string(random.between(1, 6), ' ') + ";  note  " + printable(random, 8);
        break;
    case 3:
        text += ":" + printable(random, random.below(30));
        break;
    case 4:
        text += ";   comment   with   blanks";
        break;
    case 5:
        text += " asc \"A  B  C\"  ; 'x  y'" + std::string(random.below(4), ' ');
        break;
    case 6:
        text += printable(random, random.between(200, 700));
        break;
    case 7:
        for (int i = static_cast<int>(random.between(1, 80)); i > 0; --i)
            text += static_cast<char>(random.byte());
        break;
    case 8:
        text += "\tlda\t#1\t\t; tabs";
        break;
    default:
        text += " nop" + std::string(random.between(1, 20), ' ');
        break;
    }
}

// The bits of one byte as pulses: a zero, the pulse, a zero, the gap.
void encodeByte(Random& random, uint8_t value, Bytes& out)
{
    for (int bit = 7; bit >= 0; --bit) {
        const bool one = (value >> bit) & 1;
        const int64_t width = one ? random.between(2, 4) : random.between(0, 1);
        for (int64_t i = 0; i < width; ++i)
            out.push_back(static_cast<uint8_t>(random.between(1, 255)));
        out.push_back(0);
        for (int64_t i = random.between(0, 3); i > 0; --i)
            out.push_back(static_cast<uint8_t>(random.between(1, 255)));
        out.push_back(0);
    }
}

} // namespace

Bytes diskImage(Random& random, int& sectorsPerTrack)
{
    sectorsPerTrack = 16;
    if (random.chance(8)) {
        const std::vector<int64_t> nearSizes{0, 256, 143359, 143361, 143616, 393217};
        const int64_t size = random.chance(50) ? random.pick(nearSizes) : random.between(0, 400000);
        return random.chance(50) ? random.bytes(static_cast<size_t>(size)) : Bytes(static_cast<size_t>(size), 0);
    }
    const DiskSize& geometry = DiskSizes[random.below(DiskSizes.size())];
    Bytes image(static_cast<size_t>(geometry.fileSize));
    buildBlankImage(geometry.tracks, geometry.sectors, image);
    sectorsPerTrack = geometry.sectors;
    for (int64_t i = random.between(0, 6); i > 0; --i)
        damage(random, image, geometry.tracks, geometry.sectors);
    return image;
}

std::string hostText(Random& random)
{
    std::string text;
    if (random.chance(5))
        return text;
    const int64_t lines = random.chance(8) ? random.between(1000, 5000) : random.between(1, 60);
    for (int64_t i = 0; i < lines; ++i) {
        line(random, text);
        text += random.chance(85) ? "\n" : random.pick({"\r\n", "\r", "\r\r\n"});
    }
    if (random.chance(20))
        line(random, text); // a last line without its line end
    return text;
}

Bytes dosFile(Random& random)
{
    const size_t size = random.chance(80) ? 8960 : random.pick(std::vector<size_t>{0, 255, 8704, 8959, 8961, 17920});
    return random.bytes(size);
}

std::string changeFile(Random& random)
{
    std::string text;
    for (int64_t pair = random.between(0, 30); pair > 0; --pair) {
        if (random.chance(10))
            text += random.pick({"# a comment\n", "* another\n", "\n"});
        const int64_t count = random.chance(80) ? random.between(0, 85) : random.between(-3, 200);
        const uint64_t address =
            random.chance(80) ? static_cast<uint64_t>(random.between(0xCF00, 0xFFFF)) : random.below(1ull << 33);
        std::string config = random.chance(20) ? "0x" + hex(address) : hex(address, random.chance(50));
        if (random.chance(5))
            config = random.pick({"-1", "zz", "", "123456789abcdef01", "d000"});
        config += " " + (random.chance(5) ? random.pick({"2147483648", "-2147483649", "x", "99999999999"})
                                          : std::to_string(count));
        text += config + "\n";
        std::string data;
        const int64_t values = random.chance(80) ? std::max<int64_t>(count, 0) : random.between(0, 120);
        for (int64_t i = 0; i < values; ++i) {
            char item[8];
            const uint64_t value = random.chance(95) ? random.below(256) : random.below(0x1000);
            std::snprintf(item, sizeof item, "%02x ", static_cast<unsigned>(value));
            data += item;
        }
        if (random.chance(10))
            data.insert(random.below(data.size() + 1), printable(random, random.between(1, 5)));
        if (random.chance(5) && pair == 1)
            break; // a configLine with no dataLine after it
        text += data + "\n";
    }
    return text;
}

std::string listing(Random& random)
{
    std::string text;
    uint64_t address = random.below(0x20000);
    for (int64_t i = random.between(0, 200); i > 0; --i) {
        address += random.chance(85) ? 1 : random.between(0, 300);
        uint64_t a = random.below(256);
        uint64_t b = random.below(256);
        if (random.chance(60)) { // one letter, upper and lower case, plain or with bit 7
            const uint64_t letter = static_cast<uint64_t>(random.between('A', 'Z')) | (random.chance(30) ? 0x80 : 0);
            a = letter;
            b = letter + 0x20;
            if (random.chance(50))
                std::swap(a, b);
        }
        if (random.chance(3))
            a = random.below(1ull << 40);
        std::string entry = hex(address, random.chance(20)) + "-" + (random.chance(10) ? "0x" : "") + hex(a) +
                            std::string(random.below(3), ' ') + "(" + hex(b) + ")";
        if (random.chance(5))
            entry = random.pick({"junk", "12-", "12-34", "-5--6 (-7)", "ffffffffff-1 (2)", "#1-2 (3)", ""});
        text += entry + (random.chance(95) ? "\n" : "\r\n");
    }
    return text;
}

std::string arrayText(Random& random, const std::string& inputName)
{
    std::string text;
    for (int64_t array = random.between(0, 15); array > 0; --array) {
        std::string name = fileName(random);
        if (random.chance(15))
            name = random.pick({"a/b", "../escape", "", ".", "..", "name with blanks"});
        if (random.chance(5))
            name = inputName;
        if (random.chance(3))
            name = std::string(random.between(200, 300), 'n');
        text += random.chance(95) ? "unsigned char " + name + "[] = {\n" : "unsigned char" + name + "\n";
        int64_t count = 0;
        for (int64_t items = random.between(0, 20); items > 0; --items) {
            std::string itemLine = " ";
            for (int64_t i = random.between(1, 16); i > 0; --i) {
                if (random.chance(90)) {
                    itemLine += " 0x" + hex(random.below(256)) + ",";
                    ++count;
                } else {
                    itemLine += random.pick({" zz,", " -1,", " 0x,", " 12345678901234567890,", " 1 2,", ",,"});
                }
            }
            if (random.chance(5))
                itemLine += printable(random, random.between(100, 400));
            text += itemLine + "\n";
            if (random.chance(5))
                text += random.pick({"# comment\n", "\n", "*\n"});
        }
        if (random.chance(95))
            text += "};\n";
        if (random.chance(90)) {
            const int64_t told = random.chance(80) ? count : random.between(-5, 500);
            text += random.chance(90)
                        ? "unsigned int " + name + "_len = " + std::to_string(told) + ";\n"
                        : random.pick({"unsigned int x\n", "unsigned int a_len = 99999999999999999999999;\n"});
        }
        if (random.chance(5))
            text += printable(random, random.between(1, 80)) + "\n";
    }
    return text;
}

Bytes capture(Random& random, const Bytes& image, size_t offset, size_t leaderBytes)
{
    if (random.chance(15)) {
        Bytes noise = random.bytes(random.below(20000));
        for (uint8_t& sample : noise)
            if (random.chance(30))
                sample = 0;
        return noise;
    }
    Bytes out;
    for (size_t i = 0; i < leaderBytes; ++i)
        out.push_back(static_cast<uint8_t>(random.between(1, 255)));
    const size_t available = offset < image.size() ? image.size() - offset : 0;
    const size_t count = std::min<size_t>(available, random.below(9000));
    out.push_back(0);
    for (size_t i = 0; i < count; ++i)
        encodeByte(random, image[offset + i], out);
    if (random.chance(30))
        for (int64_t i = random.between(1, 20); i > 0 && !out.empty(); --i)
            out[random.below(out.size())] = random.chance(50) ? 0 : random.byte();
    if (random.chance(20))
        out.resize(random.below(out.size() + 1));
    return out;
}

std::string fileName(Random& random)
{
    std::string name;
    for (int64_t i = random.between(1, 10); i > 0; --i)
        name += "abcdefghijklmnopqrstuvwxyz0123456789"[random.below(36)];
    return name + (random.chance(50) ? ".s" : ".txt");
}

std::string oddAnswer(Random& random)
{
    switch (random.below(5)) {
    case 0:
        return printable(random, random.between(1, 40));
    case 1:
        return printable(random, random.between(200, 400));
    case 2: {
        std::string text;
        for (int64_t i = random.between(1, 20); i > 0; --i)
            text += static_cast<char>(random.chance(50) ? random.between(11, 31) : random.between(128, 255));
        return text;
    }
    case 3:
        return "   ";
    default:
        return "";
    }
}

std::string hexAnswer(Random& random, uint64_t usual)
{
    if (random.chance(75))
        return (random.chance(20) ? "0x" : "") + hex(usual, random.chance(30));
    return random.pick({"-1", "ffffffffffffffff", "10000000000000000000", "7fffffff", "80000000", "zz", "", " 1",
                        "-0", "0x", "+10"});
}
