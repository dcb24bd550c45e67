#pragma once

// Face units, the coordinates the hands and the dial marks are given in: 12000 across, origin at
// the centre, y growing downward. They are mapped to pixels by FaceToPixels, not by a painter
// transform, so that the tick's hand rasterizer stays cheap; pen widths stay in pixels.

namespace vx {

constexpr double kFaceUnits = 12000.0;

struct FacePoint {
    double x;
    double y;
    bool operator==(const FacePoint&) const = default;
};

// A point in pixels, with fraction.
struct PixelPoint {
    double x;
    double y;
};

// Face units to pixels on a face of the given side.
class FaceToPixels {
public:
    explicit FaceToPixels(int side) : scale_(side / kFaceUnits), centre_(side / 2.0) {}
    PixelPoint operator()(FacePoint p) const { return {centre_ + p.x * scale_, centre_ + p.y * scale_}; }
    double Length(double units) const { return units * scale_; }

private:
    double scale_;
    double centre_;
};

} // namespace vx
