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

TEST(WindowShape, DiscPixelsWithinCountOnlyTheDiscNotItsSquaresCorners)
{
    const PixelArea screen{0, 0, 1279, 799};
    long long whole = 0;
    for (const DiscSpan& s : DiscSpans(120, 120))
        whole += s.last - s.first + 1;
    struct Case {
        int x, y;
        long long expected; // -1: some, but not all
        const char* what;
    };
    const Case cases[] = {
        {300, 300, whole, "wholly on the screen"},
        {-60, 300, whole / 2, "half across the left edge"},
        {-110, -110, 0, "the square's empty corner alone at the top left"},
        {1270, 790, 0, "the square's empty corner alone at the bottom right"},
        {1270, -110, 0, "the square's empty corner alone at the top right"},
        {-113, 300, -1, "a sliver across the left edge"},
        {-100, -100, -1, "the disc's edge just reaching the top-left corner"},
        {-1'000'000'000, 300, 0, "far to the left"},
        {300, 1'000'000'000, 0, "far below"},
    };
    for (const Case& c : cases) {
        const long long n = DiscPixelsWithin(c.x, c.y, 120, screen);
        if (c.expected < 0) {
            EXPECT_GT(n, 0) << c.what;
            EXPECT_LT(n, whole) << c.what;
        } else {
            EXPECT_EQ(n, c.expected) << c.what;
        }
    }
}

} // namespace
} // namespace vx
