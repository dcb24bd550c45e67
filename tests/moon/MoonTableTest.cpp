#include "moon/MoonTable.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace vx {
namespace {

using test::TempDir;

// Three consecutive new moons of 2026 in Japan Standard Time.
const DateValue kJan19 = MakeDateValue(2026, 1, 19, 4);
const DateValue kFeb17 = MakeDateValue(2026, 2, 17, 21);
const DateValue kMar19 = MakeDateValue(2026, 3, 19, 10);
const char* const kThreeRecords = "2026/01/19 04\n2026/02/17 21\n2026/03/19 10\n";

class MoonTableTest : public ::testing::Test {
protected:
    MoonTable LoadText(const std::string& text)
    {
        dir.write("moondata.dat", text);
        MoonTable table;
        result = table.Load(dir.file("moondata.dat"));
        return table;
    }

    TempDir dir;
    MoonTable::LoadResult result;
};

TEST_F(MoonTableTest, MissingFileGivesHalfWithBothValuesZero)
{
    MoonTable table;
    result = table.Load(dir.file("moondata.dat"));
    EXPECT_FALSE(result.fileRead);
    EXPECT_EQ(table.MoonData(), std::vector<DateValue>{0.0});
    EXPECT_EQ(table.GetMoonPhase(MakeDateValue(2026, 12, 8, 14, 15)), 0.5);
    EXPECT_EQ(table.LastNewMoon(), 0.0);
    EXPECT_EQ(table.NextNewMoon(), 0.0);
}

TEST_F(MoonTableTest, EmptyOrAllGarbageFileActsLikeAMissingOne)
{
    for (const char* text : {"", "\n\n", "not a record\r\n"}) {
        SCOPED_TRACE(text);
        MoonTable table = LoadText(text);
        EXPECT_EQ(table.MoonData(), std::vector<DateValue>{0.0});
        EXPECT_EQ(table.GetMoonPhase(kFeb17), 0.5);
        EXPECT_EQ(table.LastNewMoon(), 0.0);
        EXPECT_EQ(table.NextNewMoon(), 0.0);
    }
}

TEST_F(MoonTableTest, ExactHourOfARecordIsPhaseZeroWithThatRecordAsLast)
{
    MoonTable table = LoadText(kThreeRecords);
    EXPECT_EQ(table.GetMoonPhase(kFeb17), 0.0);
    EXPECT_EQ(table.LastNewMoon(), kFeb17);
    EXPECT_EQ(table.NextNewMoon(), kMar19);
    // The first record too: equal is not later.
    EXPECT_EQ(table.GetMoonPhase(kJan19), 0.0);
    EXPECT_EQ(table.LastNewMoon(), kJan19);
}

TEST_F(MoonTableTest, HalfwayBetweenRecordsIsFullMoonAtFullBrightness)
{
    MoonTable table = LoadText(kThreeRecords);
    const double p = table.GetMoonPhase((kJan19 + kFeb17) / 2);
    EXPECT_NEAR(p, 0.5, 1e-12);
    EXPECT_NEAR(MoonTable::GetBrightRatio(p), 1.0, 1e-12);
    EXPECT_EQ(table.LastNewMoon(), kJan19);
    EXPECT_EQ(table.NextNewMoon(), kFeb17);
}

TEST_F(MoonTableTest, PhaseGrowsLinearlyAcrossALunation)
{
    MoonTable table = LoadText(kThreeRecords);
    const double span = kMar19 - kFeb17;
    EXPECT_NEAR(table.GetMoonPhase(kFeb17 + span / 4), 0.25, 1e-12);
    // Just before the next record the fraction approaches but never reaches 1.
    const double late = table.GetMoonPhase(kMar19 - 1.0 / 86400);
    EXPECT_GT(late, 0.9999);
    EXPECT_LT(late, 1.0);
}

TEST_F(MoonTableTest, AtOrAfterTheLastRecordGivesHalfWithBothValuesTheLast)
{
    MoonTable table = LoadText(kThreeRecords);
    for (DateValue t : {kMar19, kMar19 + 1.0 / 24, MakeDateValue(2100, 1, 1)}) {
        EXPECT_EQ(table.GetMoonPhase(t), 0.5);
        EXPECT_EQ(table.LastNewMoon(), kMar19);
        EXPECT_EQ(table.NextNewMoon(), kMar19);
    }
}

TEST_F(MoonTableTest, SingleRecordAndALaterTimeGivesHalf)
{
    MoonTable table = LoadText("2026/01/19 04\n");
    EXPECT_EQ(table.GetMoonPhase(kFeb17), 0.5);
    EXPECT_EQ(table.LastNewMoon(), kJan19);
    EXPECT_EQ(table.NextNewMoon(), kJan19);
}

TEST_F(MoonTableTest, BeforeTheFirstRecordGivesHalfAndForgetsTheEarlierLookup)
{
    MoonTable table = LoadText(kThreeRecords);
    // An earlier lookup leaves real values behind...
    table.GetMoonPhase(kFeb17 + 3);
    ASSERT_EQ(table.LastNewMoon(), kFeb17);
    // ...which must not turn a time before the data into a fraction of that lunation.
    const double p = table.GetMoonPhase(kJan19 - 10);
    EXPECT_EQ(p, 0.5);
    EXPECT_EQ(table.LastNewMoon(), 0.0);
    EXPECT_EQ(table.NextNewMoon(), kJan19);
}

TEST_F(MoonTableTest, TableKeepsFileOrderAndTheScanStopsAtTheFirstLaterEntry)
{
    MoonTable table = LoadText("2026/02/17 21\n2026/01/19 04\n2026/03/19 10\n");
    EXPECT_EQ(table.MoonData(), (std::vector<DateValue>{kFeb17, kJan19, kMar19}));
    // Between January and February: the first entry is already later, so no last new moon.
    EXPECT_EQ(table.GetMoonPhase(kJan19 + 1), 0.5);
    EXPECT_EQ(table.NextNewMoon(), kFeb17);
    // After February: the entry before the first later one counts as the last new moon.
    const double p = table.GetMoonPhase(kFeb17 + 1);
    EXPECT_EQ(table.LastNewMoon(), kJan19);
    EXPECT_EQ(table.NextNewMoon(), kMar19);
    EXPECT_NEAR(p, (kFeb17 + 1 - kJan19) / (kMar19 - kJan19), 1e-12);
}

TEST_F(MoonTableTest, BadRecordsAreSkippedAndLoadingGoesOn)
{
    const std::string text = "2026/01/19 04\n"
                             "\n"
                             "2026/02/30 21\n"      // no such date
                             "2026/02/17\n"         // no hour
                             "2026/02/17 x1\n"      // hour not a number
                             "2026/02/17 24\n"      // hour over 23
                             "2026/02/17 21,extra\n" // a comma
                             "\x01\x02\xff garbage\n"
                             // An overlong line whose first 256 characters look like a record.
                             + (std::string("2026/02/17 21") + std::string(241, ' ') + "21 and more\n")
                             + "2026/02/17 21\n"
                             "2026/03/19 10"; // no line end after the last record
    MoonTable table = LoadText(text);
    EXPECT_TRUE(result.fileRead);
    EXPECT_EQ(result.records, 3u);
    EXPECT_EQ(result.skippedLines, 7u);
    EXPECT_EQ(table.MoonData(), (std::vector<DateValue>{kJan19, kFeb17, kMar19}));
}

TEST_F(MoonTableTest, AcceptsWindowsAndOldMacLineEndsAndAByteOrderMark)
{
    for (const char* text : {"2026/01/19 04\r\n2026/02/17 21\r\n2026/03/19 10\r\n",
                             "2026/01/19 04\r2026/02/17 21\r2026/03/19 10\r",
                             "\xEF\xBB\xBF"
                             "2026/01/19 04\n2026/02/17 21\n2026/03/19 10\n"}) {
        MoonTable table = LoadText(text);
        EXPECT_EQ(table.MoonData(), (std::vector<DateValue>{kJan19, kFeb17, kMar19}));
        EXPECT_EQ(result.skippedLines, 0u);
    }
}

TEST_F(MoonTableTest, UnreadableFileCountsAsMissing)
{
    MoonTable table = LoadText(kThreeRecords);
    // A folder where the file should be: it exists, but cannot be read as one.
    std::filesystem::remove(dir.path() / "moondata.dat");
    std::filesystem::create_directory(dir.path() / "moondata.dat");
    result = table.Load(dir.file("moondata.dat"));
    EXPECT_FALSE(result.fileRead);
    EXPECT_EQ(table.MoonData(), std::vector<DateValue>{0.0});
    EXPECT_EQ(table.GetMoonPhase(kFeb17), 0.5);
}

TEST_F(MoonTableTest, ReloadReplacesTheTableButKeepsTheLatestLookup)
{
    MoonTable table = LoadText(kThreeRecords);
    table.GetMoonPhase(kFeb17 + 1);
    dir.write("moondata.dat", "2027/01/08 05\n");
    table.Load(dir.file("moondata.dat"));
    EXPECT_EQ(table.MoonData(), std::vector<DateValue>{MakeDateValue(2027, 1, 8, 5)});
    EXPECT_EQ(table.LastNewMoon(), kFeb17);
    EXPECT_EQ(table.NextNewMoon(), kMar19);
    // A missing file on reload drops the old table.
    std::filesystem::remove(dir.path() / "moondata.dat");
    table.Load(dir.file("moondata.dat"));
    EXPECT_EQ(table.MoonData(), std::vector<DateValue>{0.0});
}

TEST(MoonBrightRatio, FollowsTheCosineOfTheLunation)
{
    const struct {
        double p, ratio;
    } cases[] = {{0.0, 0.0}, {0.25, 0.5}, {0.5, 1.0}, {0.75, 0.5}, {1.0, 0.0}};
    for (const auto& c : cases) {
        EXPECT_NEAR(MoonTable::GetBrightRatio(c.p), c.ratio, 1e-8) << c.p;
        EXPECT_EQ(GetBrightRatio(c.p), MoonTable::GetBrightRatio(c.p));
    }
    // Two pi is taken as 6.2831853, which shows at three quarters: 0.5 + 2.7e-9.
    EXPECT_NEAR(MoonTable::GetBrightRatio(0.75) - 0.5, 2.69e-9, 0.01e-9);
    // The same on both sides of the full moon.
    EXPECT_NEAR(MoonTable::GetBrightRatio(0.3), MoonTable::GetBrightRatio(0.7), 1e-8);
}

TEST(ProgramMoonTable, LoadMoonDataReadsTheFileInTheProgramFolder)
{
    TempDir dir;
    dir.write("moondata.dat", kThreeRecords);
    ProgramMoonTable() = MoonTable{};
    LoadMoonData(dir.str() + "/");
    EXPECT_EQ(ProgramMoonTable().MoonData().size(), 3u);
    EXPECT_NEAR(GetMoonPhase((kJan19 + kFeb17) / 2), 0.5, 1e-12);
    EXPECT_EQ(LastNewMoon(), kJan19);
    EXPECT_EQ(NextNewMoon(), kFeb17);
    ProgramMoonTable() = MoonTable{};
    EXPECT_EQ(LastNewMoon(), 0.0);
}

// Big and hostile files: the suite uses 10 MB; the 100 MB figures are measured by hand.
class MoonTableBigFileTest : public MoonTableTest {
protected:
    static constexpr std::size_t kSize = 10 * 1024 * 1024;

    void WriteBig(const std::string& name, const std::string& unit)
    {
        std::ofstream out(dir.path() / name, std::ios::binary);
        std::string block;
        while (block.size() < 1024 * 1024)
            block += unit;
        for (std::size_t written = 0; written < kSize; written += block.size())
            out << block;
    }
};

TEST_F(MoonTableBigFileTest, RandomBytesLoadAsNoData)
{
    std::mt19937 rng(20260119);
    std::string garbage(1024 * 1024, '\0');
    for (char& c : garbage)
        c = static_cast<char>(rng());
    WriteBig("moondata.dat", garbage);
    MoonTable table;
    result = table.Load(dir.file("moondata.dat"));
    EXPECT_TRUE(result.fileRead);
    EXPECT_EQ(result.records, 0u);
    EXPECT_EQ(table.GetMoonPhase(kFeb17), 0.5);
}

TEST_F(MoonTableBigFileTest, OneLongLineWithoutLineEndsIsOneSkippedLine)
{
    WriteBig("moondata.dat", "2026/01/19 04 ");
    MoonTable table;
    result = table.Load(dir.file("moondata.dat"));
    EXPECT_EQ(result.records, 0u);
    EXPECT_EQ(result.skippedLines, 1u);
    EXPECT_EQ(table.MoonData(), std::vector<DateValue>{0.0});
}

TEST_F(MoonTableBigFileTest, OneValidLineRepeatedLoadsEveryCopy)
{
    const std::string line = "2026/01/19 04\n";
    WriteBig("moondata.dat", line);
    MoonTable table;
    result = table.Load(dir.file("moondata.dat"));
    const std::size_t copies = std::filesystem::file_size(dir.path() / "moondata.dat") / line.size();
    EXPECT_EQ(result.records, copies);
    EXPECT_EQ(table.MoonData().size(), copies);
    EXPECT_EQ(table.MoonData().back(), kJan19);
    // Every entry equals the time, so the scan runs to the end: past the data.
    EXPECT_EQ(table.GetMoonPhase(kFeb17), 0.5);
    EXPECT_EQ(table.LastNewMoon(), kJan19);
}

} // namespace
} // namespace vx
