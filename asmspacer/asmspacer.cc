// The spacer's dialogue (a directory once, then one file after another) and
// the copy of one file.
#include "asmspacer.h"

#include "console.h"
#include "files.h"
#include "output_file.h"
#include "program.h"

#include <cstdio>

namespace {

constexpr int NameSize = 31;     // a file name of 30 characters
constexpr int FilePathSize = 31; // a path of 30 characters, the output path included
// The output path is directory "/" name "T", so directory and name share 28 characters.
constexpr int DirectoryAndNameLimit = FilePathSize - 1 - 2;

// The path limits are tight, so every refusal says how to keep paths short.
constexpr const char* ShortPathHint =
    "Hint: change to the files' directory first and answer . as the directory; that keeps paths short.\n";

char Directory[PathSize];
char FileName[NameSize];
char InputPath[FilePathSize];
char OutputPath[FilePathSize];
OutputFile Output;

// Large stream buffers: the copy goes through the C library's streams.
char InputBuffer[65536];
char OutputBuffer[65536];

constexpr size_t PieceLength = 255; // a line as one read of a 256-byte line buffer
char Piece[PieceLength];

// Reads the next piece of a line into Piece and returns its length, or -1
// when the input is done (at its end, or at a read error: nothing past one
// is read, though a line cut off by it is still given). heldReturns counts
// the CRs read but not yet known to be text rather than the line's end.
//
// A line ends at LF or at the end of the input, and the run of CRs just
// before that end goes with it; a CR inside a line is text, and so is a NUL.
// A longer line comes as pieces of 255 and a shorter rest; a line whose
// length is a multiple of 255 gives no empty piece after it.
int readPiece(std::FILE* in, size_t& heldReturns)
{
    if (std::ferror(in))
        return -1;
    size_t length = 0;
    bool lineStarted = heldReturns > 0; // held CRs come from a piece cut off in front of more text
    for (;;) {
        const int ch = std::getc(in);
        if (ch == EOF || ch == '\n') {
            heldReturns = 0;
            return ch == EOF && !lineStarted ? -1 : static_cast<int>(length);
        }
        lineStarted = true;
        if (ch == '\r') {
            ++heldReturns;
            continue;
        }
        // More text follows, so the held CRs were text too.
        for (; heldReturns > 0 && length < PieceLength; --heldReturns)
            Piece[length++] = '\r';
        if (length == PieceLength) { // the piece is full: the character starts the next one
            std::ungetc(ch, in);
            return static_cast<int>(length);
        }
        Piece[length++] = static_cast<char>(ch);
    }
}

// Forms "dir/name" and "dir/nameT". Returns false, leaving both empty, when
// either would not fit: a path is never cut.
bool formPaths()
{
    const int input = std::snprintf(InputPath, sizeof InputPath, "%s/%s", Directory, FileName);
    const int output = std::snprintf(OutputPath, sizeof OutputPath, "%s/%sT", Directory, FileName);
    if (input >= 0 && output >= 0 && output < FilePathSize)
        return true;
    InputPath[0] = '\0';
    OutputPath[0] = '\0';
    return false;
}

// Asks until the name fits beside the directory. Returns false on an empty answer.
bool askForFileName()
{
    for (;;) {
        if (Ask("\nEnter raw ASM text file to process:  ", NameSize - 1, true, ShortPathHint) == 0)
            return false;
        copyAnswer(FileName);
        if (formPaths())
            return true;
        reportFailure("\nError, directory and file name together are longer than %d characters; "
                      "please enter a shorter name.\n%s",
                      DirectoryAndNameLimit, ShortPathHint);
    }
}

// Closes the input and puts the output in place, or after a failed write
// gives it up, leaving an existing output as it was. A failure to put it in
// place loses the text, so it is reported.
void closeFiles(std::FILE* in, bool writeFailed)
{
    std::fclose(in);
    if (writeFailed)
        abandonOutput(Output);
    else if (commitOutput(Output).failed())
        reportSetback("\nError in writing to output file '%s'.\n\n", OutputPath);
}

} // namespace

SpaceResult spaceFile(std::FILE* in, std::FILE* out)
{
    SpacerState state;
    size_t heldReturns = 0;
    for (int length; (length = readPiece(in, heldReturns)) >= 0;) {
        const std::string_view line(Piece, static_cast<size_t>(length));
        if (startsGroup(line, state))
            std::fputs(";\n", out);
        // Only the line's text is tested; a failed write before it shows here too.
        if (std::fwrite(line.data(), 1, line.size(), out) != line.size() || std::ferror(out))
            return SpaceResult::WriteFailed;
        std::fputc('\n', out);
    }
    // What was read before a read error is still written out.
    if (std::fflush(out) != 0)
        return SpaceResult::WriteFailed;
    return std::ferror(in) ? SpaceResult::ReadFailed : SpaceResult::Done;
}

int asmspacerMain()
{
    if (Ask("\nEnter path of raw ASM text files directory:  ", PathSize - 1, true, ShortPathHint) == 0)
        return ExitOk;
    copyAnswer(Directory);

    while (askForFileName()) {
        std::printf("\nProcessing file '%s'\n\n", InputPath);
        std::printf("\n  Creating file '%s'\n\n", OutputPath);
        std::fflush(stdout);

        // A directory opens for reading but has no text; it is no input file.
        std::FILE* in = isDirectory(InputPath) ? nullptr : std::fopen(InputPath, "rb");
        if (in == nullptr) {
            reportCallFailure("open", "input", InputPath);
            Pause();
            return ExitOk;
        }
        // The output replaces the file of its name; when it is the input under another name, that loses the input.
        if (refuseSameFile(InputPath, OutputPath,
                           "\nError, output file '%s' is the input file itself; it is left as it is.\n\n")) {
            std::fclose(in);
            Pause();
            return ExitOk;
        }
        // Written beside the output, which it replaces once it is whole.
        if (openOutput(Output, OutputPath, OutputUse::Stream).failed()) {
            reportCallFailure("open", "output", OutputPath);
            std::fclose(in);
            Pause();
            return ExitOk;
        }
        std::FILE* out = Output.stream;
        std::setvbuf(in, InputBuffer, _IOFBF, sizeof InputBuffer);
        std::setvbuf(out, OutputBuffer, _IOFBF, sizeof OutputBuffer);

        const SpaceResult result = spaceFile(in, out);
        if (result == SpaceResult::WriteFailed)
            reportSetback("\nError in writing to output file '%s'.\n\n", OutputPath);
        else if (result == SpaceResult::ReadFailed)
            reportSetback("\nError in reading input file '%s'; the output file holds the lines before it.\n\n",
                          InputPath);
        closeFiles(in, result == SpaceResult::WriteFailed);
        Pause();
    }
    Pause();
    return ExitOk;
}
