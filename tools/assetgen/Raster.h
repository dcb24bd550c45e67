#pragma once

#include <QColor>
#include <QImage>

#include <cstdint>

namespace vx::assetgen {

// Every picture is drawn this many times larger than it is saved and then averaged down,
// so edges are antialiased by area and small details keep their weight.
inline constexpr int kOversample = 8;

// Averages each factor x factor block into one pixel (premultiplied ARGB in and out).
QImage boxReduce(const QImage& src, int factor);

double smoothstep(double edge0, double edge1, double x);
double mix(double a, double b, double t);
QColor mixColor(const QColor& a, const QColor& b, double t);

// A small seeded generator, so that scattered stars and blades land in the same places on
// every run and on every machine.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    double uniform(); // [0, 1)
    double uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }

private:
    std::uint64_t state_;
};

} // namespace vx::assetgen
