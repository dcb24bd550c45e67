#include "base/FileAccess.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace vx {
namespace {

TEST(FileAccess, EveryReadAnswersDoneMissingOrFailed)
{
    test::TempDir dir;
    dir.write("small.ini", "[a]\nb=c\n");
    dir.write("big.ini", std::string(100, 'x'));
    ASSERT_EQ(::mkfifo(dir.file("pipe.ini").c_str(), 0600), 0);
    const struct {
        std::string path;
        FileResult result;
    } cases[] = {
        {dir.file("small.ini"), FileResult::Done},
        {dir.file("none.ini"), FileResult::Missing},
        {dir.file("small.ini") + "/below", FileResult::Missing}, // a file where a folder should be
        {dir.str(), FileResult::Failed},                         // a folder
        {dir.file("pipe.ini"), FileResult::Failed},              // never waits for a writer
        {dir.file("big.ini"), FileResult::Failed},               // beyond the limit
    };
    for (const auto& c : cases) {
        std::string bytes;
        EXPECT_EQ(ReadWholeFile(PathFromUtf8(c.path), bytes, 99), c.result) << c.path;
        if (c.result == FileResult::Done) {
            EXPECT_EQ(bytes, "[a]\nb=c\n");
        }
    }
}

TEST(FileAccess, ReplacingKeepsTheModeAndAFailedReplacementLeavesNothingBehind)
{
    test::TempDir dir;
    const std::filesystem::path file = dir.path() / "velmorax.ini";
    EXPECT_EQ(ReplaceFile(file, "one", false, false), FileResult::Done);
    ASSERT_EQ(::chmod(file.c_str(), 0604), 0);
    EXPECT_EQ(ReplaceFile(file, "two", true, true), FileResult::Done);
    EXPECT_EQ(dir.read("velmorax.ini"), "two");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    EXPECT_EQ(ReplaceFile(dir.path() / "no" / "such.ini", "three", false, false), FileResult::Failed);
    EXPECT_FALSE(dir.exists("no"));
    EXPECT_EQ(FolderOf("velmorax.ini"), ".");
}

} // namespace
} // namespace vx
