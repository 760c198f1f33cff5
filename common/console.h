// The console dialogue every program of the suite holds: line input, the
// press-<cr> pause, asking a question, reading control files line by line,
// the message sink and the clock.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>

// The answer to the current question; every new question overwrites it.
inline constexpr int AnsSize = 256;
extern char Ans[AnsSize];

// Reads one line of at most buffer.size()-1 characters and strips every
// trailing CR and LF. Returns the remaining length, or -1 when nothing could
// be read (end of input or read error).
int Gets(std::span<char> buffer, std::FILE* stream);

// The press-<cr> stop: "\n\nPress <cr> to continue ...  ", one character of
// the answer read (and its line feed, for an empty line), then two line
// feeds. Passed over when the answers come from the command line.
void Pause();

// The variant with one leading line feed and one line feed after the answer.
void myPause();

// Prints the prompt, flushes it, and reads the answer into Ans. When
// echoLineFeed is set, one line feed is printed after the answer.
//
// End of input counts as an empty answer (Ans is emptied, so an earlier
// answer is never taken again). An answer longer than maxLength characters
// is refused with a one-line message naming the limit (followed by hint,
// when one is given); the rest of its line is discarded and the question is
// asked again. Returns the length of the accepted answer, 0 when empty.
//
// In the argument form (see program.h) no prompt or line feed is printed:
// the answer is the next argument, an empty one once they are used up or
// once a failure has ended the run, and an over-long one is such a failure.
int Ask(std::string_view prompt, int maxLength, bool echoLineFeed = true, std::string_view hint = {});

// Copies the answer in Ans into dest, cut to dest.size()-1 characters (Ask's
// length limit keeps an accepted answer from being cut).
void copyAnswer(std::span<char> dest);

// Returns the next line of a control file whose first character is not the
// string end, '#' or '*', cut to dest.size()-1 characters and copied into
// dest. The result is the length of the whole line as read (not the cut
// length), or -1 when the input ends first; dest is then left unchanged.
// Lines longer than 511 characters are read in pieces of 511.
int readConfigLine(std::span<char> dest, std::FILE* stream);

// Local date and time as the small integers the catalog time stamps need.
struct TimeRecord {
    int32_t seconds; // 0-60
    int32_t minutes; // 0-59
    int32_t hours;   // 0-23
    int32_t day;     // 1-31
    int32_t month;   // 1-12
    int32_t year;    // year minus 2000
};

// Fills record with the current local time.
void get_time_date(TimeRecord& record);

// The message sink. Streams for flags 4 and 8; no program opens them, they
// stay unset until one does.
extern std::FILE* LogFilePtr;
extern std::FILE* SumFilePtr;

enum InfoFlags {
    InfoConsole = 1, // print on standard output
    InfoTime = 2,    // prefix "(hh:mm:ss.mmm) " in local time
    InfoLog = 4,     // write to LogFilePtr
    InfoSummary = 8, // write to SumFilePtr
};

// Writes text (which carries its own line feeds) where flags say. An unset
// stream is passed over rather than written to.
void info(const char* text, int flags);
