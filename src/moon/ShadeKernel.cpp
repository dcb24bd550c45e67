#include "moon/ShadeKernel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace vx {

namespace {

// The shading's own constants, kept to the digits the moon was always drawn with: a turn and a
// quarter turn in radians, the guard against a zero half-width, the band's width terms and the
// unlit level's slope.
constexpr double kTurn = 6.2831853;
constexpr double kQuarterTurn = 1.57079632675;
constexpr double kHalfWidthGuard = 0.001;
constexpr double kBandBase = 1.1;
constexpr double kBandDivisor = 1.5;
constexpr double kDarkSlope = 0.2;
// Up to the full moon the right-hand side is lit.
constexpr double kFullMoon = 0.5;

// To the nearest integer, a value exactly halfway going to the even neighbour (the default
// floating-point rounding mode).
int Nearest(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

// The same rounding as std::nearbyint, without a library call per channel: a double of 2^52 or
// more has no bits left for a fraction, so adding 2^52 rounds v in the current rounding mode and
// the subtraction is exact. (IEEE arithmetic as compiled without -ffast-math, which may not
// reassociate the pair.)
double RoundLikeNearbyint(double v)
{
    constexpr double kNoFraction = 4503599627370496.0; // 2^52
    if (v >= 0 && v < kNoFraction)
        return (v + kNoFraction) - kNoFraction;
    return std::nearbyint(v);
}

std::uint32_t ScaleChannel(std::uint32_t channel, double f)
{
    const double v = RoundLikeNearbyint(static_cast<double>(channel) * f);
    return static_cast<std::uint32_t>(std::clamp(v, 0.0, 255.0));
}

} // namespace

int MoonPictureSide(int nowSize)
{
    return Nearest(240.0 / std::pow(2.0, 1 - nowSize));
}

MoonDisc MoonDiscFor(int wd, int h)
{
    return {wd / 2.0, h / 2.0, Nearest(h / 2.0 - wd / 4.0), Nearest(h / 4.0), Nearest(h - h / 4.0 - 1)};
}

std::optional<MoonRow> MoonRowAt(const MoonDisc& disc, int y)
{
    if (disc.radius < 0)
        return std::nullopt;
    const double dy = y + 0.5 - disc.cy;
    const double h2 = static_cast<double>(disc.radius) * disc.radius - dy * dy;
    // A row beyond the disc has no half-width at all.
    if (h2 < 0)
        return std::nullopt;
    const double hw = std::sqrt(h2);
    return MoonRow{Nearest(disc.cx - hw), Nearest(hw + disc.cx), hw};
}

Terminator TerminatorFor(double phase)
{
    const double c = std::cos(kTurn * phase);
    return {-c, (kBandBase - std::fabs(c)) / kBandDivisor, kDarkSlope * (c + 1), phase <= kFullMoon};
}

double BrightnessFactor(const Terminator& t, double xn)
{
    // Mirroring the position, not the picture, puts the lit side on the right while waxing.
    if (t.litOnRight)
        xn = -xn;
    if (xn + t.w < t.k)
        return 1.0;
    if (xn - t.w >= t.k)
        return t.dark;
    const double f = (std::sin((t.k - xn) * kQuarterTurn / t.w) + 1) / 2;
    return f < t.dark ? t.dark : f;
}

std::uint32_t ScalePixel(std::uint32_t rgb, double f)
{
    const std::uint32_t b = ScaleChannel(rgb & 0xFF, f);
    const std::uint32_t g = ScaleChannel(rgb >> 8 & 0xFF, f);
    const std::uint32_t r = ScaleChannel(rgb >> 16 & 0xFF, f);
    return r << 16 | g << 8 | b;
}

namespace {

// The shading of every pixel of the disc, row by row from the top, handed to rowSink(y, xFirst,
// xLast, words) with the row's new words 0x00RRGGBB from xFirst to xLast. Only the soft band
// costs a sine; the lit side keeps its words and the unlit side's channels come from a table, as
// its level is one value for the whole moon. A row whose mirror image about the disc's centre
// was shaded already (same half-width, same columns) takes that row's brightness factors.
template <class RowSink> void ShadeRows(const ConstPixels& source, int wd, int targetWidth, int targetHeight,
                                        double phase, RowSink&& rowSink)
{
    if (!std::isfinite(phase) || source.data == nullptr)
        return;
    const MoonDisc disc = MoonDiscFor(wd, source.height);
    const Terminator t = TerminatorFor(phase);
    // A picture of another height than Wd moves the disc's rows and columns; only what lies in
    // both pictures is read or written.
    const int yFirst = std::max(disc.y0, 0);
    const int yLast = std::min({disc.y1, source.height - 1, targetHeight - 1});
    const int xLimit = std::min(source.width, targetWidth) - 1;
    if (yFirst > yLast || xLimit < 0)
        return;

    std::array<std::uint8_t, 256> darkChannel;
    for (std::uint32_t c = 0; c < 256; ++c)
        darkChannel[c] = static_cast<std::uint8_t>(ScaleChannel(c, t.dark));

    // Per row: its half-width, its columns and where its factors begin in factors.
    struct RowFactors {
        double halfWidth = -1;
        int xFirst = 0;
        int xLast = -1;
        std::size_t offset = 0;
    };
    std::vector<RowFactors> rows(static_cast<std::size_t>(yLast - yFirst + 1));
    std::vector<double> factors;
    std::vector<std::uint32_t> words(static_cast<std::size_t>(xLimit + 1));

    for (int y = yFirst; y <= yLast; ++y) {
        const std::optional<MoonRow> row = MoonRowAt(disc, y);
        if (!row)
            continue;
        const int xFirst = std::max(row->first, 0);
        const int xLast = std::min(row->last, xLimit);
        if (xFirst > xLast)
            continue;
        RowFactors& here = rows[static_cast<std::size_t>(y - yFirst)];
        here = {row->halfWidth, xFirst, xLast, factors.size()};

        // The mirror row lies as far below the centre as this one lies above it.
        const long mirror = std::lround(2 * disc.cy) - 1 - y;
        const RowFactors* twin = mirror >= yFirst && mirror < y ? &rows[static_cast<std::size_t>(mirror - yFirst)] : nullptr;
        if (twin && twin->halfWidth == here.halfWidth && twin->xFirst == xFirst && twin->xLast == xLast) {
            here.offset = twin->offset;
        } else {
            const double across = row->halfWidth + kHalfWidthGuard;
            for (int x = xFirst; x <= xLast; ++x)
                factors.push_back(BrightnessFactor(t, (x - disc.cx) / across));
        }
        const double* f = factors.data() + here.offset;

        const std::uint32_t* line = source.data + y * source.stride;
        for (int x = xFirst; x <= xLast; ++x) {
            const std::uint32_t rgb = line[x];
            const double factor = f[x - xFirst];
            if (factor == 1.0)
                words[x] = rgb & 0xFFFFFFu;
            else if (factor == t.dark)
                words[x] = static_cast<std::uint32_t>(darkChannel[rgb >> 16 & 0xFF]) << 16
                           | static_cast<std::uint32_t>(darkChannel[rgb >> 8 & 0xFF]) << 8 | darkChannel[rgb & 0xFF];
            else
                words[x] = ScalePixel(rgb, factor);
        }
        rowSink(y, xFirst, xLast, words.data());
    }
}

} // namespace

void ShadeMoonPixels(const ConstPixels& source, int wd, int targetWidth, int targetHeight, double phase,
                     const ShadedPixelSink& put)
{
    ShadeRows(source, wd, targetWidth, targetHeight, phase,
              [&put](int y, int xFirst, int xLast, const std::uint32_t* words) {
                  for (int x = xFirst; x <= xLast; ++x)
                      put(x, y, words[x]);
              });
}

void ShadeMoonInto(const ConstPixels& source, int wd, const Pixels& target, double phase)
{
    if (target.data == nullptr)
        return;
    ShadeRows(source, wd, target.width, target.height, phase,
              [&target](int y, int xFirst, int xLast, const std::uint32_t* words) {
                  std::uint32_t* line = target.data + y * target.stride;
                  for (int x = xFirst; x <= xLast; ++x)
                      line[x] = (line[x] & 0xFF000000u) | words[x];
              });
}

} // namespace vx
