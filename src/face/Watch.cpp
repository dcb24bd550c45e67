#include "face/Watch.h"

namespace vx {

Watch ComputeWatch(DateValue now)
{
    Watch watch;
    watch.face = settings::ReadFace();
    const Colour colour = settings::ReadHandColour(watch.face);
    const double t = SecondsOfDay(now);
    HandFractions fractions{};
    if (watch.face == Face::Year) {
        fractions = YearFaceFractions(now);
        watch.interval = YearTickInterval(t);
    } else {
        fractions = ClockFaceFractions(now, t);
        watch.interval = kClockTickInterval;
    }
    watch.strokes = HandStrokes(fractions, colour);
    return watch;
}

} // namespace vx
