#include "base/WindowShape.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(WindowShape, RegionBoxIsOnePixelWiderThanTheWindow)
{
    for (int side : {60, 120, 240}) {
        const RegionBox box = EllipticRegionBox(side, side);
        EXPECT_EQ(box.left, 0);
        EXPECT_EQ(box.top, 0);
        EXPECT_EQ(box.right, side + 1);
        EXPECT_EQ(box.bottom, side + 1);
    }
}

TEST(WindowShape, DiscTouchesEveryEdgeAndIsSymmetric)
{
    for (int side : {60, 120, 240}) {
        const auto spans = DiscSpans(side, side);
        ASSERT_EQ(static_cast<int>(spans.size()), side) << side;
        EXPECT_EQ(spans.front().y, 0);
        EXPECT_EQ(spans.back().y, side - 1);
        int widest = 0;
        for (const DiscSpan& s : spans) {
            // Mirror image left to right, and the same row width as its mirror row.
            EXPECT_EQ(s.first, side - 1 - s.last) << side << " row " << s.y;
            EXPECT_EQ(s.last - s.first, spans[side - 1 - s.y].last - spans[side - 1 - s.y].first);
            widest = std::max(widest, s.last - s.first + 1);
        }
        EXPECT_EQ(widest, side);
    }
}

} // namespace
} // namespace vx
