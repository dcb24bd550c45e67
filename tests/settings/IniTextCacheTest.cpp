#include "settings/IniTextCache.h"

#include "settings/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vx {
namespace {

constexpr std::int64_t kSecond = 1'000'000'000;

const FileStamp kRead{8, 1234, 190, 1'800'000'000, 500};
// Read five seconds after the file last changed.
const std::int64_t kLongAfter = kRead.changedSeconds * kSecond + kRead.changedNanoseconds + 5 * kSecond;

TEST(IniTextCache, KeepsTheTextOnlyWhileEveryPartOfTheStampStaysTheSame)
{
    struct Case {
        const char* what;
        FileStamp now;
        bool kept;
    };
    const auto with = [](auto change) {
        FileStamp s = kRead;
        change(s);
        return s;
    };
    const Case cases[] = {
        {"unchanged", kRead, true},
        {"another device", with([](FileStamp& s) { s.device = 9; }), false},
        {"another inode (a file renamed over it)", with([](FileStamp& s) { s.inode = 1235; }), false},
        {"another size", with([](FileStamp& s) { s.size = 191; }), false},
        {"changed a second later", with([](FileStamp& s) { s.changedSeconds += 1; }), false},
        {"changed within the same second", with([](FileStamp& s) { s.changedNanoseconds += 1; }), false},
    };
    for (const Case& c : cases) {
        IniTextCache cache;
        cache.Keep("/p/velmorax.ini", kRead, "[Setting]\nYearOrClock=Clock\n", kLongAfter);
        const std::string* text = cache.Find("/p/velmorax.ini", c.now);
        EXPECT_EQ(text != nullptr, c.kept) << c.what;
        if (text) {
            EXPECT_EQ(*text, "[Setting]\nYearOrClock=Clock\n");
        }
    }
}

TEST(IniTextCache, TrustsNoTextOfAFileChangedJustBeforeItWasReadNorOfAnotherPathNorAfterForget)
{
    const std::int64_t changedAt = kRead.changedSeconds * kSecond + kRead.changedNanoseconds;
    struct Case {
        const char* what;
        std::int64_t readAt;
        const char* asked;
        bool forget;
        bool kept;
    };
    const Case cases[] = {
        {"read as it changed", changedAt, "/p/velmorax.ini", false, false},
        {"read just short of the margin", changedAt + IniTextCache::kRecentNanoseconds - 1, "/p/velmorax.ini", false,
         false},
        {"read at the margin", changedAt + IniTextCache::kRecentNanoseconds, "/p/velmorax.ini", false, true},
        {"changed after the clock's reading (a clock set back)", changedAt - kSecond, "/p/velmorax.ini", false, false},
        {"another file", kLongAfter, "/q/velmorax.ini", false, false},
        {"forgotten", kLongAfter, "/p/velmorax.ini", true, false},
    };
    for (const Case& c : cases) {
        IniTextCache cache;
        cache.Keep("/p/velmorax.ini", kRead, "text", c.readAt);
        if (c.forget)
            cache.Forget();
        EXPECT_EQ(cache.Find(c.asked, kRead) != nullptr, c.kept) << c.what;
    }
}

#ifndef _WIN32
// Windows keeps no change time: every read goes to the file there.

// Rewrites the file where it stands, keeping its inode, as an editor that saves in place does.
void OverwriteInPlace(const std::string& path, const std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

std::int64_t ChangeSecond(const std::string& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_ctim.tv_sec;
}

TEST(IniFileReads, SeeEveryHandEditBetweenTwoReadsEvenOneOfTheSameSizeInTheSameSecond)
{
    test::TempDir dir;
    const std::string path = dir.file("velmorax.ini");
    dir.write("velmorax.ini", "[Setting]\nYearOrClock=Year\n");
    EXPECT_EQ(IniGet(path, "Setting", "YearOrClock"), "Year");
    // Same size, in place, within the second of the read before.
    OverwriteInPlace(path, "[Setting]\nYearOrClock=Yeaz\n");
    EXPECT_EQ(IniGet(path, "Setting", "YearOrClock"), "Yeaz");
    OverwriteInPlace(path, "[Setting]\nYearOrClock=Clock\n");
    EXPECT_EQ(IniGet(path, "Setting", "YearOrClock"), "Clock");
    // Replaced by a new file under the same name.
    dir.write("velmorax.ini.new", "[Setting]\nYearOrClock=Clocc\n");
    ASSERT_EQ(std::rename(dir.file("velmorax.ini.new").c_str(), path.c_str()), 0);
    EXPECT_EQ(IniGet(path, "Setting", "YearOrClock"), "Clocc");
    // The program's own write.
    ASSERT_TRUE(IniSet(path, "Setting", "YearOrClock", "Year"));
    EXPECT_EQ(IniGet(path, "Setting", "YearOrClock"), "Year");
    // Gone: every reader sees its default again.
    ASSERT_EQ(std::remove(path.c_str()), 0);
    EXPECT_EQ(IniGet(path, "Setting", "YearOrClock"), std::nullopt);
}

TEST(IniFileReads, SeeASameSizeEditInTheSameSecondOfAFileReadLongAfterItsLastChange)
{
    test::TempDir dir;
    const std::string path = dir.file("velmorax.ini");
    dir.write("velmorax.ini", "[Color]\nClock=16752640\n");
    // Long enough for the kept text to be trusted: from here on only the stamp tells an edit.
    std::this_thread::sleep_for(std::chrono::nanoseconds(IniTextCache::kRecentNanoseconds + kSecond / 10));
    EXPECT_EQ(IniGet(path, "Color", "Clock"), "16752640");
    EXPECT_EQ(IniGet(path, "Color", "Clock"), "16752640");
    for (const char* value : {"16752641", "16752642", "00000255"}) {
        const std::int64_t before = ChangeSecond(path);
        OverwriteInPlace(path, std::string("[Color]\nClock=") + value + "\n");
        EXPECT_EQ(IniGet(path, "Color", "Clock"), value)
            << (ChangeSecond(path) == before ? "in the same second" : "in the next second");
    }
}

#endif

} // namespace
} // namespace vx
