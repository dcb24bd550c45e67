#pragma once

#include "face/DialMarks.h"
#include "face/Hands.h"

#include <array>

class QPainter;

namespace vx {

// Draws the hands in face units on a square surface of the given side in pixels.
// Pen widths stay in pixels whatever the side.
void PaintHands(QPainter& painter, int side, const std::array<HandStroke, kHandStrokeCount>& strokes);

// Draws the dial marks the same way: face units, pen widths in pixels, a dot as wide as its pen.
void PaintDialMarks(QPainter& painter, int side, const std::array<DialStroke, kDialStrokeCount>& strokes);

} // namespace vx
