#include "moon/ShadeKernel.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
// the subtraction is exact. That holds where doubles are computed as doubles (not in the x87's
// wider registers) and the pair is not merged or reassociated (no -ffast-math; the build turns
// off fused multiply-adds for this file).
#if FLT_EVAL_METHOD == 0
constexpr bool kAddingRounds = true;
#else
constexpr bool kAddingRounds = false;
#endif
constexpr double kNoFraction = 4503599627370496.0; // 2^52

double RoundLikeNearbyint(double v)
{
    if (kAddingRounds && v >= 0 && v < kNoFraction)
        return (v + kNoFraction) - kNoFraction;
    return std::nearbyint(v);
}

std::uint32_t ScaleChannel(std::uint32_t channel, double f)
{
    const double v = RoundLikeNearbyint(static_cast<double>(channel) * f);
    return static_cast<std::uint32_t>(std::clamp(v, 0.0, 255.0));
}

// ScalePixel for a factor from 0 to 1, the only factors the shading makes: every product lies
// between 0 and 255, so it needs no clamping.
inline std::uint32_t ScaleByFraction(std::uint32_t rgb, double f)
{
    const auto scale = [f](std::uint32_t channel) {
        return static_cast<std::uint32_t>(RoundLikeNearbyint(static_cast<double>(channel) * f));
    };
    return scale(rgb >> 16 & 0xFF) << 16 | scale(rgb >> 8 & 0xFF) << 8 | scale(rgb & 0xFF);
}

#if defined(__SSE2__)
// ScaleByFraction for two pixels at once, each channel of both in one pair of doubles: the same
// products, additions and subtractions as the scalar form, so the same words.
inline void ScaleTwoByFractions(const std::uint32_t* rgb, const double* f, std::uint32_t* out)
{
    const __m128d noFraction = _mm_set1_pd(kNoFraction);
    const __m128d factors = _mm_loadu_pd(f);
    const __m128i words = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(rgb));
    const __m128i low = _mm_set1_epi32(0xFF);
    const auto scale = [&](int shift) {
        const __m128i channel = _mm_and_si128(_mm_srli_epi32(words, shift), low);
        const __m128d product = _mm_mul_pd(_mm_cvtepi32_pd(channel), factors);
        return _mm_slli_epi32(_mm_cvttpd_epi32(_mm_sub_pd(_mm_add_pd(product, noFraction), noFraction)), shift);
    };
    const __m128i result = _mm_or_si128(_mm_or_si128(scale(16), scale(8)), scale(0));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), result);
}
#endif

// The factor at a position across the row as the terminator sees it (mirrored while waxing): the
// lit side keeps its colour, the unlit side falls to the dark level, and in the band between them
// a sine ramp, never below the dark level.
inline bool IsLit(const Terminator& t, double position)
{
    return position + t.w < t.k;
}

inline bool IsUnlit(const Terminator& t, double position)
{
    return position - t.w >= t.k;
}

inline double RampFactor(const Terminator& t, double position)
{
    const double f = (std::sin((t.k - position) * kQuarterTurn / t.w) + 1) / 2;
    return f < t.dark ? t.dark : f;
}

} // namespace

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
    const double position = t.litOnRight ? -xn : xn;
    if (IsLit(t, position))
        return 1.0;
    if (IsUnlit(t, position))
        return t.dark;
    return RampFactor(t, position);
}

std::uint32_t ScalePixel(std::uint32_t rgb, double f)
{
    const std::uint32_t b = ScaleChannel(rgb & 0xFF, f);
    const std::uint32_t g = ScaleChannel(rgb >> 8 & 0xFF, f);
    const std::uint32_t r = ScaleChannel(rgb >> 16 & 0xFF, f);
    return r << 16 | g << 8 | b;
}

namespace {

// The first x from lo to hi for which holds(x) is true, or hi + 1; holds must be false up to some
// x and true from there on.
template <class Predicate> int FirstWhere(int lo, int hi, Predicate holds)
{
    int first = hi + 1;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        if (holds(mid)) {
            first = mid;
            hi = mid - 1;
        } else {
            lo = mid + 1;
        }
    }
    return first;
}

// The shading of every pixel of the disc, row by row from the top and left to right, handed to
// put(x, y, word) with the new word 0x00RRGGBB. Across a row the position only grows (or, mirrored,
// only falls), so each row splits into at most three runs: the lit side, which keeps its words,
// the unlit side, whose channels come from a table (its level is one value for the whole moon),
// and the soft band between them, the only place that costs a sine. The runs' ends are found by
// bisection with the very tests the brightness factor makes. A row whose mirror image about the
// disc's centre was shaded already (same half-width, same columns) takes that row's runs and band.
template <class PixelSink> void ShadeRows(const ConstPixels& source, int wd, int targetWidth, int targetHeight,
                                          double phase, PixelSink&& put)
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
    const auto darken = [&darkChannel](std::uint32_t rgb) {
        return static_cast<std::uint32_t>(darkChannel[rgb >> 16 & 0xFF]) << 16
               | static_cast<std::uint32_t>(darkChannel[rgb >> 8 & 0xFF]) << 8 | darkChannel[rgb & 0xFF];
    };

    // Per row: its half-width and columns, where its band begins and ends (bandFirst to
    // bandEnd - 1), and where the band's factors begin in bandFactors.
    struct RowRuns {
        double halfWidth = -1;
        int xFirst = 0;
        int xLast = -1;
        int bandFirst = 0;
        int bandEnd = 0;
        std::size_t offset = 0;
    };
    std::vector<RowRuns> rows(static_cast<std::size_t>(yLast - yFirst + 1));
    std::vector<double> bandFactors;
    bandFactors.reserve(rows.size() * static_cast<std::size_t>(std::min(xLimit + 1, 2 * std::max(disc.radius, 0) + 3)));

    for (int y = yFirst; y <= yLast; ++y) {
        const std::optional<MoonRow> row = MoonRowAt(disc, y);
        if (!row)
            continue;
        const int xFirst = std::max(row->first, 0);
        const int xLast = std::min(row->last, xLimit);
        if (xFirst > xLast)
            continue;
        RowRuns& here = rows[static_cast<std::size_t>(y - yFirst)];
        here.halfWidth = row->halfWidth;
        here.xFirst = xFirst;
        here.xLast = xLast;

        // The mirror row lies as far below the centre as this one lies above it.
        const long mirror = std::lround(2 * disc.cy) - 1 - y;
        const RowRuns* twin = mirror >= yFirst && mirror < y ? &rows[static_cast<std::size_t>(mirror - yFirst)] : nullptr;
        if (twin && twin->halfWidth == here.halfWidth && twin->xFirst == xFirst && twin->xLast == xLast) {
            here.bandFirst = twin->bandFirst;
            here.bandEnd = twin->bandEnd;
            here.offset = twin->offset;
        } else {
            const double across = row->halfWidth + kHalfWidthGuard;
            // The position as BrightnessFactor sees it, mirrored while waxing.
            const auto position = [&](int x) {
                const double xn = (x - disc.cx) / across;
                return t.litOnRight ? -xn : xn;
            };
            const auto lit = [&](int x) { return IsLit(t, position(x)); };
            const auto unlit = [&](int x) { return IsUnlit(t, position(x)); };
            if (t.litOnRight) {
                here.bandFirst = FirstWhere(xFirst, xLast, [&](int x) { return !unlit(x); });
                here.bandEnd = FirstWhere(here.bandFirst, xLast, lit);
            } else {
                here.bandFirst = FirstWhere(xFirst, xLast, [&](int x) { return !lit(x); });
                here.bandEnd = FirstWhere(here.bandFirst, xLast, unlit);
            }
            here.offset = bandFactors.size();
            for (int x = here.bandFirst; x < here.bandEnd; ++x)
                bandFactors.push_back(RampFactor(t, position(x)));
        }

        const std::uint32_t* line = source.data + y * source.stride;
        // The side before the band and the side after it: lit and unlit, or the other way round.
        const bool litFirst = !t.litOnRight;
        for (int x = xFirst; x < here.bandFirst; ++x)
            put(x, y, litFirst ? line[x] & 0xFFFFFFu : darken(line[x]));
        const double* band = bandFactors.data() + here.offset;
        int x = here.bandFirst;
#if defined(__SSE2__)
        for (; x + 1 < here.bandEnd; x += 2) {
            std::uint32_t two[2];
            ScaleTwoByFractions(line + x, band + (x - here.bandFirst), two);
            put(x, y, two[0]);
            put(x + 1, y, two[1]);
        }
#endif
        for (; x < here.bandEnd; ++x)
            put(x, y, ScaleByFraction(line[x], band[x - here.bandFirst]));
        for (int x = here.bandEnd; x <= xLast; ++x)
            put(x, y, litFirst ? darken(line[x]) : line[x] & 0xFFFFFFu);
    }
}

// The disc's pixels in source and target, row by row: visit(x, y) for each, with the limits the
// shading keeps to.
template <class Visit> void ForEachDiscPixel(const ConstPixels& source, int wd, int targetWidth, int targetHeight,
                                             Visit&& visit)
{
    const MoonDisc disc = MoonDiscFor(wd, source.height);
    const int yFirst = std::max(disc.y0, 0);
    const int yLast = std::min({disc.y1, source.height - 1, targetHeight - 1});
    const int xLimit = std::min(source.width, targetWidth) - 1;
    for (int y = yFirst; y <= yLast; ++y) {
        const std::optional<MoonRow> row = MoonRowAt(disc, y);
        if (!row)
            continue;
        for (int x = std::max(row->first, 0); x <= std::min(row->last, xLimit); ++x)
            visit(x, y);
    }
}

// Turns what the shading hands over for the southern sky: each pixel goes to its turned place,
// when that lies in the target. Then the disc's pixels that no turned pixel covered take the
// source's own: the turned disc lies one column over from the disc (the disc's columns centre on
// a pixel, its rows between two), and the layer outside it is the plain picture.
template <class Produce, class PixelSink>
void PutTurned(const ConstPixels& source, int wd, int targetWidth, int targetHeight, Produce&& produce,
               PixelSink&& put)
{
    const int h = source.height;
    const auto inTarget = [&](int x, int y) { return x >= 0 && y >= 0 && x < targetWidth && y < targetHeight; };
    std::vector<bool> covered(static_cast<std::size_t>(std::max(targetWidth, 0)) *
                              static_cast<std::size_t>(std::max(targetHeight, 0)));
    produce([&](int x, int y, std::uint32_t rgb) {
        const TurnedPlace to = TurnedHalfway(x, y, wd, h);
        if (!inTarget(to.x, to.y))
            return;
        covered[static_cast<std::size_t>(to.y) * static_cast<std::size_t>(targetWidth) + to.x] = true;
        put(to.x, to.y, rgb);
    });
    ForEachDiscPixel(source, wd, targetWidth, targetHeight, [&](int x, int y) {
        if (!covered[static_cast<std::size_t>(y) * static_cast<std::size_t>(targetWidth) + x])
            put(x, y, source.data[y * source.stride + x] & 0xFFFFFFu);
    });
}

} // namespace

void ShadeMoonPixels(const ConstPixels& source, int wd, int targetWidth, int targetHeight, double phase,
                     const ShadedPixelSink& put, Hemisphere hemisphere)
{
    if (hemisphere == Hemisphere::North) {
        ShadeRows(source, wd, targetWidth, targetHeight, phase, put);
        return;
    }
    if (!std::isfinite(phase) || source.data == nullptr)
        return;
    PutTurned(
        source, wd, targetWidth, targetHeight,
        [&](const auto& turned) { ShadeRows(source, wd, targetWidth, targetHeight, phase, turned); }, put);
}

void ShadeMoonInto(const ConstPixels& source, int wd, const Pixels& target, double phase, Hemisphere hemisphere)
{
    if (target.data == nullptr)
        return;
    const auto write = [&target](int x, int y, std::uint32_t rgb) {
        std::uint32_t& word = target.data[y * target.stride + x];
        word = (word & 0xFF000000u) | rgb;
    };
    if (hemisphere == Hemisphere::North) {
        ShadeRows(source, wd, target.width, target.height, phase, write);
        return;
    }
    if (!std::isfinite(phase) || source.data == nullptr)
        return;
    PutTurned(
        source, wd, target.width, target.height,
        [&](const auto& turned) { ShadeRows(source, wd, target.width, target.height, phase, turned); }, write);
}

void TurnMoonInto(const ConstPixels& source, int wd, const Pixels& target)
{
    if (target.data == nullptr || source.data == nullptr)
        return;
    const auto write = [&target](int x, int y, std::uint32_t rgb) {
        std::uint32_t& word = target.data[y * target.stride + x];
        word = (word & 0xFF000000u) | rgb;
    };
    PutTurned(
        source, wd, target.width, target.height,
        [&](const auto& turned) {
            ForEachDiscPixel(source, wd, target.width, target.height,
                             [&](int x, int y) { turned(x, y, source.data[y * source.stride + x] & 0xFFFFFFu); });
        },
        write);
}

} // namespace vx
