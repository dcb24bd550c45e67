#include "NumeralGlyphs.h"

#include <QTransform>

#include <stdexcept>

namespace vx::assetgen {

namespace {

// Qt's arc angles are degrees counter-clockwise from three o'clock.
QRectF circleBox(double cx, double cy, double r)
{
    return {cx - r, cy - r, 2 * r, 2 * r};
}

NumeralGlyph six()
{
    QPainterPath p;
    p.moveTo(0.47, 0.03);
    p.cubicTo(0.24, -0.05, 0.0, 0.14, 0.0, 0.72);
    p.arcTo(circleBox(0.28, 0.72, 0.28), 180, 360);
    return {p, 0.0, 0.56};
}

} // namespace

NumeralGlyph digitGlyph(QChar digit)
{
    QPainterPath p;
    switch (digit.toLatin1()) {
    case '0':
        p.addEllipse(QRectF(0.0, 0.0, 0.56, 1.0));
        return {p, 0.0, 0.56};
    case '1':
        p.moveTo(0.02, 0.2);
        p.lineTo(0.24, 0.0);
        p.lineTo(0.24, 1.0);
        return {p, 0.02, 0.24};
    case '2':
        p.arcMoveTo(circleBox(0.28, 0.27, 0.27), 160);
        p.arcTo(circleBox(0.28, 0.27, 0.27), 160, -195);
        p.cubicTo(0.42, 0.58, 0.12, 0.80, 0.0, 1.0);
        p.lineTo(0.56, 1.0);
        return {p, 0.0, 0.56};
    case '3':
        p.arcMoveTo(circleBox(0.27, 0.235, 0.235), 155);
        p.arcTo(circleBox(0.27, 0.235, 0.235), 155, -245);
        p.lineTo(0.19, 0.47);
        p.moveTo(0.27, 0.47);
        p.arcTo(circleBox(0.27, 0.735, 0.265), 90, -250);
        return {p, 0.005, 0.535};
    case '4':
        p.moveTo(0.40, 1.0);
        p.lineTo(0.40, 0.0);
        p.lineTo(0.0, 0.68);
        p.lineTo(0.56, 0.68);
        return {p, 0.0, 0.56};
    case '5':
        p.moveTo(0.50, 0.0);
        p.lineTo(0.09, 0.0);
        p.lineTo(0.05, 0.47);
        p.arcTo(circleBox(0.26, 0.70, 0.30), 135, -285);
        return {p, 0.0, 0.56};
    case '6':
        return six();
    case '7':
        p.moveTo(0.0, 0.0);
        p.lineTo(0.56, 0.0);
        p.cubicTo(0.38, 0.30, 0.24, 0.62, 0.20, 1.0);
        return {p, 0.0, 0.56};
    case '8':
        p.addEllipse(circleBox(0.28, 0.23, 0.23));
        p.addEllipse(circleBox(0.28, 0.72, 0.28));
        return {p, 0.0, 0.56};
    case '9': {
        // A six turned half round.
        const NumeralGlyph g = six();
        return {QTransform(-1, 0, 0, -1, 0.56, 1.0).map(g.centreLine), 0.0, 0.56};
    }
    default:
        throw std::invalid_argument("no glyph for this character");
    }
}

QPainterPath numeralPath(const QString& text, double gap, double* width)
{
    QPainterPath all;
    double cursor = 0;
    for (int i = 0; i < text.size(); ++i) {
        const NumeralGlyph g = digitGlyph(text[i]);
        all.addPath(QTransform::fromTranslate(cursor - g.left, 0).map(g.centreLine));
        cursor += g.right - g.left;
        if (i + 1 < text.size())
            cursor += gap;
    }
    if (width)
        *width = cursor;
    return QTransform::fromTranslate(-cursor / 2, -0.5).map(all);
}

} // namespace vx::assetgen
