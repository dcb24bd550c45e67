#include "base/DateValue.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(DateValue, KnownDaysMatchTheCountFrom1899)
{
    struct Case {
        int y, m, d;
        long long days;
    };
    // Values of the common spreadsheet and BASIC date type.
    const Case cases[] = {
        {1899, 12, 30, 0}, {1899, 12, 31, 1}, {1900, 1, 1, 2}, {1900, 3, 1, 61},
        {2000, 1, 1, 36526}, {2024, 2, 29, 45351}, {2026, 12, 8, 46364}, {2100, 12, 31, 73415},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DaysFromCivil(c.y, c.m, c.d), c.days) << c.y << "-" << c.m << "-" << c.d;
        const CivilDate back = CivilFromDays(c.days);
        EXPECT_EQ(back.year, c.y);
        EXPECT_EQ(back.month, c.m);
        EXPECT_EQ(back.day, c.d);
    }
}

TEST(DateValue, DateSerialRollsMonthsIntoNeighbouringYears)
{
    EXPECT_EQ(DateSerial(2024, 13, 1), DateSerial(2025, 1, 1));
    EXPECT_EQ(DateSerial(2024, 0, 1), DateSerial(2023, 12, 1));
    EXPECT_EQ(DateSerial(2024, -12, 1), DateSerial(2022, 12, 1));
    EXPECT_EQ(DateSerial(2024, 3, 0), DateSerial(2024, 2, 29));
}

TEST(DateValue, MonthLengthsFollowTheGregorianCalendar)
{
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInMonth(2100, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2024, 12), 31);
}

TEST(DateValue, SplitDateTruncatesToTheSecondAndSurvivesBinaryFractions)
{
    const DateParts noon = SplitDate(MakeDateValue(2026, 12, 8, 12, 0, 0));
    EXPECT_EQ(noon.hour, 12);
    EXPECT_EQ(noon.minute, 0);
    EXPECT_EQ(noon.second, 0);
    const DateParts late = SplitDate(MakeDateValue(2026, 12, 8, 11, 59, 59.6));
    EXPECT_EQ(late.hour, 11);
    EXPECT_EQ(late.minute, 59);
    EXPECT_EQ(late.second, 59);
    const DateParts eve = SplitDate(MakeDateValue(2026, 12, 31, 23, 59, 59.999));
    EXPECT_EQ(eve.day, 31);
    EXPECT_EQ(eve.second, 59);
}

} // namespace
} // namespace vx
