#include "face/Hands.h"

#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vx {
namespace {

struct YearCase {
    const char* name;
    DateValue now;
    double f1, f2, f3;
};

TEST(YearFace, HandsFollowTheCalendar)
{
    const YearCase cases[] = {
        {"new year midnight: all hands straight up", MakeDateValue(2026, 1, 1), 0, 0, 0},
        {"31 December of a leap year", MakeDateValue(2024, 12, 31), 365.0 / 366, 30.0 / 31, 0},
        {"31 December of a common year", MakeDateValue(2023, 12, 31), 364.0 / 365, 30.0 / 31, 0},
        {"2100 is a common year", MakeDateValue(2100, 12, 31), 364.0 / 365, 30.0 / 31, 0},
        {"1900 is a common year", MakeDateValue(1900, 3, 1), 59.0 / 365, 0, 0},
        {"February 2024 has 29 days", MakeDateValue(2024, 2, 15), 45.0 / 366, 14.0 / 29, 0},
        {"February 2023 has 28 days", MakeDateValue(2023, 2, 15), 45.0 / 365, 14.0 / 28, 0},
        {"1 March 2024", MakeDateValue(2024, 3, 1), 60.0 / 366, 0, 0},
        {"noon turns the day hand half way", MakeDateValue(2026, 6, 1, 12), 151.0 / 365, 0, 0.5},
        {"the day hand is exact to the moment", MakeDateValue(2026, 6, 1, 18, 0, 30), 151.0 / 365, 0,
         (18 * 3600 + 30) / 86400.0},
    };
    for (const YearCase& c : cases) {
        const HandFractions f = YearFaceFractions(c.now);
        EXPECT_NEAR(f.f1, c.f1, 1e-12) << c.name;
        EXPECT_NEAR(f.f2, c.f2, 1e-12) << c.name;
        EXPECT_NEAR(f.f3, c.f3, 1e-9) << c.name;
    }
}

TEST(ClockFace, HourHandMovesInSecondStepsAndMinuteHandJumps)
{
    const DateValue halfPastThree = MakeDateValue(2026, 12, 8, 15, 30, 0);
    const HandFractions f = ClockFaceFractions(halfPastThree, SecondsOfDay(halfPastThree));
    EXPECT_NEAR(f.f1, 12600.0 / 43200, 1e-12);
    EXPECT_NEAR(f.f1 * 360, 105.0, 1e-9); // midway between 3 and 4
    EXPECT_NEAR(f.f2, 0.5, 1e-12);
    EXPECT_NEAR(f.f3, 0.0, 1e-12);

    // The minute hand carries no seconds part.
    const DateValue late = MakeDateValue(2026, 12, 8, 15, 30, 59.4);
    EXPECT_NEAR(ClockFaceFractions(late, SecondsOfDay(late)).f2, 0.5, 1e-12);
}

TEST(ClockFace, HourHandReachesTwelveWhileSecondsStillShow59)
{
    const DateValue t = MakeDateValue(2026, 12, 8, 11, 59, 59.6);
    const HandFractions f = ClockFaceFractions(t, 43199.6);
    EXPECT_EQ(f.f1, 0.0);
    EXPECT_NEAR(f.f2, 59.0 / 60, 1e-12);
    EXPECT_NEAR(f.f3, 59.0 / 60, 1e-12);
}

double Distance(FacePoint p) { return std::hypot(p.x, p.y); }

TEST(Hands, StrokesPointUpAtZeroWithTheCounterweightBelow)
{
    const auto strokes = HandStrokes({0, 0, 0}, kClockHandColour);
    // Hand 1 reaches 3000 up, hand 2 and hand 3 reach 5000 up; y grows downward.
    EXPECT_NEAR(strokes[0].to.y, -3000, 1e-9);
    EXPECT_NEAR(strokes[2].to.y, -5000, 1e-9);
    EXPECT_NEAR(strokes[5].to.y, -5000, 1e-9);
    // The counterweight ring sits 1000 below the centre, between the main line's tail and the stub.
    EXPECT_NEAR(strokes[4].from.y, 1000, 1e-9);
    EXPECT_NEAR(strokes[5].from.y + 0, 700, 1e-9);
    EXPECT_NEAR(strokes[6].from.y, 1300, 1e-9);
    EXPECT_NEAR(strokes[6].to.y, 1600, 1e-9);
    // The centre cap is last, filled with the hand colour and outlined in black.
    EXPECT_TRUE(strokes.back().filled);
    EXPECT_EQ(strokes.back().fillColour, kClockHandColour);
    EXPECT_EQ(strokes.back().colour, kBlack);
}

TEST(Hands, EachColouredStrokeLiesOverAWiderBlackOne)
{
    const auto strokes = HandStrokes({0.3, 0.6, 0.9}, kYearHandColour);
    const std::pair<int, int> pairs[] = {{0, 1}, {2, 3}, {5, 7}, {6, 8}, {4, 9}};
    for (auto [black, coloured] : pairs) {
        EXPECT_EQ(strokes[black].colour, kBlack);
        EXPECT_EQ(strokes[coloured].colour, kYearHandColour);
        EXPECT_GT(strokes[black].penWidth, strokes[coloured].penWidth);
        EXPECT_NEAR(Distance({strokes[black].from.x - strokes[coloured].from.x,
                              strokes[black].from.y - strokes[coloured].from.y}), 0, 1e-9);
        EXPECT_NEAR(Distance({strokes[black].to.x - strokes[coloured].to.x,
                              strokes[black].to.y - strokes[coloured].to.y}), 0, 1e-9);
    }
}

TEST(Hands, QuarterTurnPointsToThreeOClock)
{
    const FacePoint p = Ahead(0.25, 3000);
    EXPECT_NEAR(p.x, 3000, 1e-6);
    EXPECT_NEAR(p.y, 0, 1e-6);
    const FacePoint b = Behind(0.25, 300);
    EXPECT_NEAR(b.x, -300, 1e-6);
}

} // namespace
} // namespace vx
