#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <tuple>

namespace {

const QString kAssets = QStringLiteral(VX_ASSETS_DIR);

QImage load(const QString& relative)
{
    QImage img(kAssets + "/" + relative);
    EXPECT_FALSE(img.isNull()) << relative.toStdString();
    return img;
}

int luminance(QRgb c)
{
    return (299 * qRed(c) + 587 * qGreen(c) + 114 * qBlue(c)) / 1000;
}

int chroma(QRgb c)
{
    return std::max({qRed(c), qGreen(c), qBlue(c)}) - std::min({qRed(c), qGreen(c), qBlue(c)});
}

// Distance of a pixel's centre from the middle of a square picture.
double centreDistance(int x, int y, int side)
{
    return std::hypot(x + 0.5 - side / 2.0, y + 0.5 - side / 2.0);
}

std::uint32_t le32(const QByteArray& b, int at)
{
    return std::uint32_t(uchar(b[at])) | std::uint32_t(uchar(b[at + 1])) << 8 | std::uint32_t(uchar(b[at + 2])) << 16 |
           std::uint32_t(uchar(b[at + 3])) << 24;
}

class DialPicture : public ::testing::TestWithParam<int> {
protected:
    int side() const { return GetParam(); }
    QString name() const { return QString("dial/dial%1.bmp").arg(side()); }
};

TEST_P(DialPicture, IsASquareBitmapOfEightBitsPerPixelWithItsOwnPalette)
{
    QFile f(kAssets + "/" + name());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    ASSERT_GE(b.size(), 54);
    EXPECT_EQ(b.left(2), "BM");
    EXPECT_EQ(le32(b, 18), std::uint32_t(side()));             // width
    EXPECT_EQ(std::int32_t(le32(b, 22)), side());              // height (bottom-up)
    EXPECT_EQ(uchar(b[28]) | uchar(b[29]) << 8, 8);            // bits per pixel
    EXPECT_EQ(le32(b, 30), 0u);                                // no compression
    EXPECT_LE(le32(b, 46), 256u);                              // colours used

    const QImage img = load(name());
    EXPECT_EQ(img.format(), QImage::Format_Indexed8);
    EXPECT_LE(img.colorCount(), 256);
    // A palette made for the picture uses far more than a handful of entries.
    EXPECT_GE(img.colorCount(), 200);
}

TEST_P(DialPicture, CornersOutsideTheFaceAreFlatGrey)
{
    const QImage img = load(name()).convertToFormat(QImage::Format_RGB32);
    int corner = 0;
    for (int y = 0; y < side(); ++y)
        for (int x = 0; x < side(); ++x)
            if (centreDistance(x, y, side()) > side() / 2.0) {
                ++corner;
                ASSERT_EQ(img.pixel(x, y), qRgb(198, 198, 198)) << x << "," << y;
            }
    // The four corners together are about 21 % of the square.
    EXPECT_NEAR(double(corner) / (side() * side()), 1.0 - M_PI / 4.0, 0.02);
}

TEST_P(DialPicture, FaceNextToTheCornersIsNotTheCornerGrey)
{
    // The window's round shape shows these pixels, so the face has to reach them.
    const QImage img = load(name()).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < side(); ++y)
        for (int x = 0; x < side(); ++x) {
            if (centreDistance(x, y, side()) < side() / 2.0 - 0.5) {
                ASSERT_NE(img.pixel(x, y), qRgb(198, 198, 198)) << x << "," << y;
            }
        }
}

TEST_P(DialPicture, FullMoonFillsTheDiscOfAQuarterSideAroundTheCentre)
{
    const QImage img = load(name()).convertToFormat(QImage::Format_RGB32);
    const double r = side() / 4.0;
    long sum = 0;
    int count = 0;
    for (int y = 0; y < side(); ++y)
        for (int x = 0; x < side(); ++x)
            if (centreDistance(x, y, side()) <= r - 1.0) {
                const QRgb c = img.pixel(x, y);
                ASSERT_LE(chroma(c), 36) << "not moon grey at " << x << "," << y;
                ASSERT_GE(luminance(c), 40) << "too dark for a full moon at " << x << "," << y;
                sum += luminance(c);
                ++count;
            }
    EXPECT_GE(sum / count, 120);
}

TEST_P(DialPicture, DarkThenLightRimRunsJustOutsideTheMoon)
{
    // In every 10-degree sector, the mean brightness by distance from the centre (half-pixel
    // steps from the moon's edge outward) falls dark and then rises light within four pixels.
    const QImage img = load(name()).convertToFormat(QImage::Format_RGB32);
    const double r = side() / 4.0;
    constexpr int kSectors = 36, kBins = 8;
    double sum[kSectors][kBins] = {};
    int count[kSectors][kBins] = {};
    for (int y = 0; y < side(); ++y)
        for (int x = 0; x < side(); ++x) {
            const double d = centreDistance(x, y, side()) - r;
            if (d <= 0 || d > kBins * 0.5)
                continue;
            double a = std::atan2(y + 0.5 - side() / 2.0, x + 0.5 - side() / 2.0);
            if (a < 0)
                a += 2 * M_PI;
            const int sector = std::min(kSectors - 1, int(a / (2 * M_PI) * kSectors));
            const int bin = std::min(kBins - 1, int(d / 0.5));
            sum[sector][bin] += luminance(img.pixel(x, y));
            ++count[sector][bin];
        }
    for (int sector = 0; sector < kSectors; ++sector) {
        int darkAt = -1, lightAt = -1;
        for (int bin = 0; bin < kBins; ++bin) {
            if (count[sector][bin] == 0)
                continue;
            const double mean = sum[sector][bin] / count[sector][bin];
            if (darkAt < 0 && mean < 90)
                darkAt = bin;
            if (darkAt >= 0 && lightAt < 0 && mean > 160)
                lightAt = bin;
        }
        EXPECT_GE(darkAt, 0) << "no dark rim in sector " << sector;
        EXPECT_GT(lightAt, darkAt) << "no light rim outside the dark one in sector " << sector;
    }
}

TEST_P(DialPicture, EveryPixelTheMoonShadingTouchesIsMoonOrRim)
{
    // The shading darkens a disc of rows side/4 .. 3 side/4 - 1, each row's columns from
    // nearest(cx - hw) to nearest(cx + hw); none of the coloured ring may lie in it.
    const QImage img = load(name()).convertToFormat(QImage::Format_RGB32);
    const double cx = side() / 2.0, cy = side() / 2.0;
    const double radius = std::nearbyint(side() / 2.0 - side() / 4.0);
    for (int y = int(std::nearbyint(side() / 4.0)); y <= int(std::nearbyint(side() - side() / 4.0 - 1)); ++y) {
        const double hw = std::sqrt(radius * radius - (y + 0.5 - cy) * (y + 0.5 - cy));
        for (int x = int(std::nearbyint(cx - hw)); x <= int(std::nearbyint(hw + cx)); ++x)
            ASSERT_LE(chroma(img.pixel(x, y)), 40) << x << "," << y;
    }
}

TEST_P(DialPicture, EachHourPositionCarriesAnOutlinedNumeral)
{
    // A light figure with a dark edge centred on the ring at 3/8 of the side from the centre.
    const QImage img = load(name()).convertToFormat(QImage::Format_RGB32);
    const double c = side() / 2.0;
    const double rho = 0.745 * c;
    const int half = std::max(2, side() / 30);
    for (int h = 1; h <= 12; ++h) {
        const double a = h * M_PI / 6.0;
        const int px = int(c + rho * std::sin(a));
        const int py = int(c - rho * std::cos(a));
        int light = 0, dark = 0;
        for (int y = py - half; y <= py + half; ++y)
            for (int x = px - half; x <= px + half; ++x) {
                const QRgb p = img.pixel(x, y);
                light += luminance(p) > 215 && chroma(p) < 40;
                dark += luminance(p) < 90;
            }
        EXPECT_GE(light, 2) << "no figure at hour " << h;
        EXPECT_GE(dark, 2) << "no outline at hour " << h;
    }
}

INSTANTIATE_TEST_SUITE_P(AllSizes, DialPicture, ::testing::Values(60, 120, 240));

// The dials drawn for screens of 2 and 3 device pixels to each of the window's: the same dial,
// scale times as many pixels across.
class DialForRatio : public ::testing::TestWithParam<std::tuple<int, int>> {
protected:
    int side() const { return std::get<0>(GetParam()); }
    int scale() const { return std::get<1>(GetParam()); }
    int pixels() const { return side() * scale(); }
    QString name() const { return QString("dial/dial%1@%2x.png").arg(side()).arg(scale()); }
};

TEST_P(DialForRatio, IsAnEightBitPictureScaleTimesTheSideWithItsOwnPalette)
{
    QImageReader reader(kAssets + "/" + name());
    EXPECT_EQ(reader.format(), "png");
    const QImage img = load(name());
    EXPECT_EQ(img.size(), QSize(pixels(), pixels()));
    EXPECT_EQ(img.format(), QImage::Format_Indexed8);
    EXPECT_GE(img.colorCount(), 200);
    EXPECT_LE(img.colorCount(), 256);
}

TEST_P(DialForRatio, CornersAreFlatGreyAndTheRimIsTheFaces)
{
    const QImage img = load(name()).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < pixels(); ++y)
        for (int x = 0; x < pixels(); ++x) {
            const double d = centreDistance(x, y, pixels());
            if (d > pixels() / 2.0)
                ASSERT_EQ(img.pixel(x, y), qRgb(198, 198, 198)) << x << "," << y;
            else if (d < pixels() / 2.0 - 0.5 && d > pixels() / 2.0 - 4 * scale())
                ASSERT_NE(img.pixel(x, y), qRgb(198, 198, 198)) << x << "," << y;
        }
}

TEST_P(DialForRatio, BroughtDownItIsTheDialOfItsSide)
{
    // Averaged down to the side, it differs from the one-to-one dial only by the palettes and the
    // finer edges: the numerals, scenes and moon lie in the same places.
    const QImage img = load(name()).convertToFormat(QImage::Format_RGB32);
    const QImage one = load(QString("dial/dial%1.bmp").arg(side())).convertToFormat(QImage::Format_RGB32);
    double difference = 0;
    for (int y = 0; y < side(); ++y)
        for (int x = 0; x < side(); ++x) {
            int sum[3] = {0, 0, 0};
            for (int j = 0; j < scale(); ++j)
                for (int i = 0; i < scale(); ++i) {
                    const QRgb c = img.pixel(x * scale() + i, y * scale() + j);
                    sum[0] += qRed(c);
                    sum[1] += qGreen(c);
                    sum[2] += qBlue(c);
                }
            const QRgb c = one.pixel(x, y);
            const int n = scale() * scale();
            difference += std::abs(sum[0] / n - qRed(c)) + std::abs(sum[1] / n - qGreen(c)) + std::abs(sum[2] / n - qBlue(c));
        }
    EXPECT_LT(difference / (3.0 * side() * side()), 10.0);
}

TEST_P(DialForRatio, FullMoonFillsTheDiscOfAQuarterSide)
{
    const QImage img = load(name()).convertToFormat(QImage::Format_RGB32);
    const double r = pixels() / 4.0;
    for (int y = 0; y < pixels(); ++y)
        for (int x = 0; x < pixels(); ++x)
            if (centreDistance(x, y, pixels()) <= r - 1.0) {
                ASSERT_LE(chroma(img.pixel(x, y)), 36) << x << "," << y;
                ASSERT_GE(luminance(img.pixel(x, y)), 40) << x << "," << y;
            }
}

INSTANTIATE_TEST_SUITE_P(TwoAndThree, DialForRatio,
                         ::testing::Combine(::testing::Values(60, 120, 240), ::testing::Values(2, 3)));

// --- the tray's moon icons -------------------------------------------------------------------

class MoonIcon : public ::testing::TestWithParam<int> {
protected:
    QImage icon(int n) const
    {
        return load(QString("moon/%1/moon%2.png").arg(GetParam()).arg(n, 2, 10, QChar('0')));
    }
    int size() const { return GetParam(); }

    // Lit pixels: opaque and clearly above black.
    struct Lit {
        int count = 0;
        double meanX = 0;
    };
    Lit lit(const QImage& img) const
    {
        Lit l;
        const QImage argb = img.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < size(); ++y)
            for (int x = 0; x < size(); ++x) {
                const QRgb p = argb.pixel(x, y);
                if (qAlpha(p) == 255 && luminance(p) > 60) {
                    ++l.count;
                    l.meanX += x + 0.5;
                }
            }
        if (l.count > 0)
            l.meanX /= l.count;
        return l;
    }
};

TEST_P(MoonIcon, AllSeventeenAreSquareSixteenColourPictures)
{
    for (int n = 0; n <= 16; ++n) {
        const QImage img = icon(n);
        EXPECT_EQ(img.size(), QSize(size(), size())) << n;
        EXPECT_TRUE(img.format() == QImage::Format_Indexed8 || img.format() == QImage::Format_Mono) << n;
        EXPECT_LE(img.colorCount(), 16) << n;
    }
}

TEST_P(MoonIcon, MaskIsTransparentOutsideTheDiscAndOpaqueInside)
{
    for (int n = 0; n <= 16; ++n) {
        const QImage img = icon(n).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < size(); ++y)
            for (int x = 0; x < size(); ++x) {
                const double d = centreDistance(x, y, size());
                const int expected = d > size() / 2.0 ? 0 : 255;
                ASSERT_EQ(qAlpha(img.pixel(x, y)), expected) << n << " at " << x << "," << y;
            }
    }
}

TEST_P(MoonIcon, NewMoonIsAnAllBlackDiscAtBothEndsOfTheLunation)
{
    for (int n : {0, 16}) {
        const QImage img = icon(n).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < size(); ++y)
            for (int x = 0; x < size(); ++x) {
                if (qAlpha(img.pixel(x, y)) != 0) {
                    ASSERT_EQ(img.pixel(x, y) & 0xFFFFFF, 0u) << n << " at " << x << "," << y;
                }
            }
    }
}

TEST_P(MoonIcon, FullMoonIsLitAllOver)
{
    const QImage img = icon(8).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < size(); ++y)
        for (int x = 0; x < size(); ++x) {
            if (qAlpha(img.pixel(x, y)) != 0) {
                ASSERT_GT(luminance(img.pixel(x, y)), 100) << x << "," << y;
            }
        }
}

TEST_P(MoonIcon, WaxingMoonIsLitOnTheRightAndWaningMoonOnTheLeft)
{
    for (int n = 1; n <= 7; ++n) {
        const Lit l = lit(icon(n));
        EXPECT_GT(l.count, 0) << n;
        EXPECT_GT(l.meanX, size() / 2.0) << n;
    }
    for (int n = 9; n <= 15; ++n) {
        const Lit l = lit(icon(n));
        EXPECT_GT(l.count, 0) << n;
        EXPECT_LT(l.meanX, size() / 2.0) << n;
    }
}

TEST_P(MoonIcon, LitPartGrowsToFullAndShrinksAgain)
{
    for (int n = 0; n < 8; ++n)
        EXPECT_LT(lit(icon(n)).count, lit(icon(n + 1)).count) << n;
    for (int n = 8; n < 16; ++n)
        EXPECT_GT(lit(icon(n)).count, lit(icon(n + 1)).count) << n;
}

TEST_P(MoonIcon, WaningIconMirrorsTheWaxingOne)
{
    // n and 16 - n show the same amount of moon, on opposite sides.
    for (int n = 1; n <= 7; ++n) {
        const Lit waxing = lit(icon(n));
        const Lit waning = lit(icon(16 - n));
        EXPECT_NEAR(waxing.count, waning.count, std::max(2, waxing.count / 5)) << n;
        EXPECT_NEAR(waxing.meanX - size() / 2.0, size() / 2.0 - waning.meanX, size() / 8.0) << n;
    }
}

INSTANTIATE_TEST_SUITE_P(AllSizes, MoonIcon, ::testing::Values(16, 32, 64));

TEST(MoonIcon16, LitPartUsesOnlyGreyLightGreyAndWhite)
{
    for (int n = 0; n <= 16; ++n) {
        const QImage img = load(QString("moon/16/moon%1.png").arg(n, 2, 10, QChar('0'))).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const QRgb p = img.pixel(x, y);
                if (qAlpha(p) == 0)
                    continue;
                const QRgb rgb = p & 0xFFFFFF;
                EXPECT_TRUE(rgb == 0 || rgb == 0x808080 || rgb == 0xC0C0C0 || rgb == 0xFFFFFF)
                    << n << " at " << x << "," << y << ": " << std::hex << rgb;
            }
    }
}

// --- the program's icon ----------------------------------------------------------------------

TEST(ProgramIcon, SmallIconsAreSixteenColourDiscsWithOliveHands)
{
    for (int s : {16, 32}) {
        const QImage img = load(QString("icon/velmorax%1.png").arg(s));
        EXPECT_EQ(img.size(), QSize(s, s));
        EXPECT_LE(img.colorCount(), 16);
        EXPECT_GT(img.colorCount(), 0);
        const QImage argb = img.convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(qAlpha(argb.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(argb.pixel(s - 1, s - 1)), 0);
        int olive = 0, black = 0;
        for (int y = 0; y < s; ++y)
            for (int x = 0; x < s; ++x) {
                const QRgb p = argb.pixel(x, y);
                if (qAlpha(p) == 0)
                    continue;
                // Olive: red and green alike, blue well below them.
                olive += std::abs(qRed(p) - qGreen(p)) < 24 && qRed(p) > 70 && qBlue(p) + 50 < qRed(p);
                black += luminance(p) < 40;
            }
        EXPECT_GE(olive, s / 4) << s;
        EXPECT_GE(black, s) << "no black rim at " << s;
    }
}

TEST(ProgramIcon, LauncherIconIsA256PixelPictureWithTransparentCorners)
{
    const QImage img = load("icon/velmorax256.png");
    EXPECT_EQ(img.size(), QSize(256, 256));
    EXPECT_TRUE(img.hasAlphaChannel());
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(img.pixel(128, 128)), 255);
}

TEST(ProgramIcon, TheDesktopMenuGetsAFullColourIconAtEverySizeOfTheIconTheme)
{
    for (int s : {16, 32, 48, 64, 128, 256}) {
        const QImage img = load(QString("icon/hicolor/velmorax%1.png").arg(s));
        ASSERT_EQ(img.size(), QSize(s, s)) << s;
        EXPECT_TRUE(img.hasAlphaChannel()) << s;
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0) << s;
        EXPECT_EQ(qAlpha(img.pixel(s / 2, s / 2)), 255) << s;
    }
    EXPECT_EQ(load("icon/hicolor/velmorax256.png"), load("icon/velmorax256.png"));
}

TEST(ProgramIcon, IconFileHoldsTheSixteenAndThirtyTwoPixelPictures)
{
    QImageReader reader(kAssets + "/icon/velmorax.ico");
    ASSERT_TRUE(reader.canRead());
    ASSERT_EQ(reader.imageCount(), 2);
    QList<int> sides;
    for (int i = 0; i < reader.imageCount(); ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage img = reader.read();
        ASSERT_FALSE(img.isNull());
        sides.push_back(img.width());
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(img.pixel(img.width() / 2, img.height() / 2)), 255);
    }
    std::sort(sides.begin(), sides.end());
    EXPECT_EQ(sides, (QList<int>{16, 32}));
}

// --- compiled in ----------------------------------------------------------------------------

TEST(Resources, EveryPictureIsCompiledInUnderItsFixedName)
{
    QStringList names{"dial/dial60.bmp", "dial/dial120.bmp", "dial/dial240.bmp", "icon/velmorax16.png",
                      "icon/velmorax32.png", "icon/velmorax256.png", "icon/velmorax.ico"};
    for (int size : {16, 32, 64})
        for (int n = 0; n <= 16; ++n)
            names.push_back(QString("moon/%1/moon%2.png").arg(size).arg(n, 2, 10, QChar('0')));
    for (int scale : {2, 3})
        for (int side : {60, 120, 240})
            names.push_back(QString("dial/dial%1@%2x.png").arg(side).arg(scale));
    names.push_back("icon/velmorax64.png");
    for (const QString& name : names) {
        QFile compiled(":/" + name);
        QFile onDisk(kAssets + "/" + name);
        ASSERT_TRUE(compiled.open(QIODevice::ReadOnly)) << name.toStdString();
        ASSERT_TRUE(onDisk.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_EQ(compiled.readAll(), onDisk.readAll()) << name.toStdString();
    }
    EXPECT_FALSE(QFile::exists(":/contact/sheet.png"));
    // Installed beside the program, not carried in it.
    EXPECT_FALSE(QFile::exists(":/icon/hicolor/velmorax64.png"));
    EXPECT_FALSE(QFile::exists(":/help/year.png"));
}

} // namespace
