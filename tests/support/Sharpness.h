#pragma once

// How sharp a dial looks: the variance of the Laplacian of its brightness over the ring of
// numerals, where a blurred dial loses its strong, narrow edges first.

#include <QImage>

#include <cmath>
#include <vector>

namespace vx::test {

// The ring of numerals, as fractions of the dial's radius (their centres lie at 0.745).
constexpr double kNumeralRingInner = 0.62;
constexpr double kNumeralRingOuter = 0.88;

// Calls visit(x, y) for each pixel of the numeral ring of a square picture of side w by h, those
// within skipTopDegrees of 12 o'clock left out.
template <class Visit> void ForNumeralRing(int w, int h, double skipTopDegrees, Visit visit)
{
    const double radius = w / 2.0;
    for (int y = 1; y + 1 < h; ++y)
        for (int x = 1; x + 1 < w; ++x) {
            const double dx = x + 0.5 - radius;
            const double dy = y + 0.5 - h / 2.0;
            const double rho = std::hypot(dx, dy) / radius;
            if (rho < kNumeralRingInner || rho > kNumeralRingOuter)
                continue;
            // Degrees from 12 o'clock, either way round.
            const double fromTop = std::fabs(std::atan2(dx, -dy)) * 180 / 3.14159265358979;
            if (fromTop >= skipTopDegrees)
                visit(x, y);
        }
}

inline double Brightness(QRgb c)
{
    return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c);
}

// The variance of the 4-neighbour Laplacian of the brightness (0 to 255) over the pixels of the
// numeral ring of a square dial picture. Pixels within skipTopDegrees of 12 o'clock are left
// out, for a picture with the hands standing there.
inline double NumeralRingSharpness(const QImage& picture, double skipTopDegrees = 0)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width();
    const int h = rgb.height();
    std::vector<double> grey(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            grey[static_cast<std::size_t>(y) * w + x] = Brightness(rgb.pixel(x, y));
    const auto at = [&](int x, int y) { return grey[static_cast<std::size_t>(y) * w + x]; };
    double sum = 0;
    double sum2 = 0;
    long n = 0;
    ForNumeralRing(w, h, skipTopDegrees, [&](int x, int y) {
        const double laplacian = at(x - 1, y) + at(x + 1, y) + at(x, y - 1) + at(x, y + 1) - 4 * at(x, y);
        sum += laplacian;
        sum2 += laplacian * laplacian;
        ++n;
    });
    if (n == 0)
        return 0;
    const double mean = sum / n;
    return sum2 / n - mean * mean;
}

// The mean difference in brightness over the numeral ring of two square pictures of one size.
inline double NumeralRingDifference(const QImage& a, const QImage& b, double skipTopDegrees = 0)
{
    if (a.size() != b.size())
        return 255;
    double sum = 0;
    long n = 0;
    ForNumeralRing(a.width(), a.height(), skipTopDegrees, [&](int x, int y) {
        sum += std::fabs(Brightness(a.pixel(x, y)) - Brightness(b.pixel(x, y)));
        ++n;
    });
    return n == 0 ? 0 : sum / n;
}

} // namespace vx::test
