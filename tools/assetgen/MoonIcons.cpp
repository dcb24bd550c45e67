#include "MoonIcons.h"

#include "MoonMap.h"
#include "Raster.h"

#include <QList>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace vx::assetgen {

namespace {

// The fixed palette after the transparent entry: black, then greys up to white.
constexpr std::array<int, 15> kGreys{0, 40, 64, 88, 108, 128, 146, 164, 180, 192, 210, 224, 236, 246, 255};

// Which level of the ramp a lit value (0 dark to 1 white) takes.
int greyFor(double value, int size)
{
    if (size <= 16) {
        // The smallest icon keeps to the four classic tones.
        if (value < 0.18)
            return 0;
        if (value < 0.52)
            return 128;
        if (value < 0.80)
            return 192;
        return 255;
    }
    const double target = std::clamp(value, 0.0, 1.0) * 255.0;
    int best = kGreys[0];
    for (int g : kGreys)
        if (std::abs(g - target) < std::abs(best - target))
            best = g;
    return best;
}

} // namespace

QImage moonIcon(const MoonMap& moon, int n, int size)
{
    QImage out(size, size, QImage::Format_Indexed8);
    QList<QRgb> table{qRgba(0, 0, 0, 0)};
    for (int g : kGreys)
        table.push_back(qRgb(g, g, g));
    out.setColorTable(table);
    const auto indexOf = [](int grey) {
        return int(std::find(kGreys.begin(), kGreys.end(), grey) - kGreys.begin()) + 1;
    };

    const double phase = double(n) / 16.0;
    // The terminator crosses each row at the fraction k of the half-chord.
    const double k = std::cos(2.0 * std::numbers::pi * phase);
    const bool waxing = n > 0 && n < 8;
    const bool waning = n > 8 && n < 16;
    const double radius = size / 2.0;
    const double highland = moon.highlandLevel();
    const int sub = kOversample;

    for (int y = 0; y < size; ++y) {
        uchar* row = out.scanLine(y);
        for (int x = 0; x < size; ++x) {
            if (std::hypot(x + 0.5 - radius, y + 0.5 - radius) > radius) {
                row[x] = 0;
                continue;
            }
            // Average the lit brightness over the part of the pixel that lies on the disc.
            double sum = 0;
            int inside = 0;
            for (int sy = 0; sy < sub; ++sy) {
                for (int sx = 0; sx < sub; ++sx) {
                    const double u = (x + (sx + 0.5) / sub - radius) / radius;
                    const double v = (radius - y - (sy + 0.5) / sub) / radius;
                    if (u * u + v * v > 1.0)
                        continue;
                    ++inside;
                    const double halfChord = std::sqrt(1.0 - v * v);
                    const bool lit = n == 8 || (waxing && u > k * halfChord) || (waning && u < -k * halfChord);
                    if (!lit)
                        continue;
                    const auto c = moon.nearSide(std::clamp(u, -1.0, 1.0), std::clamp(v, -1.0, 1.0));
                    const double albedo = (0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2]) / highland;
                    sum += std::min(1.0, 0.25 + 0.85 * albedo);
                }
            }
            const double value = inside > 0 ? sum / inside : 0.0;
            row[x] = uchar(indexOf(greyFor(value, size)));
        }
    }
    return out;
}

} // namespace vx::assetgen
