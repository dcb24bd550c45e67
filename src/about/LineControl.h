#pragma once

#include "base/Colour.h"

namespace vx {

// A straight line drawn on a form between two end points given in twips; it takes no mouse
// input. Its colour may name a system colour (top bit set, index in the low byte).
struct LineControl {
    int X1 = 0;
    int Y1 = 0;
    int X2 = 0;
    int Y2 = 0;
    int BorderWidth = 1; // pixels
    Colour BorderColor = 0;
    bool Visible = true;
};

constexpr Colour kSystemColourFlag = 0x80000000u;
constexpr Colour kWhite = 0xFFFFFFu;
// The system's colour of inactive title bars, and of the text in title bars.
constexpr Colour kInactiveTitleBar = kSystemColourFlag | 3u;
constexpr Colour kTitleBarText = kSystemColourFlag | 9u;

constexpr bool IsSystemColour(Colour c) { return (c & kSystemColourFlag) != 0; }

} // namespace vx
