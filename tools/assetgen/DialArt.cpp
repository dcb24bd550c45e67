#include "DialArt.h"

#include "MoonMap.h"
#include "NumeralGlyphs.h"
#include "PaletteQuantizer.h"
#include "Raster.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace vx::assetgen {

namespace {

// The drawing works in face units: the face circle has radius 1, the origin is its centre,
// y grows downward. Angles are degrees clockwise from twelve o'clock, as on the dial.
constexpr double kPi = std::numbers::pi;
constexpr double kMoonRadius = 0.5;      // side/4 pixels
constexpr double kNumeralRadius = 0.745; // where the centres of the numerals lie

QPointF polar(double rho, double thetaDeg)
{
    const double a = thetaDeg * kPi / 180.0;
    return {rho * std::sin(a), -rho * std::cos(a)};
}

double angleOf(double x, double y)
{
    double a = std::atan2(x, -y) * 180.0 / kPi;
    return a < 0 ? a + 360.0 : a;
}

// How the figures are drawn at each size: larger and bolder on the small dials, so they stay
// legible when the ring is only fifteen pixels wide.
struct NumeralStyle {
    double height;       // face units, ink included
    double strokeRel;    // stroke width relative to the centre-line height
    double outlinePx;    // dark edge around the stroke, in saved pixels
};

NumeralStyle numeralStyle(int side)
{
    if (side <= 60)
        return {0.27, 0.21, 0.7};
    if (side <= 120)
        return {0.205, 0.18, 0.8};
    return {0.19, 0.155, 1.2};
}

// ---------------------------------------------------------------------------------------
// The sky behind the ring: a day running round the dial. Winter night at twelve and one,
// dawn at two, a spring day at three and four, sunset, a summer night at five and six, the
// festival night of the fireworks at seven and eight, an autumn evening from nine to eleven.

struct SkyStop {
    double theta;
    std::array<double, 3> inner; // next to the moon
    std::array<double, 3> outer; // at the rim
};

const std::vector<SkyStop>& skyStops()
{
    static const std::vector<SkyStop> stops{
        {0, {46, 70, 132}, {10, 18, 58}},        // winter night
        {36, {46, 70, 132}, {10, 18, 58}},
        {63, {214, 168, 196}, {98, 92, 168}},    // dawn
        {84, {206, 230, 248}, {128, 186, 236}},  // spring day
        {128, {206, 230, 248}, {128, 186, 236}},
        {143, {244, 178, 124}, {176, 86, 112}},  // sunset
        {160, {30, 74, 86}, {6, 26, 36}},        // summer night
        {196, {30, 74, 86}, {6, 26, 36}},
        {211, {40, 34, 96}, {9, 7, 36}},         // festival night
        {246, {40, 34, 96}, {9, 7, 36}},
        {263, {124, 56, 88}, {32, 20, 64}},      // autumn evening
        {322, {124, 56, 88}, {32, 20, 64}},
        {360, {46, 70, 132}, {10, 18, 58}},
    };
    return stops;
}

std::array<double, 3> skyAt(double thetaDeg, double rho)
{
    const auto& stops = skyStops();
    size_t i = 0;
    while (i + 2 < stops.size() && thetaDeg >= stops[i + 1].theta)
        ++i;
    const SkyStop& a = stops[i];
    const SkyStop& b = stops[i + 1];
    const double t = smoothstep(a.theta, b.theta, thetaDeg);
    const double r = smoothstep(0.56, 1.0, rho);
    std::array<double, 3> c{};
    for (size_t k = 0; k < 3; ++k) {
        const double in = mix(a.inner[k], b.inner[k], t);
        const double out = mix(a.outer[k], b.outer[k], t);
        c[k] = mix(in, out, r);
    }
    return c;
}

// 0 where the sky is bright, 1 where it is night: where stars may shine.
double darkness(double thetaDeg, double rho)
{
    const auto c = skyAt(thetaDeg, rho);
    const double lum = 0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2];
    return std::clamp((110.0 - lum) / 70.0, 0.0, 1.0);
}

// ---------------------------------------------------------------------------------------

class DialPainter {
public:
    DialPainter(const MoonMap& moon, int side, int scale)
        : moon_(moon), side_(side), saved_(side * scale), hi_(saved_ * kOversample), px_(2.0 / side),
          savedPx_(2.0 / saved_), style_(numeralStyle(side)), image_(hi_, hi_, QImage::Format_ARGB32_Premultiplied)
    {
    }

    QImage draw()
    {
        paintSky();
        {
            QPainter p(&image_);
            p.setRenderHint(QPainter::Antialiasing);
            p.translate(hi_ / 2.0, hi_ / 2.0);
            p.scale(hi_ / 2.0, hi_ / 2.0);
            paintStars(p);
            paintWinter(p);
            paintSpring(p);
            paintSummer(p);
            paintFireworks(p);
            paintAutumn(p);
        }
        paintMoonAndRims();
        {
            QPainter p(&image_);
            p.setRenderHint(QPainter::Antialiasing);
            p.translate(hi_ / 2.0, hi_ / 2.0);
            p.scale(hi_ / 2.0, hi_ / 2.0);
            paintNumerals(p);
        }
        QImage small = boxReduce(image_, kOversample).convertToFormat(QImage::Format_RGB32);
        greyCorners(small);
        return small;
    }

private:
    // Face units of a point of the oversampled image.
    double faceCoord(int x) const { return (x + 0.5) / (hi_ / 2.0) - 1.0; }

    bool nearNumeral(QPointF p, double margin) const
    {
        for (int h = 1; h <= 12; ++h) {
            const QPointF c = polar(kNumeralRadius, h * 30.0);
            const double halfWidth = (h >= 10 ? 0.62 : 0.32) * style_.height;
            const double dx = std::max(0.0, std::abs(p.x() - c.x()) - halfWidth);
            const double dy = std::max(0.0, std::abs(p.y() - c.y()) - style_.height / 2);
            if (dx * dx + dy * dy < margin * margin)
                return true;
        }
        return false;
    }

    void paintSky()
    {
        for (int y = 0; y < hi_; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
            const double fy = faceCoord(y);
            for (int x = 0; x < hi_; ++x) {
                const double fx = faceCoord(x);
                const double rho = std::hypot(fx, fy);
                auto c = skyAt(angleOf(fx, fy), rho);
                // A soft shade around the moon's rim and towards the edge gives the ring depth.
                const double shade = (1.0 - 0.35 * (1.0 - smoothstep(0.53, 0.64, rho))) *
                                     (1.0 - 0.22 * smoothstep(0.90, 1.0, rho));
                row[x] = qRgb(int(c[0] * shade + 0.5), int(c[1] * shade + 0.5), int(c[2] * shade + 0.5));
            }
        }
    }

    void glowDot(QPainter& p, QPointF c, double coreRadius, double glowRadius, const QColor& colour, double alpha)
    {
        QRadialGradient g(c, glowRadius);
        QColor inner = colour;
        inner.setAlphaF(float(alpha));
        QColor mid = colour;
        mid.setAlphaF(float(alpha * 0.35));
        QColor outer = colour;
        outer.setAlphaF(0);
        g.setColorAt(0, inner);
        g.setColorAt(std::clamp(coreRadius / glowRadius, 0.05, 0.9), mid);
        g.setColorAt(1, outer);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(c, glowRadius, glowRadius);
        QColor core = colour.lighter(115);
        core.setAlphaF(float(std::min(1.0, alpha * 1.1)));
        p.setBrush(core);
        p.drawEllipse(c, coreRadius, coreRadius);
    }

    void paintStars(QPainter& p)
    {
        Rng rng(0x5EA50115);
        const int candidates = side_ <= 60 ? 200 : 520;
        for (int i = 0; i < candidates; ++i) {
            const double theta = rng.uniform(0, 360);
            const double rho = std::sqrt(rng.uniform(0.58 * 0.58, 0.985 * 0.985));
            const double size = rng.uniform();
            const double twinkle = rng.uniform();
            const double d = darkness(theta, rho);
            if (rng.uniform() > d * d * 0.75)
                continue;
            const QPointF c = polar(rho, theta);
            if (nearNumeral(c, 0.035))
                continue;
            const double r = std::max(0.004 + 0.006 * size * size, 0.45 * px_);
            const QColor colour = twinkle < 0.2 ? QColor(255, 236, 200) : (twinkle < 0.35 ? QColor(210, 225, 255) : QColor(250, 250, 255));
            glowDot(p, c, r, r * 2.6, colour, 0.55 + 0.45 * size);
            if (size > 0.86 && side_ > 60) {
                // A few bright stars with a four-pointed glint.
                const double len = r * 4.5;
                QColor glint = colour;
                glint.setAlphaF(0.7f);
                p.setPen(QPen(glint, std::max(r * 0.35, 0.25 * px_), Qt::SolidLine, Qt::RoundCap));
                p.drawLine(c - QPointF(len, 0), c + QPointF(len, 0));
                p.drawLine(c - QPointF(0, len), c + QPointF(0, len));
            }
        }
    }

    // --- twelve and one: a snow crystal in the winter night ---------------------------------

    void snowCrystal(QPainter& p, QPointF c, double radius, double rotationDeg, double weight)
    {
        QPainterPath arms;
        for (int k = 0; k < 6; ++k) {
            const double a = (rotationDeg + 60.0 * k) * kPi / 180.0;
            const QPointF dir(std::sin(a), -std::cos(a));
            const QPointF side1(std::sin(a + kPi / 3), -std::cos(a + kPi / 3));
            const QPointF side2(std::sin(a - kPi / 3), -std::cos(a - kPi / 3));
            arms.moveTo(c);
            arms.lineTo(c + dir * radius);
            // Side branches, longest near the middle of the arm, as on a dendrite.
            const std::array<std::pair<double, double>, 3> branches{{{0.36, 0.30}, {0.60, 0.26}, {0.80, 0.15}}};
            for (const auto& [at, len] : branches) {
                const QPointF base = c + dir * (radius * at);
                arms.moveTo(base);
                arms.lineTo(base + side1 * (radius * len));
                arms.moveTo(base);
                arms.lineTo(base + side2 * (radius * len));
            }
        }
        QPainterPath hexagon;
        for (int k = 0; k <= 6; ++k) {
            const double a = (rotationDeg + 30.0 + 60.0 * k) * kPi / 180.0;
            const QPointF v = c + QPointF(std::sin(a), -std::cos(a)) * (radius * 0.17);
            k == 0 ? hexagon.moveTo(v) : hexagon.lineTo(v);
        }
        const double stroke = std::max(radius * 0.075, weight * px_);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(150, 200, 255, 90), stroke * 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(arms);
        p.setPen(QPen(QColor(236, 246, 255), stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(arms);
        p.setBrush(QColor(236, 246, 255));
        p.drawPath(hexagon);
    }

    void paintWinter(QPainter& p)
    {
        snowCrystal(p, polar(0.815, 15.5), side_ <= 60 ? 0.15 : 0.135, 8, 0.9);
        struct Flake { double rho, theta, radius, rotation; };
        const std::array<Flake, 5> flakes{{{0.905, 344, 0.045, 0}, {0.61, 340, 0.034, 20},
                                           {0.92, 44, 0.05, 12}, {0.62, 42, 0.04, 5}, {0.60, 15, 0.03, 30}}};
        for (const Flake& f : flakes)
            snowCrystal(p, polar(f.rho, f.theta), std::max(f.radius, 2.2 * px_), f.rotation, 0.55);
        // Falling snow.
        Rng rng(0x5A0F);
        for (int i = 0; i < (side_ <= 60 ? 20 : 60); ++i) {
            const double theta = rng.uniform(-32, 58);
            const double rho = rng.uniform(0.58, 0.98);
            const double r = rng.uniform(0.006, 0.013);
            const QPointF c = polar(rho, theta);
            if (nearNumeral(c, 0.03))
                continue;
            const double fade = smoothstep(-32, -18, theta) * (1.0 - smoothstep(44, 58, theta));
            glowDot(p, c, std::max(r, 0.4 * px_), std::max(r, 0.4 * px_) * 2.0, QColor(240, 246, 255), 0.85 * fade);
        }
    }

    // --- three and four: cherry blossoms on a spring day -----------------------------------

    void blossom(QPainter& p, QPointF c, double radius, double rotationDeg, double openness)
    {
        // Five notched petals round a dark heart.
        p.save();
        p.translate(c);
        p.rotate(rotationDeg);
        p.scale(radius, radius);
        QPainterPath petal;
        petal.moveTo(0, 0);
        petal.cubicTo(-0.55 * openness, -0.25, -0.62, -0.82, -0.22, -1.0);
        petal.lineTo(0, -0.86);
        petal.lineTo(0.22, -1.0);
        petal.cubicTo(0.62, -0.82, 0.55 * openness, -0.25, 0, 0);
        QRadialGradient g(QPointF(0, 0), 1.0);
        g.setColorAt(0.0, QColor(222, 84, 128));
        g.setColorAt(0.32, QColor(250, 176, 200));
        g.setColorAt(1.0, QColor(255, 226, 234));
        p.setBrush(g);
        p.setPen(QPen(QColor(214, 120, 152), 0.06));
        for (int k = 0; k < 5; ++k) {
            p.drawPath(petal);
            p.rotate(72);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(196, 52, 96));
        p.drawEllipse(QPointF(0, 0), 0.2, 0.2);
        p.setBrush(QColor(255, 222, 120));
        for (int k = 0; k < 5; ++k) {
            const double a = (36 + 72 * k) * kPi / 180.0;
            p.drawEllipse(QPointF(0.34 * std::sin(a), -0.34 * std::cos(a)), 0.07, 0.07);
        }
        p.restore();
    }

    void paintSpring(QPainter& p)
    {
        // A branch comes in over the rim near half past two and runs along the outer ring.
        const QColor bark(78, 46, 40);
        struct Twig { std::vector<QPointF> points; double width; };
        const std::vector<Twig> twigs{
            {{polar(1.05, 70), polar(0.93, 84), polar(0.90, 100), polar(0.92, 118), polar(0.90, 133)}, 0.028},
            {{polar(0.925, 88), polar(0.84, 96), polar(0.80, 104)}, 0.014},
            {{polar(0.905, 112), polar(0.975, 122)}, 0.012},
            {{polar(1.03, 96), polar(0.95, 104), polar(0.89, 108)}, 0.016},
        };
        for (const Twig& t : twigs) {
            QPainterPath path;
            path.moveTo(t.points[0]);
            for (size_t i = 1; i + 1 < t.points.size(); ++i) {
                const QPointF mid = (t.points[i] + t.points[i + 1]) / 2;
                path.quadTo(t.points[i], i + 2 == t.points.size() ? t.points[i + 1] : mid);
            }
            if (t.points.size() == 2)
                path.lineTo(t.points[1]);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(bark, std::max(t.width, 0.9 * px_), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(path);
        }
        struct Flower { double rho, theta, radius, rotation; };
        const std::vector<Flower> flowers{
            {0.94, 80, 0.052, 10}, {0.885, 91, 0.060, 40}, {0.965, 94, 0.044, 5}, {0.81, 103, 0.056, 22},
            {0.92, 106, 0.062, 55}, {0.86, 114, 0.048, 12}, {0.965, 121, 0.056, 30}, {0.90, 129, 0.05, 66},
            {0.955, 135, 0.036, 18}, {0.87, 76, 0.034, 48}, {0.625, 104, 0.042, 8}, {0.60, 81, 0.03, 30},
        };
        for (const Flower& f : flowers)
            blossom(p, polar(f.rho, f.theta), std::max(f.radius, 2.3 * px_), f.rotation, 1.0);
        // Petals drifting down (too small to tell on the smallest dial).
        Rng rng(0x5A4A);
        for (int i = 0; i < (side_ <= 60 ? 0 : 14); ++i) {
            const double theta = rng.uniform(68, 140);
            const double rho = rng.uniform(0.58, 0.8);
            const QPointF c = polar(rho, theta);
            if (nearNumeral(c, 0.03))
                continue;
            p.save();
            p.translate(c);
            p.rotate(rng.uniform(0, 360));
            const double s = std::max(0.016, 1.2 * px_);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 190, 210, 230));
            p.drawEllipse(QPointF(0, 0), s, s * 0.6);
            p.restore();
        }
    }

    // --- five and six: grass and fireflies on a summer night ------------------------------

    void paintSummer(QPainter& p)
    {
        Rng rng(0x6A55);
        for (double theta = 128; theta <= 226; theta += 0.9) {
            const double envelope = smoothstep(128, 146, theta) * (1.0 - smoothstep(200, 226, theta));
            if (envelope <= 0.02)
                continue;
            const double jitter = rng.uniform(-0.4, 0.4);
            const double len = envelope * rng.uniform(0.07, 0.155);
            const double lean = rng.uniform(-9, 9);
            const double base = 1.0;
            const double t = theta + jitter;
            const QPointF root = polar(base, t);
            const QPointF tip = polar(base - len, t + lean * len * 6);
            const QPointF ctrl = polar(base - len * 0.6, t + lean * len * 1.5);
            const double halfWidth = std::max(0.013, 0.7 * px_) * (0.7 + 0.6 * rng.uniform());
            const QPointF tangent(std::cos(t * kPi / 180), std::sin(t * kPi / 180));
            QPainterPath blade;
            blade.moveTo(root - tangent * halfWidth);
            blade.quadTo(ctrl, tip);
            blade.quadTo(ctrl, root + tangent * halfWidth);
            blade.closeSubpath();
            const double shade = rng.uniform();
            QLinearGradient g(root, tip);
            g.setColorAt(0, QColor(10, 44, 22));
            g.setColorAt(1, mixColor(QColor(64, 140, 56), QColor(120, 190, 76), shade));
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawPath(blade);
        }
        struct Firefly { double rho, theta, size; };
        const std::vector<Firefly> flies{
            {0.90, 146, 1.0}, {0.62, 152, 0.8}, {0.80, 163, 1.2}, {0.94, 170, 0.9}, {0.60, 177, 1.0},
            {0.86, 186, 1.1}, {0.66, 192, 0.7}, {0.935, 158, 0.7}, {0.79, 196, 0.8}, {0.70, 138, 0.6},
        };
        for (const Firefly& f : flies) {
            const double core = std::max(0.012 * f.size, 0.55 * px_);
            glowDot(p, polar(f.rho, f.theta), core, core * 4.2, QColor(214, 255, 120), 0.95);
        }
    }

    // --- seven and eight: fireworks -------------------------------------------------------

    void firework(QPainter& p, QPointF c, double radius, const QColor& outer, const QColor& inner, int rays,
                  std::uint64_t seed)
    {
        Rng rng(seed);
        QRadialGradient halo(c, radius * 1.25);
        QColor h = outer;
        h.setAlphaF(0.28f);
        halo.setColorAt(0, h);
        h.setAlphaF(0);
        halo.setColorAt(1, h);
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(c, radius * 1.25, radius * 1.25);
        const double dot = std::max(radius * 0.055, 0.5 * px_);
        for (int k = 0; k < rays; ++k) {
            const double a = (360.0 * k / rays + rng.uniform(-4, 4)) * kPi / 180.0;
            const QPointF dir(std::sin(a), -std::cos(a));
            const double reach = radius * rng.uniform(0.88, 1.0);
            // A fading trail, then the bright star at its end.
            QLinearGradient trail(c + dir * (reach * 0.25), c + dir * reach);
            QColor t0 = outer;
            t0.setAlphaF(0);
            QColor t1 = outer;
            t1.setAlphaF(0.75f);
            trail.setColorAt(0, t0);
            trail.setColorAt(1, t1);
            p.setPen(QPen(QBrush(trail), std::max(dot * 0.6, 0.35 * px_), Qt::SolidLine, Qt::RoundCap));
            p.drawLine(c + dir * (reach * 0.25), c + dir * reach);
            glowDot(p, c + dir * reach, dot, dot * 2.4, outer, 1.0);
            glowDot(p, c + dir * (reach * 0.55), dot * 0.75, dot * 1.8, inner, 0.95);
        }
        glowDot(p, c, dot * 1.2, radius * 0.3, QColor(255, 250, 230), 0.9);
    }

    void paintFireworks(QPainter& p)
    {
        firework(p, polar(0.835, 225), 0.13, QColor(255, 96, 80), QColor(255, 220, 120), 22, 0xF1);
        firework(p, polar(0.905, 199.5), 0.075, QColor(120, 220, 255), QColor(255, 255, 255), 16, 0xF2);
        firework(p, polar(0.90, 252), 0.085, QColor(255, 206, 80), QColor(160, 255, 140), 18, 0xF3);
        firework(p, polar(0.605, 226), 0.05, QColor(190, 140, 255), QColor(255, 210, 240), 12, 0xF4);
    }

    // --- nine to eleven: autumn leaves under the evening stars ------------------------------

    void mapleLeaf(QPainter& p, QPointF c, double size, double rotationDeg, const QColor& colour)
    {
        // Five pointed lobes with a few teeth, traced by a radius that peaks at each lobe.
        constexpr std::array<double, 5> lobeAngle{0, 58, -58, 118, -118};
        constexpr std::array<double, 5> lobeLength{1.0, 0.86, 0.86, 0.52, 0.52};
        QPainterPath leaf;
        const int steps = 240;
        for (int i = 0; i <= steps; ++i) {
            const double a = -180.0 + 360.0 * i / steps;
            double r = 0.16;
            for (size_t k = 0; k < lobeAngle.size(); ++k) {
                const double d = std::abs(a - lobeAngle[k]);
                const double peak = std::max(0.0, 1.0 - d / 24.0);
                r = std::max(r, 0.16 + (lobeLength[k] - 0.16) * std::pow(peak, 1.6));
            }
            r *= 1.0 + 0.07 * std::abs(std::sin(a * kPi / 180.0 * 9.0));
            const double rad = (a + rotationDeg) * kPi / 180.0;
            const QPointF v = c + QPointF(std::sin(rad), -std::cos(rad)) * (r * size);
            i == 0 ? leaf.moveTo(v) : leaf.lineTo(v);
        }
        leaf.closeSubpath();
        p.setPen(QPen(colour.darker(190), std::max(size * 0.05, 0.35 * px_), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QRadialGradient g(c, size);
        g.setColorAt(0, colour.lighter(125));
        g.setColorAt(1, colour);
        p.setBrush(g);
        p.drawPath(leaf);
        // The stalk and the main veins.
        const double rad = rotationDeg * kPi / 180.0;
        const QPointF down(-std::sin(rad), std::cos(rad));
        p.setPen(QPen(colour.darker(160), std::max(size * 0.06, 0.3 * px_), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, c + down * (size * 0.45));
        p.setPen(QPen(colour.darker(135), std::max(size * 0.035, 0.25 * px_), Qt::SolidLine, Qt::RoundCap));
        for (size_t k = 0; k < 3; ++k) {
            const double va = (lobeAngle[k] + rotationDeg) * kPi / 180.0;
            p.drawLine(c, c + QPointF(std::sin(va), -std::cos(va)) * (size * lobeLength[k] * 0.75));
        }
    }

    void paintAutumn(QPainter& p)
    {
        const QColor red(204, 44, 30), orange(232, 118, 28), yellow(238, 184, 44), crimson(170, 30, 44);
        struct Leaf { double rho, theta, size, rotation; QColor colour; };
        const std::vector<Leaf> leaves{
            {0.905, 262, 0.075, -20, orange}, {0.64, 255, 0.05, 30, red},     {0.90, 284, 0.08, 15, red},
            {0.62, 286, 0.052, -35, yellow},  {0.92, 313, 0.074, 40, yellow}, {0.84, 300, 0.045, -60, crimson},
            {0.63, 314, 0.048, 10, orange},   {0.905, 341, 0.06, -10, red},   {0.965, 298, 0.04, 70, orange},
        };
        for (const Leaf& l : leaves)
            mapleLeaf(p, polar(l.rho, l.theta), std::max(l.size * 1.3, 3.2 * px_), l.rotation, l.colour);
    }

    // --- the moon and its rim ----------------------------------------------------------------

    void paintMoonAndRims()
    {
        const double rimDark = (side_ >= 240 ? 2.0 : (side_ <= 60 ? 1.0 : 1.4)) * px_;
        const double rimLight = (side_ >= 240 ? 1.6 : (side_ <= 60 ? 1.05 : 1.3)) * px_;
        const double bezel = (side_ >= 240 ? 1.6 : 1.1) * px_;
        // On the smallest dial a rim of one or two pixels only stays crisp when whole pixels
        // decide between moon, dark and light, by where their centres lie.
        const bool snapped = side_ <= 60;
        const auto targetCentre = [&](int hiCoord) {
            return ((hiCoord / kOversample) + 0.5) * savedPx_ - 1.0;
        };
        // The full moon is bright: the highlands come out near white, the maria mid grey.
        const double exposure = 236.0 / moon_.highlandLevel();
        for (int y = 0; y < hi_; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
            const double fy = faceCoord(y);
            for (int x = 0; x < hi_; ++x) {
                const double fx = faceCoord(x);
                const double rho = snapped ? std::hypot(targetCentre(x), targetCentre(y)) : std::hypot(fx, fy);
                if (rho <= kMoonRadius) {
                    double u = fx / kMoonRadius;
                    double v = -fy / kMoonRadius;
                    const double outside = std::hypot(u, v);
                    if (outside > 1.0) { // a snapped edge pixel reaching past the limb
                        u /= outside;
                        v /= outside;
                    }
                    const double mu = std::sqrt(std::max(0.0, 1.0 - u * u - v * v));
                    const double limb = 0.80 + 0.20 * std::pow(mu, 0.7); // mild darkening at the limb
                    const auto c = moon_.nearSide(u, v);
                    const auto ch = [&](double value) { return std::clamp(int(value * exposure * limb + 0.5), 0, 255); };
                    row[x] = qRgb(ch(c[0]), ch(c[1]), ch(c[2]));
                } else if (rho <= kMoonRadius + rimDark) {
                    row[x] = qRgb(34, 32, 44);
                } else if (rho <= kMoonRadius + rimDark + rimLight) {
                    row[x] = qRgb(222, 224, 234);
                } else if (rho >= 1.0 - bezel && rho <= 1.0 + 4 * px_) {
                    row[x] = qRgb(22, 20, 34);
                }
            }
        }
    }

    // --- the numerals ------------------------------------------------------------------------

    void paintNumerals(QPainter& p)
    {
        const double unit = style_.height / (1.0 + style_.strokeRel); // centre-line height
        const double gap = style_.strokeRel + 0.16;
        for (int h = 1; h <= 12; ++h) {
            const QPainterPath path = numeralPath(QString::number(h), gap);
            const QPointF c = polar(kNumeralRadius, h * 30.0);
            p.save();
            p.translate(c);
            p.scale(unit, unit);
            const double outline = style_.strokeRel + 2.0 * style_.outlinePx * px_ / unit;
            p.setBrush(Qt::NoBrush);
            // A soft shadow, then the dark edge, then the figure itself.
            p.setPen(QPen(QColor(0, 0, 0, 70), outline + 1.2 * px_ / unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(path.translated(0.5 * px_ / unit, 0.6 * px_ / unit));
            p.setPen(QPen(QColor(22, 18, 38), outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(path);
            p.setPen(QPen(QColor(255, 252, 240), style_.strokeRel, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(path);
            p.restore();
        }
    }

    // Everything whose centre lies outside the inscribed circle becomes the flat corner grey.
    void greyCorners(QImage& small) const
    {
        const double half = saved_ / 2.0;
        for (int y = 0; y < saved_; ++y) {
            auto* row = reinterpret_cast<QRgb*>(small.scanLine(y));
            for (int x = 0; x < saved_; ++x)
                if (std::hypot(x + 0.5 - half, y + 0.5 - half) > half)
                    row[x] = kCornerGrey;
        }
    }

    const MoonMap& moon_;
    int side_;  // the dial's size on the screen, which decides how its details are drawn
    int saved_; // the saved picture's side: side_ times the scale
    int hi_;
    double px_;      // one pixel of the dial's size on the screen, in face units
    double savedPx_; // one saved pixel in face units
    NumeralStyle style_;
    QImage image_;
};

} // namespace

QImage drawDial(const MoonMap& moon, int side, int scale)
{
    return DialPainter(moon, side, scale).draw();
}

QImage dialPicture(const MoonMap& moon, int side, int scale)
{
    return quantizeOpaque(drawDial(moon, side, scale), 256, {kCornerGrey});
}

} // namespace vx::assetgen
