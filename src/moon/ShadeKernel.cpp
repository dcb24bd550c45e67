#include "moon/ShadeKernel.h"

#include <algorithm>
#include <cmath>

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

std::uint32_t ScaleChannel(std::uint32_t channel, double f)
{
    const double v = std::nearbyint(static_cast<double>(channel) * f);
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

void ShadeMoonPixels(const ConstPixels& source, int wd, int targetWidth, int targetHeight, double phase,
                     const ShadedPixelSink& put)
{
    if (!std::isfinite(phase) || source.data == nullptr)
        return;
    const MoonDisc disc = MoonDiscFor(wd, source.height);
    const Terminator terminator = TerminatorFor(phase);
    // A picture of another height than Wd moves the disc's rows and columns; only what lies in
    // both pictures is read or written.
    const int yFirst = std::max(disc.y0, 0);
    const int yLast = std::min({disc.y1, source.height - 1, targetHeight - 1});
    const int xLimit = std::min(source.width, targetWidth) - 1;
    for (int y = yFirst; y <= yLast; ++y) {
        const std::optional<MoonRow> row = MoonRowAt(disc, y);
        if (!row)
            continue;
        const std::uint32_t* line = source.data + y * source.stride;
        const int xFirst = std::max(row->first, 0);
        const int xLast = std::min(row->last, xLimit);
        for (int x = xFirst; x <= xLast; ++x) {
            const double xn = (x - disc.cx) / (row->halfWidth + kHalfWidthGuard);
            put(x, y, ScalePixel(line[x], BrightnessFactor(terminator, xn)));
        }
    }
}

void ShadeMoonInto(const ConstPixels& source, int wd, const Pixels& target, double phase)
{
    if (target.data == nullptr)
        return;
    ShadeMoonPixels(source, wd, target.width, target.height, phase, [&target](int x, int y, std::uint32_t rgb) {
        std::uint32_t& word = target.data[y * target.stride + x];
        word = (word & 0xFF000000u) | rgb;
    });
}

} // namespace vx
