#pragma once

// The intervals the clock's timers are re-armed with: every second on the clock face; 10 ms after
// each whole minute on the year face and for the notification-area icon.

namespace vx {

constexpr int kClockTickInterval = 1000;

// Milliseconds until the next tick 10 ms after a whole minute. In the first 10 ms after midnight
// the remainder is negative and the wait a little over a minute.
int YearTickInterval(double secondsSinceMidnight);

} // namespace vx
