#pragma once

#include "face/DialMarks.h"
#include "face/Hands.h"

#include <array>

class QImage;
class QPainter;
class QRect;
class QRegion;

namespace vx {

// The face as the window shows it, within area: face takes the dial layer's pixels there and the
// hands are drawn over them (when there are any), in face units mapped to the layer's side, pen
// widths in pixels whatever the side. Both images are 32-bit RGB of the same size. A layer in
// device pixels takes pens penScale (the device-pixel ratio) times as wide.
void ComposeFace(const QImage& dialLayer, const std::array<HandStroke, kHandStrokeCount>* hands, const QRect& area,
                 QImage& face, double penScale = 1.0);

// The pixels a stroke of the hands can touch on a face of the given side, its pen and the
// antialiasing around its edges included.
QRect HandStrokeBounds(const HandStroke& stroke, int side);

// Where the face changes from one drawing of the hands to the next: every stroke that moved or
// changed colour, where it was and where it is now. Strokes that stayed need no repainting
// unless they lie in that region, where they are painted again anyway.
QRegion HandsChangeRegion(const std::array<HandStroke, kHandStrokeCount>& before,
                          const std::array<HandStroke, kHandStrokeCount>& after, int side);

// Draws the dial marks the same way: face units, pen widths in pixels, a dot as wide as its pen.
void PaintDialMarks(QPainter& painter, int side, const std::array<DialStroke, kDialStrokeCount>& strokes,
                    double penScale = 1.0);

} // namespace vx
