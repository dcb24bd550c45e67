#include "face/FacePainter.h"

#include <QColor>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QRectF>
#include <QRegion>

namespace vx {

namespace {
QColor ToQColor(Colour c)
{
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

// Face units to pixels on a face of the given side. The strokes are mapped here rather than
// through a painter transform: under a scaling transform Qt strokes each cosmetic pen by
// switching the painter to device space and back, which doubled the cost of drawing the hands
// on every tick. In pixels the painter draws the same strokes directly, and a pen's width is
// its width in pixels.
class FaceToPixels {
public:
    explicit FaceToPixels(int side) : scale_(side / kFaceUnits), centre_(side / 2.0) {}
    QPointF operator()(FacePoint p) const { return {centre_ + p.x * scale_, centre_ + p.y * scale_}; }
    double Length(double units) const { return units * scale_; }

private:
    double scale_;
    double centre_;
};

QPen PixelPen(Colour colour, int width)
{
    return QPen(ToQColor(colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

void PaintHands(QPainter& painter, int side, const std::array<HandStroke, kHandStrokeCount>& strokes)
{
    const FaceToPixels px(side);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const HandStroke& s : strokes) {
        painter.setPen(PixelPen(s.colour, s.penWidth));
        if (s.kind == HandStroke::Kind::Line) {
            painter.drawLine(px(s.from), px(s.to));
        } else {
            painter.setBrush(s.filled ? QBrush(ToQColor(s.fillColour)) : QBrush(Qt::NoBrush));
            painter.drawEllipse(px(s.from), px.Length(s.radius), px.Length(s.radius));
        }
    }
    painter.restore();
}

QRect HandStrokeBounds(const HandStroke& s, int side)
{
    const FaceToPixels px(side);
    QRectF box;
    if (s.kind == HandStroke::Kind::Line) {
        box = QRectF(px(s.from), px(s.to)).normalized();
    } else {
        const double r = px.Length(s.radius);
        box = QRectF(px(s.from) - QPointF(r, r), px(s.from) + QPointF(r, r));
    }
    // Half the pen beyond the geometry (round caps reach that far past a line's ends), and two
    // pixels for the antialiased edge and rounding.
    const double margin = s.penWidth / 2.0 + 2.0;
    return box.adjusted(-margin, -margin, margin, margin).toAlignedRect();
}

QRegion HandsChangeRegion(const std::array<HandStroke, kHandStrokeCount>& before,
                          const std::array<HandStroke, kHandStrokeCount>& after, int side)
{
    QRegion changed;
    for (std::size_t i = 0; i < kHandStrokeCount; ++i) {
        if (before[i] == after[i])
            continue;
        changed += HandStrokeBounds(before[i], side);
        changed += HandStrokeBounds(after[i], side);
    }
    return changed;
}

void PaintDialMarks(QPainter& painter, int side, const std::array<DialStroke, kDialStrokeCount>& strokes)
{
    const FaceToPixels px(side);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const DialStroke& s : strokes) {
        // Round ends: a wide point is a round dot centred on its place.
        painter.setPen(PixelPen(s.colour, s.penWidth));
        if (s.kind == DialStroke::Kind::Dot)
            painter.drawPoint(px(s.from));
        else
            painter.drawLine(px(s.from), px(s.to));
    }
    painter.restore();
}

} // namespace vx
