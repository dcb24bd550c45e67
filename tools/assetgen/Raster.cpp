#include "Raster.h"

#include <algorithm>

namespace vx::assetgen {

QImage boxReduce(const QImage& src, int factor)
{
    const QImage in = src.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = in.width() / factor;
    const int h = in.height() / factor;
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    const int area = factor * factor;
    for (int y = 0; y < h; ++y) {
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            long a = 0, r = 0, g = 0, b = 0;
            for (int sy = 0; sy < factor; ++sy) {
                const auto* row = reinterpret_cast<const QRgb*>(in.constScanLine(y * factor + sy));
                for (int sx = 0; sx < factor; ++sx) {
                    const QRgb p = row[x * factor + sx];
                    a += qAlpha(p);
                    r += qRed(p);
                    g += qGreen(p);
                    b += qBlue(p);
                }
            }
            // Rounded integer means keep the result identical from run to run.
            dst[x] = qRgba(int((r + area / 2) / area), int((g + area / 2) / area),
                           int((b + area / 2) / area), int((a + area / 2) / area));
        }
    }
    return out;
}

double smoothstep(double edge0, double edge1, double x)
{
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

double mix(double a, double b, double t)
{
    return a + (b - a) * t;
}

QColor mixColor(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(mix(a.redF(), b.redF(), t)), float(mix(a.greenF(), b.greenF(), t)),
                            float(mix(a.blueF(), b.blueF(), t)), float(mix(a.alphaF(), b.alphaF(), t)));
}

std::uint64_t Rng::next()
{
    // splitmix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::uniform()
{
    return double(next() >> 11) * (1.0 / 9007199254740992.0);
}

} // namespace vx::assetgen
