#pragma once

// The window's sizes and places are logical pixels; a screen may have more device pixels to each
// of them, its device-pixel ratio (2 on a 192-dpi desktop). The dial layer is drawn in device
// pixels so that it stays as sharp as the screen allows.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace vx {

// The ratios the built-in dials are drawn for.
constexpr std::array<int, 3> kDialSets = {1, 2, 3};

// The side in device pixels of something side logical pixels wide.
inline int DeviceSide(int side, double ratio)
{
    return std::max(1, static_cast<int>(std::lround(side * ratio)));
}

// The set of built-in dials drawn nearest the ratio; halfway between two, the larger, as a
// picture brought down loses less than one brought up.
inline int NearestDialSet(double ratio)
{
    int best = kDialSets.front();
    for (int set : kDialSets)
        if (std::fabs(set - ratio) <= std::fabs(best - ratio))
            best = set;
    return best;
}

// A pen width in device pixels for a width in logical pixels.
inline double DevicePen(int penWidth, double ratio)
{
    return penWidth * ratio;
}

} // namespace vx
