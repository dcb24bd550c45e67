#include "base/TickInterval.h"

#include <cmath>

namespace vx {

int YearTickInterval(double secondsSinceMidnight)
{
    // The seconds come from a date value, whose binary fraction misses the true time by up to a
    // microsecond or so: a tick that fires exactly 10 ms past a minute can read as 9.999 ms and
    // would ask for another tick 1 ms later. Ten microseconds of slack keep it a whole minute.
    constexpr double kSlackMs = 0.01;
    const long long ms = static_cast<long long>(std::floor(secondsSinceMidnight * 1000.0 - 10.0 + kSlackMs));
    // C++'s % keeps the sign of the dividend, as the tick arithmetic wants.
    return static_cast<int>(60000 - ms % 60000);
}

} // namespace vx
