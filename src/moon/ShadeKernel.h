#pragma once

// The moon's shading on plain pixel buffers: for a lunation fraction, each pixel of the moon's
// disc in the dial picture is scaled by a brightness factor and written at the same place in the
// window's dial layer. The lit side keeps its colour, the unlit side falls to a level that depends
// on the phase, and a sine ramp joins the two. The waxing moon (fraction up to 0.5) is lit on the
// right. Seen from the southern hemisphere the moon is turned half a turn, with its shading, about
// the picture's centre: the waxing moon is lit on the left, and the picture around the disc stays.
//
// Pixels are 32-bit words laid out 0x00RRGGBB: blue in the low byte, then green, then red.

#include "base/Hemisphere.h"
#include "base/Pixels.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace vx {

// Where the moon lies on a dial picture Wd pixels wide and h rows high: centre (cx, cy), radius
// and the rows y0..y1 that are visited. On a square picture the radius is Wd / 4 and the rows span
// the disc; on a picture of another height the disc follows the height.
struct MoonDisc {
    double cx;
    double cy;
    int radius;
    int y0;
    int y1;
};
MoonDisc MoonDiscFor(int wd, int h);

// The columns first..last of one row of the disc, and the disc's half-width on that row.
// Nothing when the row misses the disc (a negative radius, or a row beyond it, which a picture
// lower than Wd gives).
struct MoonRow {
    int first;
    int last;
    double halfWidth;
};
std::optional<MoonRow> MoonRowAt(const MoonDisc& disc, int y);

// The terminator for a lunation fraction p: the boundary at the fraction k of each half-chord,
// the half-width w of the soft band around it, the brightness of the unlit side, and whether the
// lit side is the right one (waxing).
struct Terminator {
    double k;
    double w;
    double dark;
    bool litOnRight;
};
Terminator TerminatorFor(double phase);

// The brightness factor of a pixel at position xn across its row (-1 at the left rim, +1 at the
// right rim), from the unlit level up to 1: the definition of one pixel, which the shading's runs
// and band keep to exactly.
double BrightnessFactor(const Terminator& t, double xn);

// The pixel with each channel scaled by f and rounded to the nearest integer, a value exactly
// halfway going to the even neighbour. The result's top byte is 0.
std::uint32_t ScalePixel(std::uint32_t rgb, double f);

// Receives each shaded pixel: its place and its new value 0x00RRGGBB.
using ShadedPixelSink = std::function<void(int x, int y, std::uint32_t rgb)>;

// Where a pixel of the source picture goes when the moon is turned half a turn about the
// picture's centre (wd / 2, h / 2): (wd - 1 - x, h - 1 - y) for a picture wd wide and h high.
struct TurnedPlace {
    int x;
    int y;
};
inline TurnedPlace TurnedHalfway(int x, int y, int wd, int h)
{
    return {wd - 1 - x, h - 1 - y};
}

// Shades the moon of the source picture for the lunation fraction and hands each pixel of the
// disc, row by row from the top and left to right, to put. Only pixels that lie inside the disc,
// inside the source and inside a target of targetWidth x targetHeight are handed on. A phase that
// is not a number shades nothing. For the southern sky each shaded pixel goes to its turned place
// instead, and the disc's pixels that the turned disc leaves uncovered (one column at its side)
// are handed the source's own pixel, so that the layer's rest is the plain picture.
void ShadeMoonPixels(const ConstPixels& source, int wd, int targetWidth, int targetHeight, double phase,
                     const ShadedPixelSink& put, Hemisphere hemisphere = Hemisphere::North);

// The same shading written straight into target; every other pixel, and the top byte of every
// word, stays as it was.
void ShadeMoonInto(const ConstPixels& source, int wd, const Pixels& target, double phase,
                   Hemisphere hemisphere = Hemisphere::North);

// The moon of the source picture unshaded, turned for the southern sky into target, as the
// shading above turns it; every other pixel stays as it was.
void TurnMoonInto(const ConstPixels& source, int wd, const Pixels& target);

} // namespace vx
