#pragma once

// What one drawing of the hands shows (the design's DrawWatch without the drawing): the face the
// settings choose, the hands' strokes in that face's colour, and when the next tick falls.

#include "base/DateValue.h"
#include "base/TickInterval.h"
#include "face/Hands.h"
#include "settings/Settings.h"

#include <array>

namespace vx {

struct Watch {
    Face face = Face::Year;
    std::array<HandStroke, kHandStrokeCount> strokes{};
    // Milliseconds until the next tick: every second on the clock face, 10 ms after the next
    // whole minute on the year face.
    int interval = kClockTickInterval;
};

// The hands at the moment, reading "YearOrClock" and the face's colour from the settings file.
Watch ComputeWatch(DateValue now);

} // namespace vx
