#include "moon/MoonRecord.h"

#include "base/Text.h"

#include <cstdio>

namespace vx {

namespace {

int Digits(std::string_view s)
{
    int value = 0;
    for (char c : s)
        value = value * 10 + (c - '0');
    return value;
}

bool AllDigits(std::string_view s)
{
    for (char c : s)
        if (!IsDigit(c))
            return false;
    return true;
}

} // namespace

std::optional<DateValue> ParseMoonRecord(std::string_view line)
{
    line = TrimBlanks(line);

    // Ten characters of date and two of hour, not overlapping.
    if (line.size() < 12 || line.size() > kMaxMoonRecordLength)
        return std::nullopt;
    for (char c : line) {
        const auto u = static_cast<unsigned char>(c);
        // A comma ends a field in the file's layout, so a line holding one is not a single record.
        if (c == ',' || (u < 0x20 && c != '\t') || u >= 0x7F)
            return std::nullopt;
    }

    const std::string_view date = line.substr(0, 10);
    if (date[4] != '/' || date[7] != '/' || !AllDigits(date.substr(0, 4)) || !AllDigits(date.substr(5, 2))
        || !AllDigits(date.substr(8, 2)))
        return std::nullopt;
    const int year = Digits(date.substr(0, 4));
    const int month = Digits(date.substr(5, 2));
    const int day = Digits(date.substr(8, 2));
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return std::nullopt;

    // The hour: two digits, or a blank in place of the leading zero.
    const std::string_view hourText = line.substr(line.size() - 2);
    if (!IsDigit(hourText[1]) || !(IsDigit(hourText[0]) || IsBlank(hourText[0])))
        return std::nullopt;
    const int hour = IsBlank(hourText[0]) ? hourText[1] - '0' : Digits(hourText);
    if (hour > 23)
        return std::nullopt;

    // The date at midnight and the hour as a fraction of a day, added as two date values.
    return DateSerial(year, month, day) + static_cast<DateValue>(hour / 24.0);
}

std::string FormatMoonRecord(int year, int month, int day, int hour)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d", year, month, day, hour);
    return text;
}

} // namespace vx
