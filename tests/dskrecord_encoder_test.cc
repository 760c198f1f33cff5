// The source text encoder: the rule of every line, the end marker, long lines.
#include "dskrecord.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Encodes text as a host file; returns the bytes, or {0xEE} when refused.
Bytes encodeFile(const std::string& text, size_t room = EncodedTextBytes)
{
    std::FILE* in = std::tmpfile();
    EXPECT_EQ(std::fwrite(text.data(), 1, text.size(), in), text.size());
    std::rewind(in);
    Bytes out(room);
    const int32_t size = encodeText(in, out);
    std::fclose(in);
    if (size < 0)
        return {0xEE};
    out.resize(static_cast<size_t>(size));
    return out;
}

// The encoding of one line: a file of that line, without the end marker.
Bytes encodeLineOf(const std::string& line)
{
    Bytes out = encodeFile(line + "\n");
    out.resize(out.size() - 3);
    return out;
}

} // namespace

TEST(Encoder, LinesFollowEachRule)
{
    const struct {
        std::string line;
        Bytes encoded;
    } cases[] = {
        // runs of blanks shrink outside a comment, trailing blanks go
        {"LDA  #$01    ; load  it   ",
         {0xCC, 0xC4, 0xC1, 0xA0, 0xA3, 0xA4, 0xB0, 0xB1, 0xA0, 0xBB, 0xA0, 0xEC, 0xEF, 0xE1, 0xE4, 0xA0, 0xA0,
          0xE9, 0xF4, 0x8D}},
        {"", {0xBB, 0x8D}},
        {"    ", {0xBB, 0x8D}},
        {":LABEL  X", {0xBB, 0xCC, 0xC1, 0xC2, 0xC5, 0xCC, 0xA0, 0xA0, 0xD8, 0x8D}}, // a comment from the start
        {"A:B", {0xC1, 0xBA, 0xC2, 0x8D}},
        {"  X", {0xA0, 0xD8, 0x8D}},
        {" X", {0xA0, 0xD8, 0x8D}},
        {"DB \"A  B\"", {0xC4, 0xC2, 0xA0, 0xA2, 0xC1, 0xA0, 0xA0, 0xC2, 0xA2, 0x8D}},
        // one flag for both quote characters: the apostrophe closes
        {"\"A  B'  C", {0xA2, 0xC1, 0xA0, 0xA0, 0xC2, 0xA7, 0xA0, 0xC3, 0x8D}},
        // ';' inside quotes starts the comment all the same
        {"'A;B'  X", {0xA7, 0xC1, 0xBB, 0xC2, 0xA7, 0xA0, 0xA0, 0xD8, 0x8D}},
        {"X\t", {0xD8, 0x89, 0x8D}},
        {"X \t", {0xD8, 0xA0, 0x89, 0x8D}},
        {"A\rB\xC1", {0xC1, 0x8D, 0xC2, 0xC1, 0x8D}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(encodeLineOf(c.line), c.encoded) << c.line;
}

TEST(Encoder, FilesEndWithTheMarkerAndSplitLongLines)
{
    const Bytes ab{0xC1, 0x8D, 0xC2, 0x8D, 0x00, 0x80, 0x8D};
    EXPECT_EQ(encodeFile("A\nB\n"), ab);
    EXPECT_EQ(encodeFile("A\nB"), ab);
    EXPECT_EQ(encodeFile("A\r\nB\r\r\n"), ab);
    EXPECT_EQ(encodeFile(""), Bytes({0x00, 0x80, 0x8D}));

    Bytes split(255, 0xD8);
    split.push_back(0x8D);
    split.insert(split.end(), 45, 0xD8);
    for (uint8_t b : {0x8D, 0x00, 0x80, 0x8D})
        split.push_back(b);
    EXPECT_EQ(encodeFile(std::string(300, 'X') + "\n"), split);

    // A line end right after a full read of 255 characters goes with it: no ";" line of its own.
    auto lines = [](std::initializer_list<Bytes> encoded) {
        Bytes all;
        for (const Bytes& line : encoded) {
            all.insert(all.end(), line.begin(), line.end());
            all.push_back(0x8D);
        }
        all.insert(all.end(), {0x00, 0x80, 0x8D});
        return all;
    };
    const Bytes x255(255, 0xD8);
    const std::string text255(255, 'X');
    EXPECT_EQ(encodeFile(text255 + "\n"), lines({x255}));
    EXPECT_EQ(encodeFile(text255 + "\r\n"), lines({x255}));
    EXPECT_EQ(encodeFile(text255 + "\r\r"), lines({x255}));
    EXPECT_EQ(encodeFile(text255.substr(1) + "\r\n"), lines({Bytes(254, 0xD8)}));
    EXPECT_EQ(encodeFile(text255 + text255 + "\nA\n"), lines({x255, x255, {0xC1}}));
    // A CR that text follows is text: it begins the next piece.
    EXPECT_EQ(encodeFile(text255 + "\rY\n"), lines({x255, {0x8D, 0xD9}}));
}

TEST(Encoder, StopsAtTheEndOfItsBuffer)
{
    EXPECT_EQ(encodeFile("A\nB\n", 7).size(), 7u);
    EXPECT_EQ(encodeFile("A\nB\n", 6), Bytes{0xEE});
    EXPECT_EQ(encodeFile("A\nBCD\n", 7), Bytes{0xEE}); // refused in the middle of a line
    EXPECT_EQ(encodeFile("AB\n", 4), Bytes{0xEE});
}
