#include "face/DialMarks.h"

#include <cmath>

namespace vx {

namespace {

// The dial's own value of pi, as its marks were always placed.
constexpr double kPi = 3.1415926535;

std::array<DialStroke, kDialStrokeCount> MakeDialMarks()
{
    using K = DialStroke::Kind;
    std::array<DialStroke, kDialStrokeCount> marks{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < kMinuteDotCount; ++i) {
        const double a = static_cast<double>(i) * kPi / 30;
        const FacePoint p{kMarkOuterRadius * std::cos(a), kMarkOuterRadius * std::sin(a)};
        marks[n++] = {K::Dot, 4, kBlack, p, p};
        marks[n++] = {K::Dot, 2, kMarkGreen, p, p};
    }
    for (std::size_t i = 1; i <= kHourTickCount; ++i) {
        const double a = static_cast<double>(i) * kPi / 6;
        const FacePoint outer{kMarkOuterRadius * std::sin(a), -kMarkOuterRadius * std::cos(a)};
        const FacePoint inner{kMarkInnerRadius * std::sin(a), -kMarkInnerRadius * std::cos(a)};
        // The tick at 12 o'clock stands out.
        const bool twelve = i == kHourTickCount;
        marks[n++] = {K::Line, twelve ? 6 : 4, kBlack, outer, inner};
        marks[n++] = {K::Line, twelve ? 4 : 2, kMarkGreen, outer, inner};
    }
    return marks;
}

} // namespace

const std::array<DialStroke, kDialStrokeCount>& DialMarks()
{
    static const std::array<DialStroke, kDialStrokeCount> marks = MakeDialMarks();
    return marks;
}

} // namespace vx
