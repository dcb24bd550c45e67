#include "moon/MoonRecord.h"

#include <gtest/gtest.h>

#include <string>

namespace vx {
namespace {

struct GoodRecord {
    const char* line;
    int year, month, day, hour;
};

TEST(MoonRecord, ReadsTheDateAtMidnightPlusTheHour)
{
    const GoodRecord cases[] = {
        {"2026/01/19 04", 2026, 1, 19, 4},
        {"2026/01/19 00", 2026, 1, 19, 0}, // "00" is midnight of the record's own date
        {"2026/01/19 23", 2026, 1, 19, 23},
        {"2026/01/19  9", 2026, 1, 19, 9},  // a blank in place of the leading zero
        {"2026/01/19 9", 2026, 1, 19, 9},   // the same with a single separating blank
        {"2026/01/1909", 2026, 1, 19, 9},   // nothing between date and hour
        {"2026/01/19 JST 09", 2026, 1, 19, 9}, // what lies between is ignored
        {"  2026/01/19 09 \t", 2026, 1, 19, 9},
        {"2024/02/29 12", 2024, 2, 29, 12},
        {"1899/12/30 00", 1899, 12, 30, 0},
    };
    for (const GoodRecord& c : cases) {
        SCOPED_TRACE(c.line);
        const auto value = ParseMoonRecord(c.line);
        ASSERT_TRUE(value.has_value());
        EXPECT_DOUBLE_EQ(*value, DateSerial(c.year, c.month, c.day) + c.hour / 24.0);
    }
}

TEST(MoonRecord, BlankHourReadsLikeLeadingZero)
{
    EXPECT_EQ(ParseMoonRecord("2026/03/19  7"), ParseMoonRecord("2026/03/19 07"));
}

TEST(MoonRecord, RejectsLinesThatAreNotRecords)
{
    const std::string cases[] = {
        "",
        "   ",
        "2026/01/19",          // short: no hour
        "2026/01/19 ",         // short once the blank is trimmed
        "2026/1/19 04",        // not yyyy/mm/dd
        "2026-01-19 04",
        "2026/13/19 04",       // no such month
        "2026/02/29 04",       // not a leap year
        "2026/04/31 04",
        "0000/01/01 04",       // no year 0
        "2026/01/19 24",       // hour over 23
        "2026/01/19 99",
        "2026/01/19 -1",
        "2026/01/19 4a",
        "2026/01/19 xx",
        "2026/01/19 04,2026/02/17 21", // a comma
        "2026/01/19,04",
        std::string("2026/01/19 \x01" "04"), // stray control byte
        std::string("2026/01/19 \xE6\x9C\x88 04"), // stray non-ASCII bytes
        std::string("2026/01/19\0 04", 14),
        std::string(300, '7'),
    };
    for (const std::string& line : cases) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(ParseMoonRecord(line).has_value());
    }
    // The hour is the last two characters, whatever precedes them.
    EXPECT_EQ(ParseMoonRecord("2026/01/19 9 9"), ParseMoonRecord("2026/01/19 09"));
}

TEST(MoonRecord, FormatsTheLayoutItReads)
{
    EXPECT_EQ(FormatMoonRecord(2026, 1, 19, 4), "2026/01/19 04");
    EXPECT_EQ(FormatMoonRecord(1900, 12, 1, 23), "1900/12/01 23");
    EXPECT_EQ(ParseMoonRecord(FormatMoonRecord(2027, 5, 6, 19)), DateSerial(2027, 5, 6) + 19 / 24.0);
}

} // namespace
} // namespace vx
