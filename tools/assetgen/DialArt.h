#pragma once

#include <QImage>

namespace vx::assetgen {

class MoonMap;

// The colour of the corners outside the face; the window's round shape hides them.
inline constexpr QRgb kCornerGrey = 0xFFC6C6C6; // (198, 198, 198)

// Draws the dial picture of side `side` (60, 120 or 240): the seasonal ring with the numerals
// 1 to 12 and the full moon in the middle, whose disc has centre (side/2, side/2) and radius
// side/4 and sits inside a dark and a light rim. Opaque RGB, not yet reduced to a palette.
// With a scale above 1 the same dial comes for screens with that many pixels to each of the
// dial's: side x scale pixels across, with every detail as wide as on the dial of that side.
QImage drawDial(const MoonMap& moon, int side, int scale = 1);

// The dial as it is saved: 8 bits per pixel with a palette made for this picture, the corner
// grey kept exact.
QImage dialPicture(const MoonMap& moon, int side, int scale = 1);

} // namespace vx::assetgen
