#include "face/HandRaster.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace vx {
namespace {

constexpr int kSide = 120;
constexpr std::uint32_t kGround = 0xFF808080u; // mid grey under an opaque top byte

struct Face {
    std::vector<std::uint32_t> words = std::vector<std::uint32_t>(kSide * kSide, kGround);
    Pixels pixels() { return {words.data(), kSide, kSide, kSide}; }
    std::uint32_t at(int x, int y) const { return words[static_cast<std::size_t>(y) * kSide + x]; }
};

// Eleven strokes of which only the first draws: the rest are rings of no width far off the face.
std::array<HandStroke, kHandStrokeCount> Only(const HandStroke& stroke)
{
    std::array<HandStroke, kHandStrokeCount> strokes{};
    strokes.fill(HandStroke{HandStroke::Kind::Circle, 0, 0, {1e6, 1e6}, {1e6, 1e6}, 0, false, 0});
    strokes[0] = stroke;
    return strokes;
}

// One face unit is kSide / 12000 pixel: 100 units to the pixel.
HandStroke Line(int width, Colour colour, FacePoint from, FacePoint to)
{
    return {HandStroke::Kind::Line, width, colour, from, to, 0, false, 0};
}

constexpr Colour kRed = RGB(255, 0, 0);
constexpr std::uint32_t kRedWord = 0xFFFF0000u;
int RedOf(std::uint32_t word) { return static_cast<int>(word >> 16 & 0xFF); }

TEST(HandRaster, BandIsSolidInsideItsPenWidthFadesOverOnePixelAndStopsThere)
{
    struct Case {
        int width;
        int solidRows;  // rows wholly inside the band, centred on the line
        int reachRows;  // rows touched at all, each side of the line
    };
    // A horizontal line through a pixel boundary (y = 60 in pixels): a band of width w covers
    // w / 2 pixels each side.
    for (const Case& c : {Case{2, 1, 1}, Case{4, 2, 2}, Case{8, 4, 4}}) {
        Face face;
        DrawHandStrokes(face.pixels(), {0, 0, kSide, kSide}, kSide, Only(Line(c.width, kRed, {-3000, 0}, {3000, 0})));
        for (int k = 0; k < c.solidRows; ++k) {
            EXPECT_EQ(face.at(60, 60 + k), kRedWord) << c.width;
            EXPECT_EQ(face.at(60, 59 - k), kRedWord) << c.width;
        }
        EXPECT_EQ(face.at(60, 60 + c.reachRows), kGround) << c.width;
        EXPECT_EQ(face.at(60, 59 - c.reachRows), kGround) << c.width;
    }
}

TEST(HandRaster, LineEndsAreRoundAndTheEdgeShadesInBetween)
{
    Face face;
    // A 6-pixel band from x = 30 to x = 90 along row centre 60.5 (face units 50 = half a pixel).
    DrawHandStrokes(face.pixels(), {0, 0, kSide, kSide}, kSide, Only(Line(6, kRed, {-3000, 50}, {3000, 50})));
    EXPECT_EQ(face.at(92, 60), kRedWord);  // within the round end, on the axis
    EXPECT_EQ(face.at(94, 60), kGround);   // beyond it
    EXPECT_EQ(face.at(92, 57), kGround);   // the end is round, not square: its corner stays bare
    EXPECT_EQ(face.at(88, 58), kRedWord);
    // A pixel whose centre lies on the band's edge is half covered: between grey and red.
    const int edge = RedOf(face.at(60, 63));
    EXPECT_GT(edge, 0x80);
    EXPECT_LT(edge, 0xFF);
}

TEST(HandRaster, OnlyTheBoxIsTouchedAndTopBytesStay)
{
    Face face;
    for (std::uint32_t& w : face.words)
        w = 0x12808080u;
    const PixelBox box{40, 50, 70, 65};
    DrawHandStrokes(face.pixels(), box, kSide, Only(Line(8, kRed, {-6000, 0}, {6000, 0})));
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const bool inside = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
            EXPECT_EQ(face.at(x, y) >> 24, 0x12u);
            if (!inside) {
                ASSERT_EQ(face.at(x, y), 0x12808080u) << x << "," << y;
            }
        }
    EXPECT_EQ(face.at(45, 60), 0x12FF0000u);
}

TEST(HandRaster, FilledCircleTakesItsFillInsideAndItsOutlineOnTheRim)
{
    Face face;
    // Radius 650 units = 6.5 pixels about the centre, outline 1 pixel black, fill red.
    DrawHandStrokes(face.pixels(), {0, 0, kSide, kSide}, kSide,
                    Only({HandStroke::Kind::Circle, 1, kBlack, {0, 0}, {0, 0}, 650, true, kRed}));
    EXPECT_EQ(face.at(60, 60), kRedWord);
    EXPECT_EQ(face.at(62, 58), kRedWord);
    EXPECT_LT(RedOf(face.at(66, 60)), 16);          // the rim passes through this pixel's centre
    EXPECT_EQ(face.at(68, 60), kGround);            // outside
    // An unfilled ring leaves its middle alone.
    Face ring;
    DrawHandStrokes(ring.pixels(), {0, 0, kSide, kSide}, kSide,
                    Only({HandStroke::Kind::Circle, 3, kBlack, {0, 0}, {0, 0}, 600, false, 0}));
    EXPECT_EQ(ring.at(60, 60), kGround);
    EXPECT_EQ(ring.at(66, 60) & 0xFFFFFFu, 0u);
}

} // namespace
} // namespace vx
