#include "moon/MoonTable.h"
#include "moon/UserMoonTable.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

namespace vx {
namespace {

using test::TempDir;

// A fixed offset from UTC, without daylight saving: enough to tell one zone's table from another's.
LocalClockOf FixedOffset(int hours)
{
    return [hours](std::int64_t seconds) {
        const std::int64_t local = seconds + hours * 3600;
        // Days since 1970-01-01 to a civil date (H. Hinnant's algorithm).
        std::int64_t z = (local >= 0 ? local : local - 86399) / 86400 + 719468;
        const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
        const std::int64_t doe = z - era * 146097;
        const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
        const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
        const std::int64_t mp = (5 * doy + 2) / 153;
        const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
        const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
        const int year = static_cast<int>(yoe + era * 400 + (month <= 2));
        const int hour = static_cast<int>(((local % 86400) + 86400) % 86400 / 3600);
        return ClockReading{year, month, day, hour};
    };
}

class UserMoonTableTest : public ::testing::Test {
protected:
    std::string Dir() const { return dir.str() + "/"; }
    UserMoonTableOutcome Prepare(const std::string& zone, int offset)
    {
        return PrepareUserMoonTable(Dir(), zone, FixedOffset(offset));
    }
    TempDir dir;
};

TEST_F(UserMoonTableTest, AMissingTableIsWrittenForTheZoneFrom1900To2100AndTheZoneRecorded)
{
    EXPECT_EQ(Prepare("Asia/Tokyo", 9).kind, UserMoonTableOutcome::Written);
    EXPECT_EQ(dir.read("moondata.zone"), "Asia/Tokyo\n");
    const std::string table = dir.read("moondata.dat");
    EXPECT_EQ(table.rfind("1900/01/01 ", 0), 0u) << "the first new moon of 1900 fell on 1 January";
    EXPECT_NE(table.find("\n2026/12/09 09\n"), std::string::npos) << "9 December 2026, 9 in the morning in Tokyo";
    EXPECT_EQ(table.substr(table.size() - 14, 5), "2100/") << "the last line is of 2100";
    EXPECT_EQ(dir.names(), (std::set<std::string>{"moondata.dat", "moondata.zone"})) << "no temporary file is left";

    // The program reads it back as a table of about 2487 lunations.
    MoonTable moon;
    const MoonTable::LoadResult loaded = moon.Load(dir.file("moondata.dat"));
    EXPECT_EQ(loaded.skippedLines, 0u);
    EXPECT_NEAR(static_cast<double>(loaded.records), 201 * 365.2425 / 29.530589, 2.0);
}

TEST_F(UserMoonTableTest, ATableForThePresentZoneIsKeptAndOneForAnotherIsWrittenAgain)
{
    ASSERT_EQ(Prepare("Asia/Tokyo", 9).kind, UserMoonTableOutcome::Written);
    const std::string tokyo = dir.read("moondata.dat");
    EXPECT_EQ(Prepare("Asia/Tokyo", 9).kind, UserMoonTableOutcome::Kept);
    EXPECT_EQ(dir.read("moondata.dat"), tokyo);

    EXPECT_EQ(Prepare("Etc/UTC", 0).kind, UserMoonTableOutcome::Written);
    EXPECT_EQ(dir.read("moondata.zone"), "Etc/UTC\n");
    const std::string utc = dir.read("moondata.dat");
    EXPECT_NE(utc, tokyo);
    EXPECT_NE(utc.find("\n2026/12/09 00\n"), std::string::npos) << "the same new moon nine hours earlier";
}

TEST_F(UserMoonTableTest, ATableWithoutAZoneFileIsTheUsersOwnAndIsLeftAlone)
{
    dir.write("moondata.dat", "2026/12/09 09\n2027/01/08 05\n");
    EXPECT_EQ(Prepare("Asia/Tokyo", 9).kind, UserMoonTableOutcome::Kept);
    EXPECT_EQ(dir.read("moondata.dat"), "2026/12/09 09\n2027/01/08 05\n");
    EXPECT_FALSE(dir.exists("moondata.zone"));
}

TEST_F(UserMoonTableTest, AFolderThatCannotBeWrittenIsReportedAndLeavesNothingBehind)
{
    const UserMoonTableOutcome outcome =
        PrepareUserMoonTable(dir.file("missing-folder") + "/", "Asia/Tokyo", FixedOffset(9));
    EXPECT_EQ(outcome.kind, UserMoonTableOutcome::Failed);
    EXPECT_NE(outcome.error.find("moondata.dat"), std::string::npos) << outcome.error;
    EXPECT_TRUE(dir.names().empty());
}

// The tool knows zones by name only on POSIX (see tests/moon/CMakeLists.txt).
#ifndef _WIN32
TEST_F(UserMoonTableTest, IsTheTableTheMoondataToolWritesForTheSameZone)
{
    ASSERT_EQ(Prepare("Etc/UTC", 0).kind, UserMoonTableOutcome::Written);
    const std::string command = "\"" VX_MOONDATA_EXE "\" --tz Etc/UTC --out \"" + dir.file("tool.dat") + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(dir.read("tool.dat"), dir.read("moondata.dat"));
}
#endif

TEST_F(UserMoonTableTest, WritingTheTableTakesWellUnderASecond)
{
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(PrepareUserMoonTable(Dir(), "Asia/Tokyo", LocalReading).kind, UserMoonTableOutcome::Written);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // Checked against the program's start-up; sanitizer builds are several times slower.
    EXPECT_LT(seconds, 0.5);
    std::printf("moon table for 1900-2100 written in %.1f ms\n", seconds * 1000.0);
}

} // namespace
} // namespace vx
