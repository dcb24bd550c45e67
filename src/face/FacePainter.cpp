#include "face/FacePainter.h"

#include "base/ImagePixels.h"
#include "face/DeviceScale.h"
#include "face/HandRaster.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QRectF>
#include <QRegion>

#include <cstdint>
#include <cstring>

namespace vx {

namespace {
QColor ToQColor(Colour c)
{
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

// A point of the face in the window's pixels. The marks are mapped here rather than through a
// painter transform: under a scaling transform Qt strokes each cosmetic pen by switching the
// painter to device space and back, which doubles the cost of every stroke. In pixels the painter
// draws the same strokes directly, and a pen's width is its width in pixels.
QPointF At(const FaceToPixels& px, FacePoint p)
{
    const PixelPoint q = px(p);
    return {q.x, q.y};
}

QPen PixelPen(Colour colour, double width)
{
    return QPen(ToQColor(colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

void ComposeFace(const QImage& dialLayer, const std::array<HandStroke, kHandStrokeCount>* hands, const QRect& area,
                 QImage& face, double penScale)
{
    const QRect box = area & dialLayer.rect() & face.rect();
    if (box.isEmpty())
        return;
    const std::size_t rowBytes = static_cast<std::size_t>(box.width()) * sizeof(std::uint32_t);
    for (int y = box.top(); y <= box.bottom(); ++y)
        std::memcpy(face.scanLine(y) + box.left() * sizeof(std::uint32_t),
                    dialLayer.constScanLine(y) + box.left() * sizeof(std::uint32_t), rowBytes);
    if (hands == nullptr)
        return;
    DrawHandStrokes(PixelsOf(face), {box.left(), box.top(), box.right() + 1, box.bottom() + 1}, face.width(), *hands,
                    penScale);
}

QRect HandStrokeBounds(const HandStroke& s, int side)
{
    const FaceToPixels px(side);
    QRectF box;
    if (s.kind == HandStroke::Kind::Line) {
        box = QRectF(At(px, s.from), At(px, s.to)).normalized();
    } else {
        const double r = px.Length(s.radius);
        box = QRectF(At(px, s.from) - QPointF(r, r), At(px, s.from) + QPointF(r, r));
    }
    // Half the pen beyond the geometry (round caps reach that far past a line's ends), and two
    // pixels for the antialiased edge and rounding.
    const double margin = s.penWidth / 2.0 + 2.0;
    return box.adjusted(-margin, -margin, margin, margin).toAlignedRect();
}

QRegion HandsChangeRegion(const std::array<HandStroke, kHandStrokeCount>& before,
                          const std::array<HandStroke, kHandStrokeCount>& after, int side)
{
    // A hand's strokes share their place, so each hand gives one box where it was and one where
    // it is: a few rectangles for the region instead of two per stroke.
    QRect was;
    QRect is;
    QRegion changed;
    for (std::size_t i = 0; i < kHandStrokeCount; ++i) {
        if (before[i] != after[i]) {
            was |= HandStrokeBounds(before[i], side);
            is |= HandStrokeBounds(after[i], side);
        }
        const bool handEnds = i + 1 == kHandStrokeCount || kHandOfStroke[i + 1] != kHandOfStroke[i];
        if (handEnds && !was.isNull()) {
            changed += was;
            changed += is;
            was = is = QRect();
        }
    }
    return changed;
}

void PaintDialMarks(QPainter& painter, int side, const std::array<DialStroke, kDialStrokeCount>& strokes,
                    double penScale)
{
    const FaceToPixels px(side);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const DialStroke& s : strokes) {
        // Round ends: a wide point is a round dot centred on its place.
        painter.setPen(PixelPen(s.colour, DevicePen(s.penWidth, penScale)));
        if (s.kind == DialStroke::Kind::Dot)
            painter.drawPoint(At(px, s.from));
        else
            painter.drawLine(At(px, s.from), At(px, s.to));
    }
    painter.restore();
}

} // namespace vx
