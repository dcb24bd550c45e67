#pragma once

#include "base/DateValue.h"

// The instants of new moon, computed rather than looked up, so the moon table can be
// generated for any span of years and any time zone.
//
// Method: J. Meeus, Astronomical Algorithms, 2nd ed. (Willmann-Bell, 1998), chapter 49
// "Phases of the Moon": the mean lunation (49.1) plus the periodic terms of the new moon and
// the fourteen planetary terms A1..A14. The result is the instant of the apparent conjunction
// in ecliptic longitude, in Dynamical Time (TD). Meeus gives its error against the ELP-2000/82
// theory as a few seconds on average and under 20 seconds at worst.
//
// ΔT (TD − UT) comes from the polynomial expressions of F. Espenak and J. Meeus, "Five
// Millennium Canon of Solar Eclipses" (NASA/TP-2006-214141), fitted to the values of Morrison
// and Stephenson (2004) and to observations. UT here stands for civil UTC: the two differ by
// less than a second.

namespace vx {

// Julian Day number of 1899-12-30 00:00, the origin of date values.
constexpr double kJulianDayOfDateZero = 2415018.5;
// Julian Day number of 1970-01-01 00:00 UT, the origin of POSIX time.
constexpr double kJulianDayOfUnixEpoch = 2440587.5;

// Lunations are counted as Meeus counts them: k = 0 is the new moon of 2000 January 6.
// Returns the first k whose new moon is no earlier than the start of the given year, within a
// lunation or two either way; callers filter by the converted date.
long long NewMoonIndexNear(int year);

// Julian Ephemeris Day (TD) of the new moon of lunation k.
double NewMoonJde(long long k);

// ΔT = TD − UT in seconds for a decimal year (2024.5 is mid-2024). Valid from 1600 on;
// past 2150 it follows the long-term parabola, whose uncertainty grows to minutes.
double DeltaTSeconds(double decimalYear);

// Julian Day (UT) of the new moon of lunation k.
double NewMoonJdUt(long long k);

// The decimal year of a Julian Day, close enough for ΔT.
double DecimalYearFromJd(double jd);

// Conversions between Julian Days and the program's other time scales.
inline DateValue DateValueFromJd(double jd)
{
    return jd - kJulianDayOfDateZero;
}
inline double JdFromDateValue(DateValue value)
{
    return value + kJulianDayOfDateZero;
}
inline double UnixSecondsFromJd(double jd)
{
    return (jd - kJulianDayOfUnixEpoch) * kSecondsPerDay;
}

} // namespace vx
