#pragma once

#include "base/LocalClock.h"

#include <cstdint>
#include <functional>
#include <string>

namespace vx {

// The text of a moon table: every new moon whose local date falls in the years from..to, as
// the local clock hour in which it falls, one "yyyy/mm/dd hh" record a line. The instants come
// from the new-moon computation; localClock turns a POSIX time into the table's local clock.
// Both the moondata tool and the installed program write their tables with it.
using LocalClockOf = std::function<ClockReading(std::int64_t unixSeconds)>;
std::string NewMoonTableText(int from, int to, const LocalClockOf& localClock);

// Puts text in place of the file at path (UTF-8), or creates it, atomically as the settings file
// is replaced: an interrupted write leaves the old table or the new one, never half of one. False,
// with a one-line reason naming the file in error, when it could not be written.
bool WriteMoonFile(const std::string& path, const std::string& text, std::string& error);

// The span of years an installed program's table covers.
constexpr int kUserMoonTableFirstYear = 1900;
constexpr int kUserMoonTableLastYear = 2100;

} // namespace vx
