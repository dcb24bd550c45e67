#pragma once

#include <QPainterPath>
#include <QString>

namespace vx::assetgen {

// The dial's figures, drawn from our own centre lines rather than from a font, so the
// pictures never depend on what a machine has installed. A glyph's centre line runs from
// y = 0 (top) to y = 1 (baseline); it is stroked with a round pen.
struct NumeralGlyph {
    QPainterPath centreLine;
    double left = 0;  // extent of the centre line
    double right = 0;
};

NumeralGlyph digitGlyph(QChar digit);

// The centre line of a whole numeral ("12"), its box centred on the origin, with `gap`
// between the centre-line boxes of neighbouring digits. Height 1, width returned in `width`.
QPainterPath numeralPath(const QString& text, double gap, double* width = nullptr);

} // namespace vx::assetgen
