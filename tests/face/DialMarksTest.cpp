#include "face/DialMarks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vx {
namespace {

double Radius(FacePoint p)
{
    return std::hypot(p.x, p.y);
}

// Degrees clockwise from 3 o'clock, as the y axis grows downward.
double DegreesFromThree(FacePoint p)
{
    const double d = std::atan2(p.y, p.x) * 180.0 / 3.14159265358979;
    return d < 0 ? d + 360.0 : d;
}

// How far apart two directions are, in degrees, whichever way round.
double AngleGap(double a, double b)
{
    return std::fabs(std::remainder(a - b, 360.0));
}

TEST(DialMarksTest, SixtyDotsGoClockwiseFromThreeOClockEverySixDegrees)
{
    const auto& marks = DialMarks();
    for (std::size_t i = 0; i < kMinuteDotCount; ++i) {
        const DialStroke& black = marks[2 * i];
        const DialStroke& green = marks[2 * i + 1];
        EXPECT_EQ(black.kind, DialStroke::Kind::Dot);
        EXPECT_EQ(black.penWidth, 4);
        EXPECT_EQ(black.colour, kBlack);
        EXPECT_EQ(green.kind, DialStroke::Kind::Dot);
        EXPECT_EQ(green.penWidth, 2);
        EXPECT_EQ(green.colour, RGB(0, 255, 0));
        // The green dot lies on the black one.
        EXPECT_EQ(green.from.x, black.from.x);
        EXPECT_EQ(green.from.y, black.from.y);
        EXPECT_NEAR(Radius(black.from), 5500.0, 1e-6) << i;
        EXPECT_LT(AngleGap(DegreesFromThree(black.from), 6.0 * static_cast<double>(i)), 1e-6) << i;
    }
    // Every fifth dot falls on a numeral: the fifteenth at 6 o'clock, straight down.
    EXPECT_NEAR(marks[2 * 15].from.x, 0.0, 0.01);
    EXPECT_NEAR(marks[2 * 15].from.y, 5500.0, 1e-6);
}

TEST(DialMarksTest, TwelveTicksStandAtTheNumeralsWithTheOneAtTwelveWider)
{
    const auto& marks = DialMarks();
    for (std::size_t i = 1; i <= kHourTickCount; ++i) {
        const DialStroke& black = marks[2 * kMinuteDotCount + 2 * (i - 1)];
        const DialStroke& green = marks[2 * kMinuteDotCount + 2 * (i - 1) + 1];
        const bool twelve = i == 12;
        EXPECT_EQ(black.kind, DialStroke::Kind::Line);
        EXPECT_EQ(black.colour, kBlack);
        EXPECT_EQ(green.colour, RGB(0, 255, 0));
        EXPECT_EQ(black.penWidth, twelve ? 6 : 4) << i;
        EXPECT_EQ(green.penWidth, twelve ? 4 : 2) << i;
        EXPECT_NEAR(Radius(black.from), 5500.0, 1e-6);
        EXPECT_NEAR(Radius(black.to), 5000.0, 1e-6);
        // Numeral i sits i x 30 degrees clockwise from 12 o'clock.
        const double fromThree = 30.0 * static_cast<double>(i) - 90.0;
        EXPECT_LT(AngleGap(DegreesFromThree(black.from), fromThree), 1e-6) << i;
        EXPECT_LT(AngleGap(DegreesFromThree(black.to), fromThree), 1e-6) << i;
        EXPECT_EQ(green.from.x, black.from.x);
        EXPECT_EQ(green.to.y, black.to.y);
    }
    const DialStroke& twelve = marks[kDialStrokeCount - 2];
    EXPECT_NEAR(twelve.from.x, 0.0, 0.01);
    EXPECT_NEAR(twelve.from.y, -5500.0, 1e-6);
    EXPECT_NEAR(twelve.to.y, -5000.0, 1e-6);
}

} // namespace
} // namespace vx
