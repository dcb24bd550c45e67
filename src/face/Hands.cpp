#include "face/Hands.h"

#include <cmath>

namespace vx {

namespace {
constexpr double kTurn = 6.28318530717958;
} // namespace

HandFractions YearFaceFractions(DateValue now)
{
    const DateParts parts = SplitDate(now);
    // Gregorian year length: 1900 and 2100 are common years, so the year hand keeps to the calendar.
    const double daysInYear = IsGregorianLeapYear(parts.year) ? 366.0 : 365.0;
    const DateValue newYear = DateSerial(parts.year, 1, 1);
    const DateValue monthStart = DateSerial(parts.year, parts.month, 1);
    const double daysInMonth = DateSerial(parts.year, parts.month + 1, 1) - monthStart;
    const DateValue today = DateOnly(now);
    return {(today - newYear) / daysInYear, (today - monthStart) / daysInMonth, now - today};
}

HandFractions ClockFaceFractions(DateValue now, double secondsSinceMidnight)
{
    const DateParts parts = SplitDate(now);
    // Whole seconds, a tie going to the even second: 11:59:59.6 is already 12 o'clock for the hour hand.
    const double s = std::nearbyint(secondsSinceMidnight);
    return {std::fmod(s, 43200.0) / 43200.0, parts.minute / 60.0, parts.second / 60.0};
}

FacePoint Ahead(double fraction, double r)
{
    const double theta = fraction * kTurn;
    return {r * std::sin(theta), -r * std::cos(theta)};
}

FacePoint Behind(double fraction, double r)
{
    const double theta = fraction * kTurn;
    return {-r * std::sin(theta), r * std::cos(theta)};
}

std::array<HandStroke, kHandStrokeCount> HandStrokes(const HandFractions& f, Colour c)
{
    using K = HandStroke::Kind;
    auto line = [](int width, Colour colour, FacePoint a, FacePoint b) {
        return HandStroke{K::Line, width, colour, a, b, 0.0, false, 0};
    };
    auto ring = [](int width, Colour colour, FacePoint centre, double r) {
        return HandStroke{K::Circle, width, colour, centre, centre, r, false, 0};
    };
    // Hand 3's counterweight ring spans 700 to 1300 behind the centre, between the main line and the stub.
    const FacePoint weight = Behind(f.f3, 1000);
    return {{
        line(8, kBlack, Behind(f.f1, 300), Ahead(f.f1, 3000)),
        line(6, c, Behind(f.f1, 300), Ahead(f.f1, 3000)),
        line(4, kBlack, Behind(f.f2, 300), Ahead(f.f2, 5000)),
        line(2, c, Behind(f.f2, 300), Ahead(f.f2, 5000)),
        ring(3, kBlack, weight, 300),
        line(3, kBlack, Behind(f.f3, 700), Ahead(f.f3, 5000)),
        line(3, kBlack, Behind(f.f3, 1300), Behind(f.f3, 1600)),
        line(1, c, Behind(f.f3, 700), Ahead(f.f3, 5000)),
        line(1, c, Behind(f.f3, 1300), Behind(f.f3, 1600)),
        ring(1, c, weight, 300),
        HandStroke{K::Circle, 1, kBlack, {0, 0}, {0, 0}, 300, true, c},
    }};
}

} // namespace vx
