#include "face/FacePainter.h"

#include <QColor>
#include <QPainter>
#include <QPen>

namespace vx {

namespace {
QColor ToQColor(Colour c)
{
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}
} // namespace

void PaintHands(QPainter& painter, int side, const std::array<HandStroke, kHandStrokeCount>& strokes)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(side / 2.0, side / 2.0);
    painter.scale(side / kFaceUnits, side / kFaceUnits);
    for (const HandStroke& s : strokes) {
        QPen pen(ToQColor(s.colour), s.penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        pen.setCosmetic(true);
        painter.setPen(pen);
        if (s.kind == HandStroke::Kind::Line) {
            painter.drawLine(QPointF(s.from.x, s.from.y), QPointF(s.to.x, s.to.y));
        } else {
            painter.setBrush(s.filled ? QBrush(ToQColor(s.fillColour)) : QBrush(Qt::NoBrush));
            painter.drawEllipse(QPointF(s.from.x, s.from.y), s.radius, s.radius);
        }
    }
    painter.restore();
}

void PaintDialMarks(QPainter& painter, int side, const std::array<DialStroke, kDialStrokeCount>& strokes)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(side / 2.0, side / 2.0);
    painter.scale(side / kFaceUnits, side / kFaceUnits);
    for (const DialStroke& s : strokes) {
        // Round ends: a wide point is a round dot centred on its place.
        QPen pen(ToQColor(s.colour), s.penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        pen.setCosmetic(true);
        painter.setPen(pen);
        if (s.kind == DialStroke::Kind::Dot)
            painter.drawPoint(QPointF(s.from.x, s.from.y));
        else
            painter.drawLine(QPointF(s.from.x, s.from.y), QPointF(s.to.x, s.to.y));
    }
    painter.restore();
}

} // namespace vx
