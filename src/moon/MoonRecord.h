#pragma once

#include "base/DateValue.h"

#include <optional>
#include <string>
#include <string_view>

// One line of moondata.dat: the local clock time of a new moon, to the hour, written
// "yyyy/mm/dd hh". The date takes the first ten characters and the hour the last two
// ("09" or " 9"); whatever lies between is ignored.

namespace vx {

// Longest line that can still be a record; the loader stops collecting a line past this.
constexpr std::size_t kMaxMoonRecordLength = 256;

// The date value of a record, or nothing when the line is not one: blank or short, a date
// that is not yyyy/mm/dd or not in the calendar, an hour that is not 0..23, a comma, or a
// byte that is not printable ASCII. Blanks and tabs around the line are ignored.
std::optional<DateValue> ParseMoonRecord(std::string_view line);

// The record for a clock hour, in the layout the generator writes: "2026/01/19 04".
std::string FormatMoonRecord(int year, int month, int day, int hour);

} // namespace vx
