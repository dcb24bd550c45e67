#pragma once

// Conversions between settings text and values, as the classic BASIC runtime makes them:
// settings files written by the program or by hand read back the same way.

#include <optional>
#include <string>
#include <string_view>

namespace vx {

// A decimal number (blanks around it, a leading sign, a fractional part and an exponent
// allowed) brought to the nearest whole number, a value exactly halfway going to the even
// neighbour: "1185.5" -> 1186, "1184.5" -> 1184, "-0.5" -> 0. Exact for any number of digits.
// nullopt when the text is not such a number or the result does not fit.
std::optional<long long> ToWholeNumber(std::string_view text);

// "True" or "False" in any letter case, or a decimal number: zero is false, anything else true.
std::optional<bool> ToBoolean(std::string_view text);

// "True" or "False".
std::string BoolText(bool value);

// The text of a single-precision number: at most 7 significant digits, no trailing zeros, a
// leading "0" before a decimal point, no leading blank; below 1E-04 and from 1E+07 on in
// exponent form ("1.5E+07"). 1185 -> "1185", -300 -> "-300", 1185.5 -> "1185.5".
// NaN and infinity, which have no place in a settings file, give "0".
std::string SingleText(double value);

// Decimal text of a whole number: "0", "1", "-1".
std::string IntText(long long value);

// The BASIC Str form of a whole number: a blank stands in for the plus sign (" 1", "-1").
std::string StrText(long long value);

} // namespace vx
