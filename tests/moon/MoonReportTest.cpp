#include "moon/MoonReport.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(MoonReport, AgeIsTheFirstFourCharactersOfItsText)
{
    const std::pair<double, const char*> cases[] = {
        {12.3456, "12.3"}, {5.678, "5.67"}, {29.0, "29  "}, {0.0, "0   "}, {0.5, "0.5 "}, {7.25, "7.25"},
        {0.0001, "0.00"}, {0.00012, "0.00"}, {29.530588, "29.5"},
        // Seconds after a new moon the plain text has an exponent; the age shows in fixed point.
        {5.78e-05, "0.00"}, {9.9999e-05, "0.00"}, {1e-300, "0.00"}};
    for (auto [age, text] : cases)
        EXPECT_EQ(AgeText(age), text) << age;
}

TEST(MoonReport, PercentPatternDropsLeadingZerosAndAZeroTenth)
{
    const std::pair<double, const char*> cases[] = {
        {0.4567, "45.7%"}, {1.0, "100.%"}, {0.005, ".5%"}, {0.0, ".%"}, {0.5, "50.%"},
        {0.12345, "12.3%"}, {0.99996, "100.%"}, {0.0004, ".%"}, {0.00051, ".1%"}};
    for (auto [fraction, text] : cases)
        EXPECT_EQ(PercentText(fraction), text) << fraction;
}

TEST(MoonReport, DatesShowTwoDigitHours)
{
    EXPECT_EQ(DateHourText(MakeDateValue(2026, 12, 9, 9)), "2026年12月09日 09時");
    EXPECT_EQ(DateHourText(MakeDateValue(2027, 1, 1, 0)), "2027年01月01日 00時");
    // Truncated to its hour.
    EXPECT_EQ(DateHourText(MakeDateValue(2026, 12, 24, 22, 30)), "2026年12月24日 22時");
    // A value a hair short of the hour, as sums of date values give, is that hour.
    EXPECT_EQ(DateHourText(MakeDateValue(2026, 12, 24, 23) - 1e-11), "2026年12月24日 23時");
}

TEST(MoonReport, FiveLinesWithTheirExactBlanks)
{
    const DateValue last = MakeDateValue(2026, 11, 24, 7);
    const DateValue next = MakeDateValue(2026, 12, 24, 10);
    const std::string text = MoonReportText(last, next, 0.5, 1.0);
    EXPECT_EQ(text,
              "現在の月齢 : 15.0\r\n"
              "最後の新月は    2026年11月24日 07時 でした。\r\n"
              "次の新月は       2026年12月24日 10時 です。\r\n"
              "その間の満月は  2026年12月09日 08時 です。\r\n"
              "現在の輝面比（明るい部分の割合）は 100.%です。");
}

} // namespace
} // namespace vx
