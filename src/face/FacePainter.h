#pragma once

#include "face/Hands.h"

#include <array>

class QPainter;

namespace vx {

// Draws the hands in face units on a square surface of the given side in pixels.
// Pen widths stay in pixels whatever the side.
void PaintHands(QPainter& painter, int side, const std::array<HandStroke, kHandStrokeCount>& strokes);

} // namespace vx
