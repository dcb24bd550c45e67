#include "base/WindowShape.h"
#include "moon/ShadeKernel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vx {
namespace {

// A picture in memory, one 0x00RRGGBB word per pixel.
struct Picture {
    int width;
    int height;
    std::vector<std::uint32_t> words;

    Picture(int w, int h, std::uint32_t fill = 0) : width(w), height(h), words(static_cast<std::size_t>(w) * h, fill) {}
    Picture(int w, int h, const std::function<std::uint32_t(int, int)>& colour) : Picture(w, h)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                at(x, y) = colour(x, y);
    }
    std::uint32_t& at(int x, int y) { return words[static_cast<std::size_t>(y) * width + x]; }
    ConstPixels view() const { return {words.data(), width, height, width}; }
    Pixels target() { return {words.data(), width, height, width}; }
};

constexpr std::uint32_t Grey(std::uint32_t v) { return v << 16 | v << 8 | v; }
int Red(std::uint32_t v) { return static_cast<int>(v >> 16 & 0xFF); }

// Every pixel the kernel hands on, by place.
std::map<std::pair<int, int>, std::uint32_t> Shaded(const Picture& source, int wd, int targetWidth, int targetHeight,
                                                    double phase)
{
    std::map<std::pair<int, int>, std::uint32_t> shaded;
    ShadeMoonPixels(source.view(), wd, targetWidth, targetHeight, phase, [&](int x, int y, std::uint32_t rgb) {
        EXPECT_TRUE(shaded.emplace(std::pair{x, y}, rgb).second) << "pixel " << x << "," << y << " twice";
    });
    return shaded;
}

TEST(ShadeKernelTest, ChannelsAreScaledToTheNearestIntegerWithTiesToEven)
{
    struct Case {
        std::uint32_t channel;
        double f;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {255, 0.4, 102}, // 102.00000000000001: the new moon's unlit level
        {101, 0.5, 50},  // 50.5 goes to the even 50
        {103, 0.5, 52},  // 51.5 goes to the even 52
        {3, 0.5, 2},     {1, 0.5, 0}, {255, 1.0, 255}, {200, 0.2, 40}, {77, 0.0, 0},
    };
    for (const Case& c : cases) {
        // The same on every channel; the top byte is not part of the colour.
        const std::uint32_t pixel = 0xFF000000u | Grey(c.channel);
        EXPECT_EQ(ScalePixel(pixel, c.f), Grey(c.expected)) << c.channel << " x " << c.f;
    }
    EXPECT_EQ(ScalePixel(0x00102030, 0.5), 0x00081018u);
}

TEST(ShadeKernelTest, DiscLiesInTheMiddleQuarterOfEachSize)
{
    struct Case {
        int nowSize;
        int wd;
        int radius;
        int y0;
        int y1;
    };
    for (const Case& c : {Case{-1, 60, 15, 15, 44}, Case{0, 120, 30, 30, 89}, Case{1, 240, 60, 60, 179}}) {
        EXPECT_EQ(SideForSize(c.nowSize), c.wd);
        const MoonDisc disc = MoonDiscFor(c.wd, c.wd);
        EXPECT_EQ(disc.cx, c.wd / 2);
        EXPECT_EQ(disc.cy, c.wd / 2);
        EXPECT_EQ(disc.radius, c.radius) << c.wd;
        EXPECT_EQ(disc.y0, c.y0) << c.wd;
        EXPECT_EQ(disc.y1, c.y1) << c.wd;
    }
    // The first row of the smallest disc: half-width sqrt(14.75), columns 26 to 34.
    const std::optional<MoonRow> top = MoonRowAt(MoonDiscFor(60, 60), 15);
    ASSERT_TRUE(top);
    EXPECT_NEAR(top->halfWidth, std::sqrt(14.75), 1e-12);
    EXPECT_EQ(top->first, 26);
    EXPECT_EQ(top->last, 34);
}

TEST(ShadeKernelTest, ShadingTouchesExactlyTheDiscRowsAndColumns)
{
    Picture source(60, 60, Grey(200));
    Picture target(60, 60, 0xFFABCDEFu);
    const Picture before = target;
    ShadeMoonInto(source.view(), 60, target.target(), 0.0);

    const MoonDisc disc = MoonDiscFor(60, 60);
    int changed = 0;
    for (int y = 0; y < 60; ++y) {
        const std::optional<MoonRow> row = MoonRowAt(disc, y);
        for (int x = 0; x < 60; ++x) {
            const bool inDisc = y >= 15 && y <= 44 && row && x >= row->first && x <= row->last;
            if (inDisc) {
                ++changed;
                // The new colour, under the word's own top byte.
                EXPECT_EQ(target.at(x, y) >> 24, 0xFFu);
                EXPECT_NE(target.at(x, y), before.words[y * 60 + x]);
            } else {
                EXPECT_EQ(target.at(x, y), before.words[y * 60 + x]) << x << "," << y;
            }
        }
    }
    // Rows 15 to 44 of a disc of radius 15: a little over pi * 15^2 pixels.
    EXPECT_GT(changed, 700);
    EXPECT_LT(changed, 760);
    EXPECT_EQ(Shaded(source, 60, 60, 60, 0.0).size(), static_cast<std::size_t>(changed));
}

TEST(ShadeKernelTest, FirstQuarterIsLitOnTheRightHalfLitInTheMiddleAndAtOneFifthOnTheLeft)
{
    const Picture source(120, 120, Grey(200));
    const auto quarter = Shaded(source, 120, 120, 120, 0.25);
    const auto lastQuarter = Shaded(source, 120, 120, 120, 0.75);
    const MoonDisc disc = MoonDiscFor(120, 120);
    for (int y : {40, 59, 60, 80}) {
        const MoonRow row = *MoonRowAt(disc, y);
        EXPECT_EQ(quarter.at({row.last, y}), Grey(200)) << y;
        EXPECT_EQ(quarter.at({60, y}), Grey(100)) << y;
        EXPECT_EQ(quarter.at({row.first, y}), Grey(40)) << y;
        EXPECT_EQ(quarter.at({row.first + 3, y}), Grey(40)) << y;
        // The last quarter is its mirror image, lit on the left.
        EXPECT_EQ(lastQuarter.at({row.first, y}), Grey(200)) << y;
        EXPECT_EQ(lastQuarter.at({row.last, y}), Grey(40)) << y;
    }
    // The soft band rises steadily from the dark side to the lit one.
    const int y = 60;
    for (int x = 31; x < 89; ++x)
        EXPECT_LE(Red(quarter.at({x, y})), Red(quarter.at({x + 1, y}))) << x;
}

TEST(ShadeKernelTest, FullMoonKeepsItsColoursExceptABandAlongTheLeftRim)
{
    const Picture source(240, 240, Grey(200));
    const auto full = Shaded(source, 240, 240, 240, 0.5);
    const MoonDisc disc = MoonDiscFor(240, 240);
    int band = 0;
    for (const auto& [place, rgb] : full) {
        const auto [x, y] = place;
        const double xn = (x - disc.cx) / (MoonRowAt(disc, y)->halfWidth + 0.001);
        if (xn > -0.93)
            EXPECT_EQ(rgb, Grey(200)) << x << "," << y;
        else if (xn < -0.94) {
            ++band;
            EXPECT_LT(Red(rgb), 200) << x << "," << y;
        }
    }
    EXPECT_GT(band, 100);
    // At the rim the brightness has fallen to about one half.
    const int left = MoonRowAt(disc, 120)->first;
    EXPECT_NEAR(Red(full.at({left, 120})), 100, 6);
}

TEST(ShadeKernelTest, NewMoonAndTheEndOfTheLunationMirrorEachOther)
{
    // A picture that is its own mirror image about the disc's centre column.
    const Picture source(60, 60, [](int x, int y) { return Grey(static_cast<std::uint32_t>(100 + 3 * std::abs(x - 30) + y)); });
    const auto start = Shaded(source, 60, 60, 60, 0.0);
    const auto end = Shaded(source, 60, 60, 60, 1.0);
    ASSERT_EQ(start.size(), end.size());
    for (const auto& [place, rgb] : start) {
        const auto [x, y] = place;
        EXPECT_EQ(end.at({60 - x, y}), rgb) << x << "," << y;
    }
    // Dimmed to 40 %, with a narrow band towards one half on the right at p = 0.
    const Picture white(60, 60, Grey(255));
    const auto newMoon = Shaded(white, 60, 60, 60, 0.0);
    EXPECT_EQ(newMoon.at({30, 30}), Grey(102));
    EXPECT_EQ(newMoon.at({16, 30}), Grey(102));
    const int rim = Red(newMoon.at({45, 30}));
    EXPECT_GT(rim, 102);
    EXPECT_LT(rim, 140);
}

TEST(ShadeKernelTest, PicturesOfAnotherHeightAreShadedOnlyWhereTheyAndTheTargetMeet)
{
    struct Case {
        int wd;
        int sourceWidth;
        int sourceHeight;
        int targetWidth;
        int targetHeight;
        bool anything;
    };
    const Case cases[] = {
        {120, 120, 90, 120, 120, true},   // lower: the disc shrinks to radius 15, the outer rows miss it
        {120, 120, 200, 120, 120, true},  // taller: the disc grows past the sides and the target
        {120, 120, 1000, 120, 120, false}, // the disc lies wholly below the target
        {120, 120, 20, 120, 120, false},  // so low that the radius is negative
        {120, 120, 1, 120, 120, false},
        {120, 120, 0, 120, 120, false},
        {120, 100, 120, 120, 120, true},  // narrower than Wd
        {120, 120, 120, 60, 60, true},    // a smaller target
        {120, 120, 120, 0, 0, false},
        {60, 60, 61, 60, 60, true},
    };
    for (const Case& c : cases) {
        const Picture source(c.sourceWidth, c.sourceHeight, Grey(180));
        const MoonDisc disc = MoonDiscFor(c.wd, c.sourceHeight);
        const auto shaded = Shaded(source, c.wd, c.targetWidth, c.targetHeight, 0.3);
        EXPECT_EQ(!shaded.empty(), c.anything) << c.sourceWidth << "x" << c.sourceHeight;
        for (const auto& [place, rgb] : shaded) {
            const auto [x, y] = place;
            ASSERT_TRUE(x >= 0 && x < c.sourceWidth && x < c.targetWidth) << x;
            ASSERT_TRUE(y >= 0 && y < c.sourceHeight && y < c.targetHeight) << y;
            // Within the disc: no further from the centre than the radius and a rounding.
            EXPECT_LE(std::hypot(x - disc.cx, y + 0.5 - disc.cy), disc.radius + 1.0) << x << "," << y;
        }
        // The bulk path writes the same, into a buffer of exactly the target's size.
        Picture target(c.targetWidth, c.targetHeight, 0);
        ShadeMoonInto(source.view(), c.wd, target.target(), 0.3);
        for (const auto& [place, rgb] : shaded)
            EXPECT_EQ(target.at(place.first, place.second), rgb);
    }
    // The lower picture's moon is centred on its own middle row.
    const Picture low(120, 90, Grey(180));
    const auto shaded = Shaded(low, 120, 120, 120, 0.3);
    int top = 1000;
    int bottom = -1;
    for (const auto& entry : shaded) {
        top = std::min(top, entry.first.second);
        bottom = std::max(bottom, entry.first.second);
    }
    EXPECT_EQ(top, 30);
    EXPECT_EQ(bottom, 59);
}

TEST(ShadeKernelTest, EveryPixelIsItsOwnFactorTimesItsColourWhateverTheShortcuts)
{
    // The pixel as the shading defines it, one at a time through the public pieces; the kernel
    // takes shortcuts (runs, a table for the unlit side, mirrored rows, two pixels at once) that
    // must not change a single word.
    auto reference = [](const Picture& source, int wd, Picture& target, double phase) {
        const MoonDisc disc = MoonDiscFor(wd, source.height);
        const Terminator t = TerminatorFor(phase);
        for (int y = std::max(disc.y0, 0); y <= std::min({disc.y1, source.height - 1, target.height - 1}); ++y) {
            const std::optional<MoonRow> row = MoonRowAt(disc, y);
            if (!row)
                continue;
            for (int x = std::max(row->first, 0); x <= std::min({row->last, source.width - 1, target.width - 1}); ++x) {
                const double xn = (x - disc.cx) / (row->halfWidth + 0.001);
                const std::uint32_t word = source.words[static_cast<std::size_t>(y) * source.width + x];
                target.at(x, y) = (target.at(x, y) & 0xFF000000u) | ScalePixel(word, BrightnessFactor(t, xn));
            }
        }
    };
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (const auto& [wd, height] : {std::pair{60, 60}, {120, 120}, {240, 240}, {120, 90}, {60, 61}}) {
        Picture source(wd, height);
        for (std::uint32_t& word : source.words)
            word = next();
        for (int i = 0; i <= 40; ++i) {
            const double phase = i / 40.0 + (i % 3 == 1 ? 1e-7 : 0.0);
            Picture expected(wd, wd, 0xFF123456u);
            Picture shaded = expected;
            reference(source, wd, expected, phase);
            ShadeMoonInto(source.view(), wd, shaded.target(), phase);
            ASSERT_EQ(shaded.words, expected.words) << wd << "x" << height << " at phase " << phase;
        }
    }
}

// The disc's pixels as the shading visits them, for a picture of side wd.
std::vector<std::pair<int, int>> DiscPixels(int wd)
{
    std::vector<std::pair<int, int>> pixels;
    const MoonDisc disc = MoonDiscFor(wd, wd);
    for (int y = disc.y0; y <= disc.y1; ++y)
        if (const std::optional<MoonRow> row = MoonRowAt(disc, y))
            for (int x = row->first; x <= row->last; ++x)
                pixels.emplace_back(x, y);
    return pixels;
}

TEST(ShadeKernelTest, SouthernMoonIsTheNorthernTurnedHalfwayAboutThePictureCentre)
{
    std::uint32_t seed = 777;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int wd : {60, 120, 240}) {
        Picture source(wd, wd);
        for (std::uint32_t& word : source.words)
            word = next() & 0xFFFFFFu;
        const auto disc = DiscPixels(wd);
        std::set<std::pair<int, int>> inDisc(disc.begin(), disc.end());
        for (double phase : {0.0, 0.1, 0.25, 0.5, 0.6, 0.75, 0.97}) {
            const std::string what = std::to_string(wd) + " at phase " + std::to_string(phase);
            Picture north(wd, wd, 0xFF00FF00u);
            Picture south = north;
            ShadeMoonInto(source.view(), wd, north.target(), phase);
            ShadeMoonInto(source.view(), wd, south.target(), phase, Hemisphere::South);
            std::set<std::pair<int, int>> turnedDisc;
            for (const auto& [x, y] : disc) {
                const TurnedPlace to = TurnedHalfway(x, y, wd, wd);
                turnedDisc.emplace(to.x, to.y);
                ASSERT_EQ(south.at(to.x, to.y), north.at(x, y)) << what << ": pixel " << x << "," << y;
            }
            for (int y = 0; y < wd; ++y) {
                for (int x = 0; x < wd; ++x) {
                    if (turnedDisc.count({x, y}))
                        continue;
                    // Where the turned disc leaves the disc uncovered the plain picture shows; the
                    // rest of the layer is as it was.
                    const std::uint32_t expected = inDisc.count({x, y}) ? (0xFF000000u | source.at(x, y)) : 0xFF00FF00u;
                    ASSERT_EQ(south.at(x, y), expected) << what << ": pixel " << x << "," << y;
                }
            }
            // Point by point the same pixels arrive, each once.
            Picture byPoint(wd, wd, 0xFF00FF00u);
            std::set<std::pair<int, int>> seen;
            ShadeMoonPixels(
                source.view(), wd, wd, wd, phase,
                [&](int x, int y, std::uint32_t rgb) {
                    EXPECT_TRUE(seen.emplace(x, y).second) << what << ": pixel " << x << "," << y << " twice";
                    byPoint.at(x, y) = 0xFF000000u | rgb;
                },
                Hemisphere::South);
            ASSERT_EQ(byPoint.words, south.words) << what;
        }
    }
}

TEST(ShadeKernelTest, SouthernFirstQuarterIsLitOnTheLeftAndDimOnTheRight)
{
    const Picture source(60, 60, Grey(200));
    Picture south(60, 60);
    ShadeMoonInto(source.view(), 60, south.target(), 0.25, Hemisphere::South);
    const MoonRow middle = *MoonRowAt(MoonDiscFor(60, 60), 29);
    // Turned, the row's columns lie one over: the leftmost is one left of the disc's own.
    EXPECT_EQ(Red(south.at(59 - middle.last, 29)), 200);
    EXPECT_EQ(Red(south.at(59 - middle.first, 29)), 40);
    // The disc's middle column, at one half, turns to the column left of the picture's centre.
    EXPECT_EQ(Red(south.at(29, 29)), 100);
}

TEST(ShadeKernelTest, TurnedMoonIsARotationNotAMirror)
{
    // Darker towards the bottom and towards the right: a mirror keeps one of the two gradients, a
    // half turn reverses both.
    const Picture source(60, 60, [](int x, int y) { return static_cast<std::uint32_t>(x << 16 | y << 8); });
    Picture turned(60, 60, 0xFF000000u);
    TurnMoonInto(source.view(), 60, turned.target());
    for (const auto& [x, y] : DiscPixels(60)) {
        const std::uint32_t word = turned.at(59 - x, 59 - y) & 0xFFFFFFu;
        ASSERT_EQ(word, source.words[static_cast<std::size_t>(y) * 60 + x]) << x << "," << y;
    }
    const MoonDisc disc = MoonDiscFor(60, 60);
    // The top row of the disc now shows what the bottom row showed, and its left what the right showed.
    EXPECT_EQ(turned.at(30, disc.y0) >> 8 & 0xFF, static_cast<std::uint32_t>(disc.y1));
    EXPECT_GT(turned.at(59 - 44, 29) >> 16 & 0xFF, turned.at(44, 29) >> 16 & 0xFF);
}

TEST(ShadeKernelTest, PhaseThatIsNoNumberShadesNothing)
{
    const Picture source(60, 60, Grey(200));
    EXPECT_TRUE(Shaded(source, 60, 60, 60, std::nan("")).empty());
    EXPECT_TRUE(Shaded(source, 60, 60, 60, INFINITY).empty());
}

} // namespace
} // namespace vx
