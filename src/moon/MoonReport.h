#pragma once

#include "base/DateValue.h"

#include <string>

namespace vx {

// Shown when the table cannot place the present time between two new moons.
inline constexpr const char* kMoonOutOfRangeMessage =
    "データの範囲外であるか、データファイル moondata.datが無いために分かりません。";

// The five-line moon report, lines joined by CR LF: the moon's age, the last and next new moons,
// the full moon half way between them, and the illuminated fraction.
std::string MoonReportText(DateValue lastNewMoon, DateValue nextNewMoon, double phase, double brightRatio);

// The age in days as the first four characters of its plain text followed by three blanks:
// 12.3456 gives "12.3", 29 gives "29" and two blanks. An age whose plain text would have an
// exponent (under 0.0001 days) is written in fixed point instead: 5.78E-05 gives "0.00".
std::string AgeText(double age);

// The plain text of a number: up to 15 significant digits, no leading blank, "." as the point.
std::string NumberText(double value);

// A date value as yyyy年mm月dd日 hh時, to the hour.
std::string DateHourText(DateValue value);

// A fraction through the pattern "##.#%": 0.4567 gives "45.7%", 1 gives "100.%", 0.005 gives ".5%".
std::string PercentText(double fraction);

} // namespace vx
