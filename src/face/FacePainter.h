#pragma once

#include "face/DialMarks.h"
#include "face/Hands.h"

#include <array>

class QPainter;
class QRect;
class QRegion;

namespace vx {

// Draws the hands in face units on a square surface of the given side in pixels.
// Pen widths stay in pixels whatever the side.
void PaintHands(QPainter& painter, int side, const std::array<HandStroke, kHandStrokeCount>& strokes);

// The pixels a stroke of the hands can touch on a face of the given side, its pen and the
// antialiasing around its edges included.
QRect HandStrokeBounds(const HandStroke& stroke, int side);

// Where the face changes from one drawing of the hands to the next: every stroke that moved or
// changed colour, where it was and where it is now. Strokes that stayed need no repainting
// unless they lie in that region, where they are painted again anyway.
QRegion HandsChangeRegion(const std::array<HandStroke, kHandStrokeCount>& before,
                          const std::array<HandStroke, kHandStrokeCount>& after, int side);

// Draws the dial marks the same way: face units, pen widths in pixels, a dot as wide as its pen.
void PaintDialMarks(QPainter& painter, int side, const std::array<DialStroke, kDialStrokeCount>& strokes);

} // namespace vx
