#pragma once

// The hands drawn straight into a 32-bit picture, antialiased, without a painter: on every tick
// this is most of what the clock does, and a general path stroker costs several times more for
// these few round-ended bands and rings.

#include "base/Pixels.h"
#include "face/Hands.h"

#include <array>

namespace vx {

// Columns left to right - 1 and rows top to bottom - 1.
struct PixelBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Draws the strokes in order over the picture, on a face of the given side, touching only pixels
// inside the box: a line is a band as wide as its pen with round ends, a circle a ring as wide as
// its pen, and a filled circle is filled with its fill colour before its ring is drawn. Each pixel
// takes a stroke's colour in proportion to how far the stroke covers it, judged from the distance
// of the pixel's centre to the stroke's middle line. On a face drawn in device pixels, side is
// its side in device pixels and every pen is penScale (the device-pixel ratio) times as wide.
void DrawHandStrokes(const Pixels& target, const PixelBox& clip, int side,
                     const std::array<HandStroke, kHandStrokeCount>& strokes, double penScale = 1.0);

} // namespace vx
