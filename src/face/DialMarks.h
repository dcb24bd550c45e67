#pragma once

#include "base/Colour.h"
#include "face/Hands.h"

#include <array>
#include <cstddef>

namespace vx {

// The dial marks: 60 minute dots and 12 hour ticks near the rim, in face units. Each mark is drawn
// twice, black and then a narrower green over it, so it shows green with a black border.

constexpr double kMarkOuterRadius = 5500.0; // 11S/24 pixels on a face of side S
constexpr double kMarkInnerRadius = 5000.0; // 5S/12 pixels
constexpr Colour kMarkGreen = RGB(0, 255, 0);

// One stroke of the marks; pen widths in pixels whatever the window's size.
struct DialStroke {
    enum class Kind { Dot, Line };
    Kind kind;
    int penWidth;
    Colour colour;
    FacePoint from; // a dot's centre, or a line's outer end
    FacePoint to;   // a line's inner end
};

constexpr std::size_t kMinuteDotCount = 60;
constexpr std::size_t kHourTickCount = 12;
constexpr std::size_t kDialStrokeCount = 2 * (kMinuteDotCount + kHourTickCount);

// The dots first, from 3 o'clock clockwise, one every 6 degrees; then the ticks at the numerals 1
// to 12, the one at 12 wider than the rest.
const std::array<DialStroke, kDialStrokeCount>& DialMarks();

} // namespace vx
