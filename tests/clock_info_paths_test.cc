// The clock helper, the message sink and the path helpers.
#include "capture.h"
#include "clock.h"
#include "info.h"
#include "paths.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <regex>
#include <string>
#include <unistd.h>

namespace {

TEST(TimeRecord, ConvertsALocalTime)
{
    std::tm local{};
    local.tm_year = 126;
    local.tm_mon = 11;
    local.tm_mday = 7;
    local.tm_hour = 8;
    local.tm_min = 5;
    local.tm_sec = 9;
    TimeRecord record{};
    timeRecordFrom(local, record);
    EXPECT_EQ(record.seconds, 9);
    EXPECT_EQ(record.minutes, 5);
    EXPECT_EQ(record.hours, 8);
    EXPECT_EQ(record.day, 7);
    EXPECT_EQ(record.month, 12);
    EXPECT_EQ(record.year, 26);
}

TEST(TimeRecord, CurrentTimeIsTodaysLocalTime)
{
    std::time_t before = std::time(nullptr);
    TimeRecord record{};
    get_time_date(record);
    std::time_t after = std::time(nullptr);
    bool matched = false;
    for (std::time_t t = before; t <= after; ++t) {
        std::tm local{};
        localtime_r(&t, &local);
        TimeRecord expected{};
        timeRecordFrom(local, expected);
        matched = matched || std::memcmp(&expected, &record, sizeof record) == 0;
    }
    EXPECT_TRUE(matched);
}

std::string contentOf(std::FILE* stream)
{
    std::rewind(stream);
    std::string text;
    int ch;
    while ((ch = std::fgetc(stream)) != EOF)
        text += static_cast<char>(ch);
    return text;
}

TEST(Info, WritesWhereTheFlagsSay)
{
    LogFilePtr = std::tmpfile();
    SumFilePtr = std::tmpfile();
    Captured run = captureConsole("", [] {
        info("plain\n", InfoConsole);
        info("stamped\n", InfoConsole | InfoTime);
        return 0;
    });
    info("to log only\n", InfoLog);
    info("to summary only\n", InfoSummary | InfoTime);
    EXPECT_TRUE(std::regex_match(run.output, std::regex("plain\n\\(\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\) stamped\n")))
        << run.output;
    EXPECT_EQ(contentOf(LogFilePtr), "to log only\n");
    EXPECT_TRUE(std::regex_match(contentOf(SumFilePtr), std::regex("\\(\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\) to summary only\n")));
    std::fclose(LogFilePtr);
    std::fclose(SumFilePtr);
    LogFilePtr = nullptr;
    SumFilePtr = nullptr;
    info("nowhere to go\n", InfoLog | InfoSummary); // unset streams are passed over
}

TEST(PathBase, KeepsTheDirectoryPart)
{
    char cases[][16] = {"a/b/c", "dir/file", "/x", "file", ""};
    const char* expected[] = {"a/b", "dir", "", "", ""};
    for (size_t i = 0; i < std::size(cases); ++i) {
        pathBase(cases[i]);
        EXPECT_STREQ(cases[i], expected[i]);
    }
}

TEST(SameFile, ComparesDeviceAndInodeNotNames)
{
    TempDir dir;
    writeText(dir.file("a"), "a");
    writeText(dir.file("b"), "a");
    ASSERT_EQ(link(dir.file("a").c_str(), dir.file("hard").c_str()), 0);
    EXPECT_TRUE(isSameFile(dir.file("a").c_str(), (dir.path() + "/./a").c_str()));
    EXPECT_TRUE(isSameFile(dir.file("a").c_str(), dir.file("hard").c_str()));
    EXPECT_FALSE(isSameFile(dir.file("a").c_str(), dir.file("b").c_str()));
    EXPECT_FALSE(isSameFile(dir.file("a").c_str(), dir.file("missing").c_str()));
    EXPECT_TRUE(isRegularFile(dir.file("a").c_str()));
    EXPECT_TRUE(isDirectory(dir.path().c_str()));
    EXPECT_FALSE(isDirectory(dir.file("a").c_str()));
    EXPECT_FALSE(isDirectory(dir.file("missing").c_str()));
    EXPECT_FALSE(isRegularFile(dir.path().c_str()));
    EXPECT_FALSE(isRegularFile(dir.file("missing").c_str()));
}

} // namespace
