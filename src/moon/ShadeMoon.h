#pragma once

#include "base/Hemisphere.h"

class QImage;
class QRect;

namespace vx {

// How the shaded pixels reach the dial layer: written into its buffer at once, or each set on its
// own as a point of its colour (the "NT" drawing). Both give the same pixels.
enum class ShadePath { Bulk, PointByPoint };

// Shades the moon of the plain dial picture to the lunation fraction and puts it into the dial
// layer, leaving the rest of the layer as it was. The layer is as wide as the window, Wd pixels,
// which places the moon (ShadeKernel.h); only what lies in both pictures is read or written.
// For the southern sky the shaded moon is turned half a turn about the picture's centre.
// Returns the part of the layer that can have changed: the box around the moon's disc.
QRect ShadeMoonOnLayer(const QImage& picture, QImage& layer, double phase, ShadePath path,
                       Hemisphere hemisphere = Hemisphere::North);

// The picture's moon, unshaded, turned for the southern sky into the layer, as the shading turns
// it; the rest of the layer stays. Returns the box around the moon's disc.
QRect TurnMoonOnLayer(const QImage& picture, QImage& layer);

// The picture with its moon turned for the hemisphere: the picture itself for the northern sky.
QImage MoonPictureFor(const QImage& picture, Hemisphere hemisphere);

} // namespace vx
