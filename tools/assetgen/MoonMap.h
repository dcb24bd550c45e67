#pragma once

#include <QImage>
#include <QString>

#include <array>

namespace vx::assetgen {

// The lunar albedo map (equirectangular: longitude -180 to 180 degrees from left to right,
// east positive, latitude 90 to -90 from top to bottom) and the view of its near side.
class MoonMap {
public:
    // Throws std::runtime_error when the file cannot be read.
    explicit MoonMap(const QString& path);

    // Surface colour at a selenographic position, in 0..255 per channel, bilinear.
    std::array<double, 3> sample(double latitudeDeg, double longitudeDeg) const;

    // The near side as seen from the Earth, north up, in orthographic projection: (u, v) is a
    // point of the unit disc, u to the right (towards Mare Crisium), v upward. Returns the
    // surface colour; the caller adds limb darkening.
    std::array<double, 3> nearSide(double u, double v) const;

    // Mean brightness of the map's bright highlands, used to set the exposure.
    double highlandLevel() const { return highland_; }

private:
    QImage map_;
    double highland_ = 200;
};

} // namespace vx::assetgen
