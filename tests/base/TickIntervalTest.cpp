#include "base/DateValue.h"
#include "base/TickInterval.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(YearFace, NextTickComesTenMillisecondsAfterTheNextWholeMinute)
{
    struct Case {
        double t;
        int interval;
    };
    const Case cases[] = {
        {12345.5, 14510},   // next tick at 12360.01 s
        {0.5, 59510},       // just after midnight
        {0.005, 60005},     // under 10 ms past midnight: the remainder is negative
        {0.0, 60010},       // the longest wait
        {60.01, 60000},     // exactly 10 ms past a minute: a whole minute
        {86399.5, 510},     // half a second before midnight
    };
    for (const Case& c : cases)
        EXPECT_EQ(YearTickInterval(c.t), c.interval) << "t = " << c.t;
}

TEST(YearFace, TickThatFiresOnTimeWaitsAWholeMinuteWhateverTheDateValueRounding)
{
    // The clock's reading as the platform gives it: whole milliseconds in a date value. At 10 ms
    // past each minute of a day the next tick is a minute away, not 1 ms; a millisecond early, it
    // is 1 ms away.
    int wrong = 0;
    for (int minute = 0; minute < 1440; ++minute) {
        const auto at = [minute](int ms) {
            return SecondsOfDay(46364.0 + (minute * 60000.0 + ms) / 86400000.0);
        };
        wrong += YearTickInterval(at(10)) != 60000;
        wrong += YearTickInterval(at(9)) != (minute == 0 ? 60001 : 1);
    }
    EXPECT_EQ(wrong, 0);
}

} // namespace
} // namespace vx
