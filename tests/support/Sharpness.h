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
        for (int x = 0; x < w; ++x) {
            const QRgb c = rgb.pixel(x, y);
            grey[static_cast<std::size_t>(y) * w + x] = 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c);
        }
    const double radius = w / 2.0;
    double sum = 0;
    double sum2 = 0;
    long n = 0;
    for (int y = 1; y + 1 < h; ++y)
        for (int x = 1; x + 1 < w; ++x) {
            const double dx = x + 0.5 - radius;
            const double dy = y + 0.5 - h / 2.0;
            const double rho = std::hypot(dx, dy) / radius;
            if (rho < kNumeralRingInner || rho > kNumeralRingOuter)
                continue;
            // Degrees from 12 o'clock, either way round.
            const double fromTop = std::fabs(std::atan2(dx, -dy)) * 180 / 3.14159265358979;
            if (fromTop < skipTopDegrees)
                continue;
            const auto at = [&](int xx, int yy) { return grey[static_cast<std::size_t>(yy) * w + xx]; };
            const double laplacian = at(x - 1, y) + at(x + 1, y) + at(x, y - 1) + at(x, y + 1) - 4 * at(x, y);
            sum += laplacian;
            sum2 += laplacian * laplacian;
            ++n;
        }
    if (n == 0)
        return 0;
    const double mean = sum / n;
    return sum2 / n - mean * mean;
}

} // namespace vx::test
