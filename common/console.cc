#include "console.h"

#include "program.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <stdio_ext.h>
#include <sys/time.h>
#include <termios.h>
#include <unistd.h>

char Ans[AnsSize];
std::FILE* LogFilePtr = nullptr;
std::FILE* SumFilePtr = nullptr;

namespace {

struct LineRead {
    int length;  // after the line end is stripped; -1 when nothing was read
    bool filled; // the read stopped at the buffer's end, before any line feed
};

// One read of the standard line reader, then every trailing CR and LF goes.
LineRead readLine(std::span<char> buffer, std::FILE* stream)
{
    if (buffer.size() < 2 || std::fgets(buffer.data(), static_cast<int>(buffer.size()), stream) == nullptr)
        return {-1, false};
    size_t length = std::strlen(buffer.data());
    const bool filled = length == buffer.size() - 1 && buffer[length - 1] != '\n';
    while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n'))
        buffer[--length] = '\0';
    return {static_cast<int>(length), filled};
}

// Keys typed while the program worked must not satisfy the pause. Only a
// terminal's input is dropped: piped answers are the script's next answers,
// and dropping them would make a scripted run depend on timing.
void discardPendingInput()
{
    if (isatty(STDIN_FILENO) == 0)
        return;
    __fpurge(stdin);
    tcflush(STDIN_FILENO, TCIFLUSH);
}

void pauseWith(const char* prompt, const char* after)
{
    if (argumentForm())
        return;
    discardPendingInput();
    std::fflush(stdout);
    std::fputs(prompt, stdout);
    std::fflush(stdout);
    char reply[2];
    Gets(reply, stdin);
    std::fputs(after, stdout);
    std::fflush(stdout);
}

// Called when Ans filled up before a line feed came. Returns whether the
// line went on; if so its rest is read and dropped, so that it is never
// taken as the next answer.
bool lineWentOn()
{
    int ch = std::getchar();
    if (ch == '\r') // a CR LF ending just past the buffer
        ch = std::getchar();
    if (ch == EOF || ch == '\n')
        return false;
    while (ch != EOF && ch != '\n')
        ch = std::getchar();
    return true;
}

void refuseLongAnswer(int maxLength, std::string_view hint)
{
    Ans[0] = '\0';
    reportFailure("\nError, that answer is longer than %d characters; please enter a shorter one.\n%.*s",
                  maxLength, static_cast<int>(hint.size()), hint.data());
}

// The argument form's answer: the next argument, taken whole.
int askArgument(int maxLength, std::string_view hint)
{
    Ans[0] = '\0';
    const std::string_view answer = nextArgumentAnswer();
    if (answer.size() > static_cast<size_t>(maxLength)) {
        refuseLongAnswer(maxLength, hint);
        return 0;
    }
    std::copy(answer.begin(), answer.end(), Ans);
    Ans[answer.size()] = '\0';
    return static_cast<int>(answer.size());
}

} // namespace

int Gets(std::span<char> buffer, std::FILE* stream)
{
    return readLine(buffer, stream).length;
}

void Pause()
{
    pauseWith("\n\nPress <cr> to continue ...  ", "\n\n");
}

void myPause()
{
    pauseWith("\nPress <cr> to continue ...  ", "\n");
}

int Ask(std::string_view prompt, int maxLength, bool echoLineFeed, std::string_view hint)
{
    if (argumentForm())
        return askArgument(maxLength, hint);
    for (;;) {
        std::fwrite(prompt.data(), 1, prompt.size(), stdout);
        std::fflush(stdout);

        const LineRead read = readLine(Ans, stdin);
        if (read.length < 0)
            Ans[0] = '\0';
        const bool tooLong = (read.filled && lineWentOn()) || read.length > maxLength;
        if (echoLineFeed)
            std::fputs("\n", stdout);
        if (!tooLong)
            return static_cast<int>(std::strlen(Ans));
        refuseLongAnswer(maxLength, hint);
        std::fflush(stdout);
    }
}

void copyAnswer(std::span<char> dest)
{
    if (dest.empty())
        return;
    const size_t length = std::min(std::strlen(Ans), dest.size() - 1);
    std::memcpy(dest.data(), Ans, length);
    dest[length] = '\0';
}

int readConfigLine(std::span<char> dest, std::FILE* stream)
{
    static char line[512];
    for (;;) {
        const int length = Gets(line, stream);
        if (length < 0)
            return -1;
        if (line[0] == '\0' || line[0] == '#' || line[0] == '*')
            continue;
        if (dest.empty())
            return length;
        line[std::min(dest.size() - 1, sizeof line - 1)] = '\0';
        std::memcpy(dest.data(), line, std::strlen(line) + 1);
        return length;
    }
}

void get_time_date(TimeRecord& record)
{
    timeval now{};
    gettimeofday(&now, nullptr);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    record.seconds = local.tm_sec;
    record.minutes = local.tm_min;
    record.hours = local.tm_hour;
    record.day = local.tm_mday;
    record.month = local.tm_mon + 1;
    record.year = local.tm_year - 100;
}

namespace {

void emit(std::FILE* stream, const char* prefix, const char* text)
{
    if (stream == nullptr)
        return;
    std::fprintf(stream, "%s%s", prefix, text);
    std::fflush(stream);
}

} // namespace

void info(const char* text, int flags)
{
    char prefix[32] = "";
    if (flags & InfoTime) {
        timeval now{};
        gettimeofday(&now, nullptr);
        std::tm local{};
        localtime_r(&now.tv_sec, &local);
        std::snprintf(prefix, sizeof prefix, "(%02d:%02d:%02d.%03d) ", local.tm_hour, local.tm_min, local.tm_sec,
                      static_cast<int>(now.tv_usec / 1000));
    }
    if (flags & InfoConsole)
        emit(stdout, prefix, text);
    if (flags & InfoLog)
        emit(LogFilePtr, prefix, text);
    if (flags & InfoSummary)
        emit(SumFilePtr, prefix, text);
}
