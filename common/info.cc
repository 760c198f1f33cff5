#include "info.h"

#include <ctime>
#include <sys/time.h>

std::FILE* LogFilePtr = nullptr;
std::FILE* SumFilePtr = nullptr;

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
        std::snprintf(prefix, sizeof prefix, "(%02d:%02d:%02d.%03d) ", local.tm_hour, local.tm_min,
                      local.tm_sec, static_cast<int>(now.tv_usec / 1000));
    }
    if (flags & InfoConsole)
        emit(stdout, prefix, text);
    if (flags & InfoLog)
        emit(LogFilePtr, prefix, text);
    if (flags & InfoSummary)
        emit(SumFilePtr, prefix, text);
}
