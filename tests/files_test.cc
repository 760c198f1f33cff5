// The path helpers and the same-file test.
#include "files.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

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
    EXPECT_TRUE(isDirectory(dir.path().c_str()));
    EXPECT_FALSE(isDirectory(dir.file("a").c_str()));
    EXPECT_FALSE(isDirectory(dir.file("missing").c_str()));
}

} // namespace
