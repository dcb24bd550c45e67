#include "face/DeviceScale.h"
#include "face/HandRaster.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace vx {
namespace {

TEST(DeviceScale, EachRatioTakesTheNearestDialSetAndTheLargerOneHalfwayBetween)
{
    const struct {
        double ratio;
        int set;
    } cases[] = {{0.5, 1}, {1, 1}, {1.25, 1}, {1.49, 1}, {1.5, 2}, {1.75, 2}, {2, 2}, {2.5, 3}, {3, 3}, {4, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(NearestDialSet(c.ratio), c.set) << c.ratio;
}

TEST(DeviceScale, TheWindowsSidesInDevicePixelsAreWholeAtTheUsualRatios)
{
    const struct {
        int side;
        double ratio;
        int device;
    } cases[] = {{60, 1, 60}, {120, 1, 120}, {60, 1.25, 75}, {120, 1.25, 150}, {240, 1.5, 360},
                 {120, 2, 240}, {240, 3, 720}, {16, 1.5, 24}, {1, 0.1, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(DeviceSide(c.side, c.ratio), c.device) << c.side << " at " << c.ratio;
}

// Pixels of a row across a vertical band that the band covers fully.
int SolidAcross(int side, double penScale, int penWidth)
{
    std::vector<std::uint32_t> words(static_cast<std::size_t>(side) * side, 0xFF000000u);
    std::array<HandStroke, kHandStrokeCount> strokes{};
    strokes.fill(HandStroke{HandStroke::Kind::Circle, 0, 0, {1e6, 1e6}, {1e6, 1e6}, 0, false, 0});
    strokes[0] = {HandStroke::Kind::Line, penWidth, RGB(255, 255, 255), {0, 0}, {0, -5000}, 0, false, 0};
    DrawHandStrokes({words.data(), side, side, side}, {0, 0, side, side}, side, strokes, penScale);
    int solid = 0;
    const int row = side / 4;
    for (int x = 0; x < side; ++x)
        solid += (words[static_cast<std::size_t>(row) * side + x] & 0xFFFFFFu) == 0xFFFFFFu;
    return solid;
}

TEST(DeviceScale, AHandsPenIsRatioTimesAsWideInDevicePixels)
{
    for (int pen : {2, 4, 6, 8}) {
        EXPECT_EQ(SolidAcross(120, 1, pen), pen) << pen;
        EXPECT_EQ(SolidAcross(240, 2, pen), 2 * pen) << pen;
        EXPECT_EQ(SolidAcross(360, 3, pen), 3 * pen) << pen;
    }
}

} // namespace
} // namespace vx
