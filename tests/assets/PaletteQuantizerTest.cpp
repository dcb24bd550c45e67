#include "PaletteQuantizer.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using vx::assetgen::quantizeMasked;
using vx::assetgen::quantizeOpaque;

namespace {

constexpr QRgb kGrey = 0xFFC6C6C6;

// A smooth two-way gradient with a flat grey border: many more colours than a palette holds.
QImage gradientWithGreyBorder(int side)
{
    QImage img(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const bool border = x < 4 || y < 4 || x >= side - 4 || y >= side - 4;
            img.setPixel(x, y, border ? kGrey : qRgb(x * 255 / side, y * 255 / side, (x + y) * 127 / side));
        }
    return img;
}

int worstChannelError(const QImage& a, const QImage& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

TEST(PaletteQuantizer, RichPictureGetsAFullPaletteWithTheFixedColourKeptExact)
{
    const QImage src = gradientWithGreyBorder(96);
    const QImage out = quantizeOpaque(src, 256, {kGrey});
    ASSERT_EQ(out.format(), QImage::Format_Indexed8);
    EXPECT_LE(out.colorCount(), 256);
    EXPECT_GE(out.colorCount(), 240);
    EXPECT_EQ(out.color(0), kGrey);
    for (int i = 0; i < 96; ++i) {
        EXPECT_EQ(out.pixelIndex(i, 0), 0);
        EXPECT_EQ(out.pixelIndex(95, i), 0);
    }
    // 9216 colours in 255 entries: no channel may be off by more than a small step.
    EXPECT_LE(worstChannelError(src, out.convertToFormat(QImage::Format_RGB32)), 14);
}

TEST(PaletteQuantizer, PictureWithFewColoursIsReproducedExactly)
{
    QImage src(20, 10, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(10, 20, 30), qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(255, 255, 255), kGrey};
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            src.setPixel(x, y, colours[(x / 4 + y) % 5]);
    const QImage out = quantizeOpaque(src, 256, {kGrey});
    EXPECT_EQ(out.colorCount(), 5);
    EXPECT_EQ(worstChannelError(src, out.convertToFormat(QImage::Format_RGB32)), 0);
}

TEST(PaletteQuantizer, ColoursCloseToTheFixedOneDoNotTakeIt)
{
    // The fixed grey marks the corners; a nearly grey pixel elsewhere must keep its own entry.
    QImage src = gradientWithGreyBorder(64);
    for (int x = 20; x < 40; ++x)
        src.setPixel(x, 30, qRgb(199, 198, 197));
    const QImage out = quantizeOpaque(src, 256, {kGrey});
    for (int x = 20; x < 40; ++x)
        EXPECT_NE(out.pixelIndex(x, 30), 0) << x;
}

TEST(PaletteQuantizer, SixteenColourLimitHoldsForAGradient)
{
    const QImage out = quantizeOpaque(gradientWithGreyBorder(64), 16);
    EXPECT_LE(out.colorCount(), 16);
    EXPECT_GE(out.colorCount(), 12);
}

TEST(PaletteQuantizer, SameInputGivesTheSamePalette)
{
    const QImage src = gradientWithGreyBorder(80);
    EXPECT_EQ(quantizeOpaque(src, 64, {kGrey}), quantizeOpaque(src, 64, {kGrey}));
}

TEST(PaletteQuantizer, MaskedPictureCutsOutWhatIsMostlyTransparent)
{
    QImage src(8, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            src.setPixel(x, y, qRgba(x * 30, 90, y * 30, x < 4 ? 0 : (x == 4 ? 127 : (x == 5 ? 128 : 255))));
    const QImage out = quantizeMasked(src, 16);
    ASSERT_EQ(out.format(), QImage::Format_Indexed8);
    EXPECT_LE(out.colorCount(), 16);
    EXPECT_EQ(qAlpha(out.color(0)), 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const QRgb c = out.color(out.pixelIndex(x, y));
            EXPECT_EQ(qAlpha(c), x <= 4 ? 0 : 255) << x << "," << y;
        }
}

} // namespace
