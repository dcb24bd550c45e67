#include "moon/MoonReport.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace vx {

std::string NumberText(double value)
{
    // printf's "%.15G", with "." whatever the user's locale.
    char buffer[40];
    const std::to_chars_result written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, written.ptr);
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string AgeText(double age)
{
    std::string text = NumberText(age);
    // For some seconds after a new moon the plain text takes the exponent form ("5.78E-05"),
    // whose first four characters would read as days: such an age shows in fixed point ("0.00").
    if (text.find('E') != std::string::npos) {
        char buffer[512];
        const std::to_chars_result written =
            std::to_chars(buffer, buffer + sizeof buffer, age, std::chars_format::fixed, 15);
        if (written.ec == std::errc())
            text.assign(buffer, written.ptr);
    }
    return (text + "   ").substr(0, 4);
}

std::string DateHourText(DateValue value)
{
    // To the nearest second first, as a clock reading is, so a binary fraction just short of
    // the hour still shows that hour.
    const DateParts d = SplitDate(std::nearbyint(value * kSecondsPerDay) / kSecondsPerDay);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d年%02d月%02d日 %02d時", d.year, d.month, d.day, d.hour);
    return buffer;
}

std::string PercentText(double fraction)
{
    // Tenths of a percent, a half rounded up.
    const long long tenths = static_cast<long long>(std::floor(fraction * 1000.0 + 0.5));
    const long long whole = tenths / 10;
    const long long digit = tenths % 10;
    std::string text = whole > 0 ? std::to_string(whole) : std::string();
    text += '.';
    if (digit != 0)
        text += static_cast<char>('0' + digit);
    return text + '%';
}

std::string MoonReportText(DateValue lastNewMoon, DateValue nextNewMoon, double phase, double brightRatio)
{
    const double age = (nextNewMoon - lastNewMoon) * phase;
    const DateValue fullMoon = lastNewMoon + (nextNewMoon - lastNewMoon) / 2;
    const std::string crlf = "\r\n";
    return "現在の月齢 : " + AgeText(age) + crlf +
           "最後の新月は    " + DateHourText(lastNewMoon) + " でした。" + crlf +
           "次の新月は       " + DateHourText(nextNewMoon) + " です。" + crlf +
           "その間の満月は  " + DateHourText(fullMoon) + " です。" + crlf +
           "現在の輝面比（明るい部分の割合）は " + PercentText(brightRatio) + "です。";
}

} // namespace vx
