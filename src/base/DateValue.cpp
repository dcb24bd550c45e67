#include "base/DateValue.h"

#include <cmath>

namespace vx {

namespace {
// 1970-01-01 counted from 1899-12-30.
constexpr long long kUnixEpochDay = 25569;
} // namespace

// Howard Hinnant's days_from_civil / civil_from_days, counted from 1970 and shifted.
long long DaysFromCivil(int year, int month, int day)
{
    long long y = year;
    const unsigned m = static_cast<unsigned>(month);
    const unsigned d = static_cast<unsigned>(day);
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468 + kUnixEpochDay;
}

CivilDate CivilFromDays(long long days)
{
    long long z = days - kUnixEpochDay + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

DateValue DateSerial(int year, int month, int day)
{
    // Bring the month into 1..12, carrying whole years.
    int m0 = month - 1;
    int y = year + (m0 >= 0 ? m0 / 12 : -((11 - m0) / 12));
    m0 -= (y - year) * 12;
    return static_cast<DateValue>(DaysFromCivil(y, m0 + 1, 1) + (day - 1));
}

DateValue MakeDateValue(int year, int month, int day, int hour, int minute, double second)
{
    return DateSerial(year, month, day) + (hour * 3600.0 + minute * 60.0 + second) / kSecondsPerDay;
}

DateValue DateOnly(DateValue value)
{
    return std::floor(value);
}

double SecondsOfDay(DateValue value)
{
    return (value - std::floor(value)) * kSecondsPerDay;
}

DateParts SplitDate(DateValue value)
{
    long long days = static_cast<long long>(std::floor(value));
    // A microsecond of slack absorbs the binary fraction's error (12:00:00 stored as 11:59:59.99999…).
    long long secs = static_cast<long long>(std::floor(SecondsOfDay(value) + 1e-6));
    if (secs >= 86400) {
        secs -= 86400;
        ++days;
    }
    const CivilDate c = CivilFromDays(days);
    return {c.year, c.month, c.day, static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60),
            static_cast<int>(secs % 60)};
}

bool IsGregorianLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    return static_cast<int>(DateSerial(year, month + 1, 1) - DateSerial(year, month, 1));
}

} // namespace vx
