#include "ProgramIcon.h"

#include "MoonMap.h"
#include "PaletteQuantizer.h"
#include "Raster.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vx::assetgen {

namespace {

const QColor kOlive(128, 128, 0);

QPainterPath hand(QPointF centre, double angleDeg, double length, double width)
{
    // A tapered blade from a short tail behind the centre to a rounded point.
    const double a = angleDeg * std::numbers::pi / 180.0;
    const QPointF dir(std::sin(a), -std::cos(a));
    const QPointF across(-dir.y(), dir.x());
    QPainterPath path;
    path.moveTo(centre - dir * (width * 0.9) + across * (width * 0.5));
    path.lineTo(centre + dir * (length - width * 0.4) + across * (width * 0.26));
    path.quadTo(centre + dir * (length + width * 0.15), centre + dir * (length - width * 0.4) - across * (width * 0.26));
    path.lineTo(centre - dir * (width * 0.9) - across * (width * 0.5));
    path.closeSubpath();
    return path;
}

} // namespace

QImage drawProgramIcon(const MoonMap& moon, int size)
{
    const int hi = size * kOversample;
    const double px = kOversample; // one saved pixel in oversampled pixels
    QImage image(hi, hi, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);

    // The small icons fill their square, so the mask's edge is the black rim; the large one
    // keeps a little margin for the launcher.
    const bool small = size <= 32;
    const double centre = hi / 2.0;
    const double radius = small ? hi * 0.5 : hi * 0.49;
    const double rim = small ? (size <= 16 ? 1.3 : 1.8) * px : radius * 0.07;
    const double moonRadius = radius - rim;
    const double highland = moon.highlandLevel();

    // The grey moon: the map's maria as darker mottling, no colour.
    for (int y = 0; y < hi; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < hi; ++x) {
            const double u = (x + 0.5 - centre) / moonRadius;
            const double v = (centre - y - 0.5) / moonRadius;
            if (u * u + v * v >= 1.0)
                continue;
            const auto c = moon.nearSide(u, v);
            const double albedo = (0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2]) / highland;
            const double mu = std::sqrt(1.0 - u * u - v * v);
            // Lighter on the small icons, so the olive hands stand out.
            const double tone = small ? 120.0 + 120.0 * albedo : 70.0 + 150.0 * albedo;
            const int g = std::clamp(int(tone * (0.82 + 0.18 * mu) + 0.5), 0, 255);
            row[x] = qRgb(g, g, g);
        }
    }

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, rim));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(centre, centre), radius - rim / 2, radius - rim / 2);

    // Ten past ten: the hour hand towards ten, the minute hand towards two.
    const QPointF c(centre, centre);
    const double edge = size >= 64 ? std::max(radius * 0.018, 0.6 * px) : (size <= 16 ? 0.45 : 0.6) * px;
    const double hourWidth = size <= 16 ? 1.7 * px : std::max(moonRadius * 0.16, 2.4 * px);
    const double minuteWidth = size <= 16 ? 1.4 * px : std::max(moonRadius * 0.115, 1.9 * px);
    const QPainterPath hourHand = hand(c, -55, moonRadius * 0.55, hourWidth);
    const QPainterPath minuteHand = hand(c, 58, moonRadius * 0.84, minuteWidth);
    p.setPen(edge > 0 ? QPen(QColor(36, 36, 0), edge, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin) : QPen(Qt::NoPen));
    p.setBrush(kOlive);
    p.drawPath(minuteHand);
    p.drawPath(hourHand);
    const double cap = size <= 16 ? 1.1 * px : std::max(moonRadius * 0.15, 2.0 * px);
    p.setPen(size <= 16 ? QPen(Qt::NoPen) : QPen(Qt::black, std::max(cap * 0.22, 0.6 * px)));
    p.setBrush(kOlive.lighter(118));
    p.drawEllipse(c, cap, cap);
    p.end();

    return boxReduce(image, kOversample).convertToFormat(QImage::Format_ARGB32);
}

QImage programIcon16Colours(const MoonMap& moon, int size)
{
    return quantizeMasked(drawProgramIcon(moon, size), 16);
}

} // namespace vx::assetgen
