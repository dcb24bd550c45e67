#include "moon/NewMoon.h"

#include <cmath>
#include <iterator>
#include <numbers>

namespace vx {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// Mean lunations per year (Meeus 49.2: k ≈ (year − 2000) × 12.3685).
constexpr double kLunationsPerYear = 12.3685;
// Lunations per Julian century, the time argument T of chapter 49.
constexpr double kLunationsPerCentury = 1236.85;

double Radians(double degrees)
{
    return std::fmod(degrees, 360.0) * kDegree;
}

// A polynomial in t with coefficients from the constant term up.
template <std::size_t N>
double Poly(double t, const double (&c)[N])
{
    double sum = 0.0;
    for (std::size_t i = N; i-- > 0;)
        sum = sum * t + c[i];
    return sum;
}

} // namespace

long long NewMoonIndexNear(int year)
{
    return static_cast<long long>(std::floor((year - 2000) * kLunationsPerYear));
}

double NewMoonJde(long long k)
{
    const double kd = static_cast<double>(k);
    const double t = kd / kLunationsPerCentury;
    const double t2 = t * t;
    const double t3 = t2 * t;
    const double t4 = t3 * t;

    // Mean new moon (49.1).
    const double jde = 2451550.09766 + 29.530588861 * kd + 0.00015437 * t2 - 0.000000150 * t3 + 0.00000000073 * t4;

    // Eccentricity of the Earth's orbit (47.6) and the mean anomalies and arguments (49.4–49.7).
    const double e = 1.0 - 0.002516 * t - 0.0000074 * t2;
    const double m = Radians(2.5534 + 29.10535670 * kd - 0.0000014 * t2 - 0.00000011 * t3);
    const double mp = Radians(201.5643 + 385.81693528 * kd + 0.0107582 * t2 + 0.00001238 * t3 - 0.000000058 * t4);
    const double f = Radians(160.7108 + 390.67050284 * kd - 0.0016118 * t2 - 0.00000227 * t3 + 0.000000011 * t4);
    const double om = Radians(124.7746 - 1.56375588 * kd + 0.0020672 * t2 + 0.00000215 * t3);

    // Periodic terms for the new moon, in days.
    double corr = 0.0;
    corr += -0.40720 * std::sin(mp);
    corr += 0.17241 * e * std::sin(m);
    corr += 0.01608 * std::sin(2 * mp);
    corr += 0.01039 * std::sin(2 * f);
    corr += 0.00739 * e * std::sin(mp - m);
    corr += -0.00514 * e * std::sin(mp + m);
    corr += 0.00208 * e * e * std::sin(2 * m);
    corr += -0.00111 * std::sin(mp - 2 * f);
    corr += -0.00057 * std::sin(mp + 2 * f);
    corr += 0.00056 * e * std::sin(2 * mp + m);
    corr += -0.00042 * std::sin(3 * mp);
    corr += 0.00042 * e * std::sin(m + 2 * f);
    corr += 0.00038 * e * std::sin(m - 2 * f);
    corr += -0.00024 * e * std::sin(2 * mp - m);
    corr += -0.00017 * std::sin(om);
    corr += -0.00007 * std::sin(mp + 2 * m);
    corr += 0.00004 * std::sin(2 * mp - 2 * f);
    corr += 0.00004 * std::sin(3 * m);
    corr += 0.00003 * std::sin(mp + m - 2 * f);
    corr += 0.00003 * std::sin(2 * mp + 2 * f);
    corr += -0.00003 * std::sin(mp + m + 2 * f);
    corr += 0.00003 * std::sin(mp - m + 2 * f);
    corr += -0.00002 * std::sin(mp - m - 2 * f);
    corr += -0.00002 * std::sin(3 * mp + m);
    corr += 0.00002 * std::sin(4 * mp);

    // Additional corrections for all phases: the planetary arguments A1..A14, in days.
    struct PlanetaryTerm {
        double amplitude;
        double a0;
        double perLunation;
    };
    static constexpr PlanetaryTerm kPlanetary[] = {
        {0.000325, 299.77, 0.107408}, // A1 (its T² term is added below)
        {0.000165, 251.88, 0.016321}, // A2
        {0.000164, 251.83, 26.651886}, // A3
        {0.000126, 349.42, 36.412478}, // A4
        {0.000110, 84.66, 18.206239}, // A5
        {0.000062, 141.74, 53.303771}, // A6
        {0.000060, 207.14, 2.453732}, // A7
        {0.000056, 154.84, 7.306860}, // A8
        {0.000047, 34.52, 27.261239}, // A9
        {0.000042, 207.19, 0.121824}, // A10
        {0.000040, 291.34, 1.844379}, // A11
        {0.000037, 161.72, 24.198154}, // A12
        {0.000035, 239.56, 25.513099}, // A13
        {0.000023, 331.55, 3.592518}, // A14
    };
    double planetary = 0.0;
    for (std::size_t i = 0; i < std::size(kPlanetary); ++i) {
        const PlanetaryTerm& term = kPlanetary[i];
        double arg = term.a0 + term.perLunation * kd;
        if (i == 0)
            arg -= 0.009173 * t2;
        planetary += term.amplitude * std::sin(Radians(arg));
    }

    return jde + corr + planetary;
}

double DeltaTSeconds(double y)
{
    // Espenak & Meeus (2006), one polynomial per span of years.
    if (y < 1700) {
        const double t = y - 1600;
        return 120 - 0.9808 * t - 0.01532 * t * t + t * t * t / 7129;
    }
    if (y < 1800) {
        const double t = y - 1700;
        return Poly(t, {8.83, 0.1603, -0.0059285, 0.00013336, -1.0 / 1174000});
    }
    if (y < 1860) {
        const double t = y - 1800;
        return Poly(t, {13.72, -0.332447, 0.0068612, 0.0041116, -0.00037436, 0.0000121272, -0.0000001699,
                        0.000000000875});
    }
    if (y < 1900) {
        const double t = y - 1860;
        return Poly(t, {7.62, 0.5737, -0.251754, 0.01680668, -0.0004473624, 1.0 / 233174});
    }
    if (y < 1920) {
        const double t = y - 1900;
        return Poly(t, {-2.79, 1.494119, -0.0598939, 0.0061966, -0.000197});
    }
    if (y < 1941) {
        const double t = y - 1920;
        return Poly(t, {21.20, 0.84493, -0.076100, 0.0020936});
    }
    if (y < 1961) {
        const double t = y - 1950;
        return Poly(t, {29.07, 0.407, -1.0 / 233, 1.0 / 2547});
    }
    if (y < 1986) {
        const double t = y - 1975;
        return Poly(t, {45.45, 1.067, -1.0 / 260, -1.0 / 718});
    }
    if (y < 2005) {
        const double t = y - 2000;
        return Poly(t, {63.86, 0.3345, -0.060374, 0.0017275, 0.000651814, 0.00002373599});
    }
    if (y < 2050) {
        const double t = y - 2000;
        return Poly(t, {62.92, 0.32217, 0.005589});
    }
    const double u = (y - 1820) / 100;
    if (y < 2150)
        return -20 + 32 * u * u - 0.5628 * (2150 - y);
    return -20 + 32 * u * u;
}

double DecimalYearFromJd(double jd)
{
    // 2000 January 1.5 TD is JD 2451545.0; a mean Gregorian year is 365.2425 days.
    return 2000.0 + (jd - 2451545.0) / 365.2425;
}

double NewMoonJdUt(long long k)
{
    const double jde = NewMoonJde(k);
    return jde - DeltaTSeconds(DecimalYearFromJd(jde)) / kSecondsPerDay;
}

} // namespace vx
