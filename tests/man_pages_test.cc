// The manual pages in man/: each renders without a warning, installs where
// man finds it, and explains every message its program's code can print.
//
// Which messages a program can print: every string literal (adjacent
// literals joined, escapes decoded) in the files of its own folder and in
// the common/*.cc files it reaches through its #include lines, transitively.
// A helper's own files are tools/NAME.cc and the tools/ files its includes
// reach; it takes no dialogue and never saves an image, so the console's and
// the image model's files are not followed for it (the few load messages it
// does print are written into its page all the same).
// A literal counts as a message when, with its white space normalised, it
// holds a blank and a letter: that takes in every prompt, message and trace
// line, and leaves out file modes ("r+"), separators (":  ") and single
// words the rules compare with ("lda"). The few literals this lets in that
// are input syntax or file text ("unsigned char", the length line of
// bin2array) are documented in the pages too, so they must appear as well.
//
// How a message is found in its page: the page is rendered as plain text on
// one very long line per paragraph (so nothing is hyphenated or broken), and
// white space is normalised in both. Each printf conversion (%s, %d, %02x,
// %.*s, ...) is a wildcard for up to WildcardSpan characters, so the page may
// show a placeholder or a real value there; %% is a literal %.
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path SourceDir = SUITE_SOURCE_DIR;
const std::string BinaryDir = SUITE_BINARY_DIR;
const std::string CmakeCommand = SUITE_CMAKE_COMMAND;

constexpr std::array<const char*, 15> Programs{"dskrecord", "dskputdos",  "asmspacer",  "array2bin", "mempatch",
                                               "casediff",  "bin2array",  "aiffverify", "dskblank",  "dskcatalog",
                                               "dskextract", "dskdelete", "dskcheck",  "dskputbin", "dskgetdos"};
constexpr std::array<const char*, 7> Helpers{"dskblank",  "dskcatalog", "dskextract", "dskdelete",
                                             "dskcheck",  "dskputbin",  "dskgetdos"};

bool isHelper(const std::string& name)
{
    return std::find(Helpers.begin(), Helpers.end(), name) != Helpers.end();
}
constexpr size_t WildcardSpan = 64;

struct Command {
    std::string output;
    int status = -1;
};

// Runs a shell command and returns what it printed on standard output.
Command run(const std::string& command)
{
    Command result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, got);
    result.status = pclose(pipe);
    return result;
}

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char ch : text)
        out += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return out + "'";
}

bool haveCommand(const std::string& name)
{
    return run("command -v " + name + " >/dev/null 2>&1").status == 0;
}

std::string pagePath(const std::string& program)
{
    return (SourceDir / "man" / (program + ".1")).string();
}

std::string normaliseSpace(const std::string& text)
{
    std::string out;
    bool blank = false;
    for (char ch : text) {
        if (std::isspace(static_cast<unsigned char>(ch)) != 0) {
            blank = !out.empty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += ch;
    }
    return out;
}

// ---- String literals of C++ sources

char escapeValue(char ch)
{
    switch (ch) {
    case 'n': return '\n';
    case 't': return '\t';
    case 'r': return '\r';
    case '0': return '\0';
    case 'a': return '\a';
    case 'f': return '\f';
    case 'v': return '\v';
    default: return ch; // \\ \" \' \?
    }
}

// Every string literal of source, adjacent ones joined. Comments, character
// literals and preprocessor lines are passed over.
std::vector<std::string> stringLiterals(const std::string& source)
{
    std::vector<std::string> literals;
    std::string joined;
    bool joining = false;
    auto finish = [&]() {
        if (joining)
            literals.push_back(joined);
        joined.clear();
        joining = false;
    };
    bool lineStart = true;
    for (size_t i = 0; i < source.size();) {
        const char ch = source[i];
        if (source.compare(i, 2, "//") == 0) {
            i = source.find('\n', i);
            if (i == std::string::npos)
                break;
            continue;
        }
        if (source.compare(i, 2, "/*") == 0) {
            const size_t end = source.find("*/", i + 2);
            i = end == std::string::npos ? source.size() : end + 2;
            continue;
        }
        if (ch == '\n') {
            lineStart = true;
            ++i;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(ch)) != 0) {
            ++i;
            continue;
        }
        if (lineStart && ch == '#') {
            finish();
            i = source.find('\n', i);
            if (i == std::string::npos)
                break;
            continue;
        }
        lineStart = false;
        if (ch == 'R' && i + 1 < source.size() && source[i + 1] == '"') {
            const size_t open = source.find('(', i + 2);
            const std::string close = ")" + source.substr(i + 2, open - (i + 2)) + "\"";
            const size_t end = source.find(close, open);
            joined += source.substr(open + 1, end - open - 1);
            joining = true;
            i = end + close.size();
            continue;
        }
        if (ch == '"' || ch == '\'') {
            std::string text;
            size_t j = i + 1;
            while (j < source.size() && source[j] != ch) {
                if (source[j] == '\\' && j + 1 < source.size()) {
                    text += escapeValue(source[j + 1]);
                    j += 2;
                } else {
                    text += source[j++];
                }
            }
            i = j + 1;
            if (ch == '"') {
                joined += text;
                joining = true;
            } else {
                finish();
            }
            continue;
        }
        finish();
        ++i;
    }
    finish();
    return literals;
}

std::string readSource(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The program's own sources and the sources its includes reach: in common/,
// and for a helper in tools/ too.
std::vector<fs::path> sourcesOf(const std::string& program)
{
    std::vector<fs::path> files;
    const bool helper = isHelper(program);
    if (helper) {
        files.push_back(SourceDir / "tools" / (program + ".cc"));
    } else {
        for (const auto& entry : fs::directory_iterator(SourceDir / program)) {
            const std::string extension = entry.path().extension().string();
            if (extension == ".cc" || extension == ".h")
                files.push_back(entry.path());
        }
    }
    std::set<fs::path> seen(files.begin(), files.end());
    const std::regex include(R"re(#include\s+"([A-Za-z0-9_]+)\.h")re");
    for (size_t k = 0; k < files.size(); ++k) {
        const std::string text = readSource(files[k]);
        for (std::sregex_iterator it(text.begin(), text.end(), include), end; it != end; ++it) {
            const std::string header = (*it)[1].str();
            if (helper && (header == "console" || header == "disk_image"))
                continue;
            for (const char* folder : {"common", "tools"}) {
                for (const char* extension : {".h", ".cc"}) {
                    const fs::path source = SourceDir / folder / (header + extension);
                    if ((helper || std::string(folder) == "common") && fs::exists(source) && seen.insert(source).second)
                        files.push_back(source);
                }
            }
        }
    }
    return files;
}

bool isMessage(const std::string& normalised)
{
    bool letter = false;
    for (char ch : normalised)
        letter = letter || std::isalpha(static_cast<unsigned char>(ch)) != 0;
    return letter && normalised.find(' ') != std::string::npos;
}

struct Message {
    std::string text; // white space normalised
    std::string file;
};

std::vector<Message> messagesOf(const std::string& program)
{
    std::vector<Message> messages;
    for (const fs::path& file : sourcesOf(program))
        for (const std::string& literal : stringLiterals(readSource(file)))
            if (const std::string text = normaliseSpace(literal); isMessage(text))
                messages.push_back({text, fs::relative(file, SourceDir).string()});
    return messages;
}

// ---- Finding a message with its conversions as wildcards

// The fixed pieces of a message, with a wildcard between each two.
std::vector<std::string> fixedPieces(const std::string& message)
{
    static const std::regex conversion(R"(%[-+ #0]*(\*|[0-9]+)?(\.(\*|[0-9]+))?(hh|h|ll|l|j|z|t|L)?[diouxXcsp])");
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < message.size();) {
        std::smatch match;
        const std::string rest = message.substr(i);
        if (rest.compare(0, 2, "%%") == 0) {
            pieces.back() += '%';
            i += 2;
        } else if (std::regex_search(rest, match, conversion, std::regex_constants::match_continuous)) {
            pieces.emplace_back();
            i += static_cast<size_t>(match.length(0));
        } else {
            pieces.back() += message[i++];
        }
    }
    // A page shows a value where the wildcard is: blanks next to one may go
    // with the value, so the pieces are trimmed there.
    for (size_t k = 0; k < pieces.size(); ++k) {
        if (k > 0 && !pieces[k].empty() && pieces[k].front() == ' ')
            pieces[k].erase(0, 1);
        if (k + 1 < pieces.size() && !pieces[k].empty() && pieces[k].back() == ' ')
            pieces[k].pop_back();
    }
    std::erase_if(pieces, [](const std::string& piece) { return piece.empty(); });
    return pieces;
}

// Whether pieces[k..] follow one another in text from position at on, with
// at most WildcardSpan characters before each.
bool piecesFollow(const std::string& text, const std::vector<std::string>& pieces, size_t k, size_t at)
{
    if (k == pieces.size())
        return true;
    for (size_t found = text.find(pieces[k], at); found != std::string::npos && found <= at + WildcardSpan;
         found = text.find(pieces[k], found + 1))
        if (piecesFollow(text, pieces, k + 1, found + pieces[k].size()))
            return true;
    return false;
}

bool pageShows(const std::string& page, const std::string& message)
{
    const std::vector<std::string> pieces = fixedPieces(message);
    if (pieces.empty())
        return true;
    for (size_t found = page.find(pieces[0]); found != std::string::npos; found = page.find(pieces[0], found + 1))
        if (piecesFollow(page, pieces, 1, found + pieces[0].size()))
            return true;
    return false;
}

// The text of one section of the rendered page (its heading at the left
// margin, up to the next heading), white space normalised.
std::string pageSection(const std::string& program, const std::string& heading)
{
    const Command render =
        run("groff -man -Tascii -P-c -P-b -P-u -rLL=30000n " + quoted(pagePath(program)) + " 2>/dev/null");
    std::istringstream lines(render.output);
    std::string text;
    bool inside = false;
    for (std::string line; std::getline(lines, line);) {
        const bool heading_line = !line.empty() && std::isupper(static_cast<unsigned char>(line[0])) != 0;
        if (heading_line && inside)
            break;
        if (inside)
            text += line + "\n";
        inside = inside || (heading_line && line == heading);
    }
    return normaliseSpace(text);
}

// The page as plain text, white space normalised.
std::string renderedPage(const std::string& program)
{
    const Command render =
        run("groff -man -Tascii -P-c -P-b -P-u -rLL=30000n " + quoted(pagePath(program)) + " 2>/dev/null");
    EXPECT_EQ(render.status, 0) << program;
    return normaliseSpace(render.output);
}

class ManPages : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(haveCommand("groff")) << "groff is needed: apt-get install groff-base (scripts/test.sh does)";
    }
};

} // namespace

TEST(ManPageRules, FindsMessagesWithConversionsAsWildcards)
{
    const std::string page = normaliseSpace("Error from stat() for diskette file 'demo.dsk'.\n"
                                            "Obtained data track = 0x22 and\n   sector = 0x0e. 100% done");
    EXPECT_TRUE(pageShows(page, "Error from stat() for diskette file '%s'."));
    EXPECT_TRUE(pageShows(page, "Obtained data track = 0x%02x and sector = 0x%02x."));
    EXPECT_TRUE(pageShows(page, "0x%02x. %d%% done"));
    EXPECT_FALSE(pageShows(page, "Error from open() for diskette file '%s'."));
    EXPECT_FALSE(pageShows(page, "Obtained data track = 0x%02x and tsSector = 0x%02x."));
    // A wildcard does not reach across the whole page.
    EXPECT_FALSE(pageShows(normaliseSpace("Error '" + std::string(200, 'x') + "'."), "Error '%s'."));
}

TEST(ManPageRules, ExtractsJoinedLiteralsAndSkipsCommentsAndIncludes)
{
    const std::string source = "#include \"ask.h\"\n"
                               "// printf(\"not this\");\n"
                               "/* nor \"this\" */\n"
                               "char c = '\"'; auto s = \"one \"\n    \"two\\n\"; puts(\"it's \\\"quoted\\\"\");\n";
    EXPECT_EQ(stringLiterals(source), (std::vector<std::string>{"one two\n", "it's \"quoted\""}));
    EXPECT_TRUE(isMessage("Enter selection:"));
    EXPECT_FALSE(isMessage("r+"));
    EXPECT_FALSE(isMessage("lda"));
    EXPECT_FALSE(isMessage("%s/%s"));
}

TEST_F(ManPages, EveryPageRendersWithoutWarnings)
{
    const bool haveMan = haveCommand("man");
    EXPECT_TRUE(haveMan) << "man is needed: apt-get install man-db (scripts/test.sh does)";
    for (const char* program : Programs) {
        const std::string page = quoted(pagePath(program));
        ASSERT_TRUE(fs::exists(pagePath(program))) << program;

        const Command groff = run("groff -man -ww -z " + page + " 2>&1");
        EXPECT_EQ(groff.status, 0) << program;
        EXPECT_EQ(groff.output, "") << program;

        // As a terminal shows it: plain ASCII, and UTF-8.
        for (const std::string locale : {"C", "C.UTF-8"}) {
            if (!haveMan)
                break;
            const std::string man = "LC_ALL=" + locale + " MANWIDTH=80 MANPAGER=cat man ";
            const Command warnings = run(man + "--warnings=w -l " + page + " 2>&1 >/dev/null");
            EXPECT_EQ(warnings.status, 0) << program << " in " << locale;
            EXPECT_EQ(warnings.output, "") << program << " in " << locale;
            const Command text = run(man + "-l " + page + " 2>/dev/null");
            EXPECT_NE(normaliseSpace(text.output).find(std::string("NAME ") + program + " - "), std::string::npos)
                << program << " in " << locale << ": no NAME line in\n" << text.output;
        }
    }
}

TEST_F(ManPages, EveryMessageOfTheCodeIsInItsPage)
{
    for (const char* program : Programs) {
        const std::vector<Message> messages = messagesOf(program);
        // Every program asks at least two questions or takes arguments, and reports failures.
        EXPECT_GE(messages.size(), 5u) << program;
        const std::string page = renderedPage(program);
        ASSERT_FALSE(page.empty()) << program;
        std::string missing;
        for (const Message& message : messages)
            if (!pageShows(page, message.text))
                missing += "  " + message.file + ": \"" + message.text + "\"\n";
        EXPECT_EQ(missing, "") << "man/" << program << ".1 does not show these messages:\n" << missing;
    }
}

// The words of a usage line's synopsis: "[-f] PATH FILE..." gives -f, PATH, FILE.
std::vector<std::string> synopsisWords(const std::string& synopsis)
{
    std::vector<std::string> words;
    std::istringstream in(synopsis);
    for (std::string word; in >> word;) {
        std::erase_if(word, [](char ch) { return ch == '[' || ch == ']'; });
        if (word.size() > 3 && word.ends_with("..."))
            word.resize(word.size() - 3);
        if (!word.empty())
            words.push_back(word);
    }
    return words;
}

// One style for every page: the SYNOPSIS shows what the program's own usage
// line shows (upper-case argument names, its options) and --help and
// --version; SEE ALSO names every program of the suite the page mentions,
// and a diskette program's page every helper; examples call installed names.
TEST_F(ManPages, PagesAgreeWithTheProgramsAndEachOther)
{
    const std::regex suiteName("\\b(" + [] {
        std::string names;
        for (const char* program : Programs)
            names += std::string(names.empty() ? "" : "|") + program;
        return names;
    }() + ")\\b");
    for (const std::string program : Programs) {
        SCOPED_TRACE(program);
        const Command help = run(quoted(BinaryDir + "/bin/" + program) + " --help");
        const std::string usage = help.output.substr(0, help.output.find('\n'));
        ASSERT_EQ(usage.rfind("usage: " + program + " ", 0), 0u) << help.output;
        std::string synopsis = pageSection(program, "SYNOPSIS");
        for (char& ch : synopsis)
            ch = ch == '[' || ch == ']' ? ' ' : ch;
        for (const std::string& word : synopsisWords(usage.substr(7 + program.size())))
            EXPECT_NE((" " + synopsis + " ").find(" " + word + " "), std::string::npos)
                << "SYNOPSIS lacks " << word << ": " << synopsis;
        for (const char* option : {"--help", "--version"})
            EXPECT_NE(synopsis.find(option), std::string::npos) << synopsis;

        const std::string page = renderedPage(program);
        const std::string seeAlso = pageSection(program, "SEE ALSO");
        for (std::sregex_iterator it(page.begin(), page.end(), suiteName), end; it != end; ++it) {
            const std::string named = (*it)[1].str();
            EXPECT_TRUE(named == program || seeAlso.find(named + "(1)") != std::string::npos) << "SEE ALSO lacks " << named;
        }
        for (const char* helper : Helpers) {
            EXPECT_TRUE(program.rfind("dsk", 0) != 0 || helper == program ||
                        seeAlso.find(std::string(helper) + "(1)") != std::string::npos)
                << "SEE ALSO lacks " << helper;
        }
        EXPECT_EQ(page.find("build/bin"), std::string::npos) << "a page calls a program in the build tree";
        EXPECT_EQ(page.find("of the suite's sources"), std::string::npos) << "a page points into the sources";
    }
}

TEST_F(ManPages, InstalledPagesAreFoundByMan)
{
    ASSERT_TRUE(haveCommand("man")) << "man is needed: apt-get install man-db (scripts/test.sh does)";
    TempDir prefix;
    const Command install = run(quoted(CmakeCommand) + " --install " + quoted(BinaryDir) +
                                " --component manpages --prefix " + quoted(prefix.path()) + " 2>&1");
    ASSERT_EQ(install.status, 0) << install.output;
    // The walk-through the pages point to is installed too.
    const Command examples = run(quoted(CmakeCommand) + " --install " + quoted(BinaryDir) +
                                 " --component examples --prefix " + quoted(prefix.path()) + " 2>&1");
    ASSERT_EQ(examples.status, 0) << examples.output;
    EXPECT_TRUE(fs::exists(prefix.path() + "/share/doc/dos33suite/examples/README.md"));
    EXPECT_TRUE(fs::exists(prefix.path() + "/share/doc/dos33suite/examples/hello.s"));
    const std::string manDir = prefix.path() + "/share/man";
    for (const char* program : Programs) {
        const Command where = run("man -M " + quoted(manDir) + " -w " + program + " 2>&1");
        EXPECT_EQ(where.status, 0) << program << ": " << where.output;
        EXPECT_EQ(where.output, manDir + "/man1/" + program + ".1\n") << program;
    }
}
