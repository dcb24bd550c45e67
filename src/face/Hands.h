#pragma once

#include "base/Colour.h"
#include "base/DateValue.h"
#include "face/FaceUnits.h"

#include <array>
#include <cstddef>

namespace vx {

// How far round each hand is, as a fraction of a turn from 12 o'clock.
struct HandFractions {
    double f1; // short thick hand
    double f2; // long hand
    double f3; // thin hand with the counterweight
};

// Year face: one turn a year, one a month, one a day. The year and month hands step once a day.
HandFractions YearFaceFractions(DateValue now);

// Clock face: hours (in one-second steps), minutes (a jump each minute), seconds.
HandFractions ClockFaceFractions(DateValue now, double secondsSinceMidnight);

// One stroke of the hands, pen width in pixels whatever the window's size.
struct HandStroke {
    enum class Kind { Line, Circle };
    Kind kind;
    int penWidth;
    Colour colour;
    FacePoint from;   // a line's start, or a circle's centre
    FacePoint to;     // a line's end
    double radius;    // a circle's radius
    bool filled;      // a circle filled with fillColour
    Colour fillColour;
    bool operator==(const HandStroke&) const = default;
};

// Every coloured stroke lies over a wider black one of the same shape, so each hand shows its colour
// with a black border; the centre cap goes on last.
constexpr std::size_t kHandStrokeCount = 11;
std::array<HandStroke, kHandStrokeCount> HandStrokes(const HandFractions& fractions, Colour colour);
// The hand each stroke belongs to, 1 to 3, and 0 for the centre cap.
constexpr std::array<int, kHandStrokeCount> kHandOfStroke = {1, 1, 2, 2, 3, 3, 3, 3, 3, 3, 0};

// The point at distance r from the centre towards the hand (ahead) or away from it (behind).
FacePoint Ahead(double fraction, double r);
FacePoint Behind(double fraction, double r);

} // namespace vx
