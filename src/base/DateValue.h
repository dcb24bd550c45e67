#pragma once

// Date values: days counted from 30 December 1899, the time of day as the fraction.
// The moon table, the hands and the moon report all count time this way.

namespace vx {

using DateValue = double;

constexpr double kSecondsPerDay = 86400.0;

struct CivilDate {
    int year;
    int month; // 1..12
    int day;   // 1..31
};

// Whole days from 30 December 1899 to the given Gregorian date.
long long DaysFromCivil(int year, int month, int day);
CivilDate CivilFromDays(long long days);

// The date value of a calendar date at midnight. Months outside 1..12 roll over
// into the neighbouring years, so (y, 13, 1) is 1 January of y + 1.
DateValue DateSerial(int year, int month, int day);

// The date value of a calendar date and clock time.
DateValue MakeDateValue(int year, int month, int day, int hour = 0, int minute = 0, double second = 0.0);

// The broken-down clock reading of a date value, each part truncated (a clock that
// shows 11:59:59 until the next second has begun).
struct DateParts {
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
};
DateParts SplitDate(DateValue value);

// The date with the time of day cut off.
DateValue DateOnly(DateValue value);

// Seconds since midnight of the date value's own day, with fraction.
double SecondsOfDay(DateValue value);

bool IsGregorianLeapYear(int year);
int DaysInMonth(int year, int month);

} // namespace vx
