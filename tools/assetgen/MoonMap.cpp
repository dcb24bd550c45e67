#include "MoonMap.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace vx::assetgen {

MoonMap::MoonMap(const QString& path)
{
    QImage img(path);
    if (img.isNull())
        throw std::runtime_error("cannot read the moon map " + path.toStdString());
    map_ = img.convertToFormat(QImage::Format_RGB32);

    // The 90th percentile of brightness over the near side stands for the highlands.
    std::vector<int> levels;
    for (int y = map_.height() / 4; y < 3 * map_.height() / 4; y += 2) {
        const auto* row = reinterpret_cast<const QRgb*>(map_.constScanLine(y));
        for (int x = map_.width() / 4; x < 3 * map_.width() / 4; x += 2)
            levels.push_back(qGray(row[x]));
    }
    std::sort(levels.begin(), levels.end());
    highland_ = levels[levels.size() * 9 / 10];
}

std::array<double, 3> MoonMap::sample(double latitudeDeg, double longitudeDeg) const
{
    const int w = map_.width();
    const int h = map_.height();
    double fx = (longitudeDeg + 180.0) / 360.0 * w - 0.5;
    double fy = (90.0 - latitudeDeg) / 180.0 * h - 0.5;
    fx = std::fmod(fx + w, double(w));
    fy = std::clamp(fy, 0.0, double(h - 1));
    const int x0 = int(std::floor(fx));
    const int y0 = int(std::floor(fy));
    const double tx = fx - x0;
    const double ty = fy - y0;
    const int x1 = (x0 + 1) % w;
    const int y1 = std::min(y0 + 1, h - 1);
    const auto px = [this](int x, int y) { return map_.pixel(x, y); };
    const QRgb p00 = px(x0, y0), p10 = px(x1, y0), p01 = px(x0, y1), p11 = px(x1, y1);
    const auto lerp2 = [&](int (*ch)(QRgb)) {
        const double top = ch(p00) * (1 - tx) + ch(p10) * tx;
        const double bottom = ch(p01) * (1 - tx) + ch(p11) * tx;
        return top * (1 - ty) + bottom * ty;
    };
    return {lerp2(qRed), lerp2(qGreen), lerp2(qBlue)};
}

std::array<double, 3> MoonMap::nearSide(double u, double v) const
{
    const double z = std::sqrt(std::max(0.0, 1.0 - u * u - v * v));
    const double latitude = std::asin(std::clamp(v, -1.0, 1.0)) * 180.0 / std::numbers::pi;
    const double longitude = std::atan2(u, z) * 180.0 / std::numbers::pi;
    return sample(latitude, longitude);
}

} // namespace vx::assetgen
