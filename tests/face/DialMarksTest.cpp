#include "face/DialMarks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vx {
namespace {

// Degrees clockwise from 12 o'clock (y grows downward), and how far apart two of them are.
double Clockwise(FacePoint p)
{
    return std::atan2(p.x, -p.y) * 180.0 / 3.14159265358979;
}
double Gap(double a, double b)
{
    return std::fabs(std::remainder(a - b, 360.0));
}

TEST(DialMarksTest, DotsEverySixDegreesFromThreeAndTicksAtTheNumeralsWithTwelveWider)
{
    const auto& marks = DialMarks();
    for (std::size_t n = 0; n < kDialStrokeCount; n += 2) {
        const DialStroke& black = marks[n];
        const DialStroke& green = marks[n + 1];
        const bool dot = n < 2 * kMinuteDotCount;
        // Each mark: black, then green over the same place, narrower.
        EXPECT_EQ(black.colour, kBlack);
        EXPECT_EQ(green.colour, RGB(0, 255, 0));
        EXPECT_EQ(green.from.x, black.from.x);
        EXPECT_EQ(green.to.y, black.to.y);
        EXPECT_EQ(black.kind, dot ? DialStroke::Kind::Dot : DialStroke::Kind::Line);
        EXPECT_NEAR(std::hypot(black.from.x, black.from.y), 5500.0, 1e-6) << n;
        if (dot) {
            const std::size_t i = n / 2;
            EXPECT_EQ(black.penWidth, 4);
            EXPECT_EQ(green.penWidth, 2);
            EXPECT_LT(Gap(Clockwise(black.from), 90.0 + 6.0 * static_cast<double>(i)), 1e-6) << i;
        } else {
            const std::size_t i = (n - 2 * kMinuteDotCount) / 2 + 1;
            const bool twelve = i == 12;
            EXPECT_EQ(black.penWidth, twelve ? 6 : 4) << i;
            EXPECT_EQ(green.penWidth, twelve ? 4 : 2) << i;
            EXPECT_NEAR(std::hypot(black.to.x, black.to.y), 5000.0, 1e-6) << i;
            EXPECT_LT(Gap(Clockwise(black.from), 30.0 * static_cast<double>(i)), 1e-6) << i;
            EXPECT_LT(Gap(Clockwise(black.to), 30.0 * static_cast<double>(i)), 1e-6) << i;
        }
    }
    // The last tick stands straight up.
    EXPECT_NEAR(marks[kDialStrokeCount - 1].from.x, 0.0, 0.01);
    EXPECT_LT(marks[kDialStrokeCount - 1].from.y, 0.0);
}

} // namespace
} // namespace vx
