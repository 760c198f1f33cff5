// make_inputs: writes the benchmark's input files, the same bytes for the
// same seed on every machine. Not one of the suite's programs: bench/run.sh
// builds it on its own and calls it once per input.
//
//   make_inputs asm      SEED BYTES OUT        6502 source text, columns aligned
//   make_inputs listing  SEED BYTES OUT        byte-compare listing lines
//   make_inputs random   SEED BYTES OUT        random bytes
//   make_inputs capture  SEED SAMPLES OUT CMP  pulse-width capture in an AIFF
//                                              file, and the bytes it carries;
//                                              prints the byte count in hex
//   make_inputs changes  SEED PAIRS OUT        change file for a whole 64 KiB image
//   make_inputs texts    SEED SECTORS DIR      text files that take exactly
//                                              SECTORS sectors when recorded;
//                                              prints their names
#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitUsage = 2;
constexpr int ExitFailed = 1;

// splitmix64: small, fast, and the same sequence everywhere.
struct Random {
    uint64_t state;
    uint64_t next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    // 0 to bound - 1.
    uint32_t below(uint32_t bound) { return static_cast<uint32_t>(next() % bound); }
};

// A write-only file with a large buffer; any failure ends the program.
struct Output {
    std::FILE* file = nullptr;
    const char* path = "";
    uint64_t written = 0;

    explicit Output(const char* where) : path(where)
    {
        file = std::fopen(where, "wb");
        if (file == nullptr) {
            std::perror(where);
            std::exit(ExitFailed);
        }
        std::setvbuf(file, nullptr, _IOFBF, 1 << 20);
    }
    void put(std::string_view text)
    {
        if (std::fwrite(text.data(), 1, text.size(), file) != text.size())
            fail();
        written += text.size();
    }
    void put(uint8_t byte)
    {
        if (std::fputc(byte, file) == EOF)
            fail();
        ++written;
    }
    void close()
    {
        if (std::fclose(file) != 0)
            fail();
        file = nullptr;
    }
    [[noreturn]] void fail()
    {
        std::perror(path);
        std::exit(ExitFailed);
    }
};

constexpr std::array<const char*, 56> Opcodes{
    "ADC", "AND", "ASL", "BCC", "BCS", "BEQ", "BIT", "BMI", "BNE", "BPL", "BRK", "BVC", "BVS", "CLC",
    "CLD", "CLI", "CLV", "CMP", "CPX", "CPY", "DEC", "DEX", "DEY", "EOR", "INC", "INX", "INY", "JMP",
    "JSR", "LDA", "LDX", "LDY", "LSR", "NOP", "ORA", "PHA", "PHP", "PLA", "PLP", "ROL", "ROR", "RTI",
    "RTS", "SBC", "SEC", "SED", "SEI", "STA", "STX", "STY", "TAX", "TAY", "TSX", "TXA", "TXS", "TYA"};

constexpr std::array<const char*, 8> Words{"loop", "next", "byte", "print", "wait", "done", "keep", "count"};

std::string hex(uint32_t value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, static_cast<unsigned>(value));
    return text;
}

std::string label(Random& random)
{
    static constexpr std::array<const char*, 8> Stems{"LOOP", "NEXT", "WAIT", "PRINT", "HOOK", "DONE", "GET", "PUT"};
    switch (random.below(4)) {
    case 0:
        return "L" + hex(random.below(0x10000), 4);
    case 1:
        return "H" + hex(random.below(0x100), 2);
    default:
        return std::string(Stems[random.below(Stems.size())]) + std::to_string(random.below(100));
    }
}

std::string operand(Random& random)
{
    switch (random.below(6)) {
    case 0:
        return "#$" + hex(random.below(0x100), 2);
    case 1:
        return "$" + hex(random.below(0x10000), 4) + ",Y";
    case 2:
        return "$" + hex(random.below(0x100), 2);
    case 3:
        return label(random);
    default:
        return "$" + hex(random.below(0x10000), 4);
    }
}

// One line of source, without its line end. aligned: labels, opcodes and
// operands in columns (runs of blanks); otherwise single blanks only.
std::string sourceLine(Random& random, bool aligned)
{
    const uint32_t kind = random.below(100);
    if (kind < 4)
        return "; " + std::string(Words[random.below(Words.size())]) + " the " + Words[random.below(Words.size())];
    if (kind < 6)
        return "* " + std::string(Words[random.below(Words.size())]) + " routine";
    if (kind < 7)
        return aligned ? "" : ";";
    std::string line;
    if (kind < 15) {
        line = label(random) + (aligned ? "      " : " ") + "EQU" + (aligned ? "  " : " ") + "$" +
               hex(random.below(0x10000), 4);
    } else {
        // A line without a label starts with a blank.
        if (random.below(4) == 0)
            line = label(random);
        if (aligned)
            line.resize(std::max<size_t>(line.size() + 1, 9), ' ');
        else
            line += ' ';
        const char* opcode = Opcodes[random.below(Opcodes.size())];
        line += opcode;
        if (random.below(5) != 0)
            line += std::string(aligned ? "  " : " ") + operand(random);
    }
    if (random.below(6) == 0)
        line += std::string(aligned ? "    " : " ") + "; " + Words[random.below(Words.size())];
    return line;
}

int makeSource(Random& random, uint64_t bytes, const char* path)
{
    Output out(path);
    while (out.written < bytes) {
        std::string line = sourceLine(random, true);
        line += random.below(100) == 0 ? "\r\n" : "\n";
        out.put(line);
    }
    out.close();
    return ExitOk;
}

// A listing of mostly consecutive addresses; about half the lines are one
// letter in both cases, the others two other bytes.
int makeListing(Random& random, uint64_t bytes, const char* path)
{
    Output out(path);
    uint32_t address = 0x0300;
    while (out.written < bytes) {
        const uint32_t kind = random.below(100);
        if (kind == 0) {
            out.put("* compare of DISK.IMAGE against disk.image\n");
            continue;
        }
        if (kind == 1)
            address += random.below(0x200) + 2;
        uint32_t a = 0;
        uint32_t b = 0;
        if (kind < 55) {
            const uint32_t letter = 'A' + random.below(26);
            const uint32_t high = random.below(2) == 0 ? 0x80 : 0;
            a = letter | high;
            b = (letter | 0x20) | high;
            if (random.below(2) == 0)
                std::swap(a, b);
        } else {
            a = random.below(0x100);
            b = (a + 1 + random.below(0xFF)) & 0xFF;
        }
        char line[40];
        const int length = std::snprintf(line, sizeof line, "%04X-%02X (%02X)\n", static_cast<unsigned>(address),
                                         static_cast<unsigned>(a), static_cast<unsigned>(b));
        out.put(std::string_view(line, static_cast<size_t>(length)));
        ++address;
    }
    out.close();
    return ExitOk;
}

int makeRandom(Random& random, uint64_t bytes, const char* path)
{
    Output out(path);
    for (uint64_t i = 0; i < bytes; i += 8) {
        const uint64_t word = random.next();
        for (uint64_t k = 0; k < 8 && i + k < bytes; ++k)
            out.put(static_cast<uint8_t>(word >> (8 * k)));
    }
    out.close();
    return ExitOk;
}

void putBigEndian(Output& out, uint64_t value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.put(static_cast<uint8_t>(value >> shift));
}

constexpr uint64_t AiffHeaderBytes = 54; // FORM, COMM and the SSND chunk's head

// A mono 8-bit AIFF file: the samples begin at offset 0x36. Each bit is a
// zero sample, a pulse (2 to 4 non-zero samples for a 1, 0 or 1 for a 0),
// a zero sample and a gap of 0 to 3 non-zero samples; a last zero sample
// ends the stream. The bytes carried are random and go to cmpPath.
int makeCapture(Random& random, uint64_t samples, const char* path, const char* cmpPath)
{
    constexpr uint64_t MostPerByte = 8 * (2 + 4 + 3);
    const uint64_t padded = samples + samples % 2;
    Output out(path);
    out.put("FORM");
    putBigEndian(out, 4 + (8 + 18) + (8 + 8 + padded), 4);
    out.put("AIFF");
    out.put("COMM");
    putBigEndian(out, 18, 4);
    putBigEndian(out, 1, 2);       // channels
    putBigEndian(out, samples, 4); // sample frames
    putBigEndian(out, 8, 2);       // bits per sample
    putBigEndian(out, 0x400E, 2);  // 44100 as an 80-bit extended number
    putBigEndian(out, 0xAC44000000000000u, 8);
    out.put("SSND");
    putBigEndian(out, 8 + padded, 4);
    putBigEndian(out, 0, 8);

    Output cmp(cmpPath);
    auto level = [&random] { return static_cast<uint8_t>(1 + random.below(255)); };
    uint64_t byteCount = 0;
    // Room for one more whole byte and the closing zero sample.
    while (out.written - AiffHeaderBytes + MostPerByte + 1 <= samples) {
        const auto byte = static_cast<uint8_t>(random.next());
        for (int bit = 7; bit >= 0; --bit) {
            const uint32_t pulse = (byte >> bit & 1) != 0 ? 2 + random.below(3) : random.below(2);
            out.put(uint8_t{0});
            for (uint32_t k = 0; k < pulse; ++k)
                out.put(level());
            out.put(uint8_t{0});
            for (uint32_t k = random.below(4); k > 0; --k)
                out.put(level());
        }
        cmp.put(byte);
        ++byteCount;
    }
    // The zero sample that would begin the next bit, then zeros to the size asked for.
    while (out.written - AiffHeaderBytes < padded)
        out.put(uint8_t{0});
    out.close();
    cmp.close();
    std::printf("%" PRIx64 "\n", byteCount);
    return ExitOk;
}

// Pairs for an image of the whole 64 KiB memory (start 0xD000), with a
// comment line now and then.
int makeChanges(Random& random, uint64_t pairs, const char* path)
{
    Output out(path);
    for (uint64_t pair = 0; pair < pairs; ++pair) {
        if (pair % 1000 == 0)
            out.put("# configLine: address (hex) and count (decimal); then the bytes\n");
        const uint32_t count = 1 + random.below(16);
        const uint32_t address = random.below(0x10000 - count + 1);
        std::string text = hex(address, 4) + " " + std::to_string(count) + "\n";
        for (uint32_t k = 0; k < count; ++k)
            text += hex(random.below(0x100), 2) + (k + 1 < count ? " " : "\n");
        out.put(text);
    }
    out.close();
    return ExitOk;
}

// Sectors a recorded file takes: its data sectors and one track/sector list
// per 122 of them.
uint64_t sectorsTaken(uint64_t dataSectors)
{
    return dataSectors + (dataSectors + 121) / 122;
}

// The data sector count whose file takes exactly total sectors, or 0 when
// no file does.
uint64_t dataSectorsFor(uint64_t total)
{
    for (uint64_t data = total; data > 0; --data)
        if (sectorsTaken(data) == total)
            return data;
    return 0;
}

// One text file whose recorded text fills dataSectors sectors, the last of
// them in part. Lines with single blanks only, none empty or at the ends,
// are stored a byte each plus the line end; the text ends in 3 more bytes.
void makeText(Random& random, uint64_t dataSectors, const std::string& path)
{
    constexpr uint64_t EndBytes = 3;
    const uint64_t atLeast = (dataSectors - 1) * 256 + 1;
    Output out(path.c_str());
    while (out.written + EndBytes < atLeast) {
        const std::string line = sourceLine(random, false);
        // Anything the encoder would change makes the count wrong: fail loudly.
        if (line.empty() || line[0] == ':' || line.find("  ") != std::string::npos || line.back() == ' ') {
            std::fprintf(stderr, "make_inputs: line '%s' would not be stored byte for byte\n", line.c_str());
            std::exit(ExitFailed);
        }
        out.put(line + "\n");
    }
    out.close();
}

// Files that together take exactly sectors sectors, four of them when the
// disk is large enough.
int makeTexts(Random& random, uint64_t sectors, const char* folder)
{
    std::vector<uint64_t> sizes;
    uint64_t left = sectors;
    for (int file = 0; file < 3 && left > 400; ++file) {
        uint64_t data = left / 5 + random.below(static_cast<uint32_t>(left / 10));
        // The rest must be a total that some file takes.
        while (dataSectorsFor(left - sectorsTaken(data)) == 0)
            --data;
        sizes.push_back(data);
        left -= sectorsTaken(data);
    }
    const uint64_t last = dataSectorsFor(left);
    if (last == 0) {
        std::fprintf(stderr, "make_inputs: no file takes exactly %llu sectors\n", static_cast<unsigned long long>(left));
        return ExitFailed;
    }
    sizes.push_back(last);
    for (size_t k = 0; k < sizes.size(); ++k) {
        const std::string name = "text" + std::to_string(k + 1) + ".s";
        makeText(random, sizes[k], std::string(folder) + "/" + name);
        std::printf("%s\n", name.c_str());
    }
    return ExitOk;
}

uint64_t number(const char* text)
{
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 0);
    if (end == text || *end != '\0') {
        std::fprintf(stderr, "make_inputs: '%s' is not a number\n", text);
        std::exit(ExitUsage);
    }
    return value;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: make_inputs asm|listing|random|capture|changes|texts SEED COUNT OUT [CMP]\n");
        return ExitUsage;
    }
    const std::string_view kind = argv[1];
    Random random{number(argv[2])};
    const uint64_t count = number(argv[3]);
    if (kind == "asm")
        return makeSource(random, count, argv[4]);
    if (kind == "listing")
        return makeListing(random, count, argv[4]);
    if (kind == "random")
        return makeRandom(random, count, argv[4]);
    if (kind == "capture" && argc == 6)
        return makeCapture(random, count, argv[4], argv[5]);
    if (kind == "changes")
        return makeChanges(random, count, argv[4]);
    if (kind == "texts")
        return makeTexts(random, count, argv[4]);
    std::fprintf(stderr, "make_inputs: unknown kind '%s' or wrong arguments\n", argv[1]);
    return ExitUsage;
}
