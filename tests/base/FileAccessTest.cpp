#include "base/FileAccess.h"

#include "support/PlatformFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace vx {
namespace {

TEST(FileAccess, EveryReadAnswersDoneMissingOrFailed)
{
    test::TempDir dir;
    dir.write("small.ini", "[a]\nb=c\n");
    dir.write("big.ini", std::string(100, 'x'));
    const std::string device = test::NonRegularFile(dir, "pipe.ini");
    ASSERT_FALSE(device.empty());
    const struct {
        std::string path;
        FileResult result;
    } cases[] = {
        {dir.file("small.ini"), FileResult::Done},
        {dir.file("none.ini"), FileResult::Missing},
        {dir.file("small.ini") + "/below", FileResult::Missing}, // a file where a folder should be
        {dir.str(), FileResult::Failed},                         // a folder
        {device, FileResult::Failed},                            // never waits for a writer
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
#ifndef _WIN32
    ASSERT_EQ(::chmod(file.c_str(), 0604), 0);
#endif
    EXPECT_EQ(ReplaceFile(file, "two", true, true), FileResult::Done);
    EXPECT_EQ(dir.read("velmorax.ini"), "two");
    // Windows keeps no mode bits beyond read-only, and a read-only file is never replaced.
#ifndef _WIN32
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
#endif
    EXPECT_EQ(dir.names(), std::set<std::string>{"velmorax.ini"});
    EXPECT_EQ(ReplaceFile(dir.path() / "no" / "such.ini", "three", false, false), FileResult::Failed);
    EXPECT_FALSE(dir.exists("no"));
    EXPECT_EQ(FolderOf("velmorax.ini"), ".");
}

// The write for a folder that refuses new files: over the old bytes, then cut to the new length.
TEST(FileAccess, WritingInPlaceLeavesExactlyTheNewBytes)
{
    test::TempDir dir;
    const std::filesystem::path file = dir.path() / "velmorax.ini";
    dir.write("velmorax.ini", "[s]\nk=1\nlong=xxxxxxxx\n");
    EXPECT_EQ(WriteInPlace(file, "[s]\nk=22\nlong=xxxxxxxx\n"), FileResult::Done);
    EXPECT_EQ(dir.read("velmorax.ini"), "[s]\nk=22\nlong=xxxxxxxx\n");
    EXPECT_EQ(WriteInPlace(file, "[s]\nk=22\nlong=y\n"), FileResult::Done);
    EXPECT_EQ(dir.read("velmorax.ini"), "[s]\nk=22\nlong=y\n");
    EXPECT_EQ(WriteInPlace(dir.path() / "none.ini", "x"), FileResult::Failed) << "it never creates a file";
    EXPECT_EQ(dir.names(), std::set<std::string>{"velmorax.ini"});
}

} // namespace
} // namespace vx
