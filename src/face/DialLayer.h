#pragma once

// The dial layer (Mojiban: the dial) built from what it shows, with no window and no program: the
// plain dial picture, the moon shaded to its phase, and the marks. It keeps nothing of its own.
// The clock window's DrawMojiban builds its layer with it, and so do the renderer and the
// benchmarks.

#include "moon/ShadeMoon.h"

#include <QImage>

#include <array>
#include <optional>

class QColor;
class QRect;

namespace vx {

// What goes into the layer, bottom to top.
struct DialLayerParts {
    // The layer starts from the plain picture alone. Without it only the moon's disc and the marks
    // are drawn over the layer as it is: shading the moon leaves earlier marks where they were.
    bool freshPicture = true;
    // The moon shaded to this lunation fraction; nothing leaves the picture's full moon.
    std::optional<double> moonPhase;
    ShadePath shadePath = ShadePath::Bulk;
    // The 60 minute dots and 12 hour ticks near the rim.
    bool marks = false;
    // On a layer in device pixels, the marks' pens are this many (the device-pixel ratio) times
    // as wide.
    double penScale = 1.0;
    // Seen from the south the moon, shaded or not, is turned half a turn; the rest of the dial stays.
    Hemisphere hemisphere = Hemisphere::North;
};

// The built-in dial pictures for the sides 60, 120 and 240, as 32-bit RGB images: those of the
// window's own pixels (set 1), or drawn for screens of 2 or 3 device pixels to each of them.
const std::array<QImage, 3>& BuiltInDials(int set = 1);

// The built-in dial this picture is, 0 to 2 for the sides 60 to 240, or -1 for any other.
int BuiltInDialIndex(const QImage& picture);

// A dial picture made for a window's logical pixels, at a device-pixel ratio: a built-in dial
// comes from the set drawn nearest the ratio, any other picture (a user's) as it is; either is
// then smooth-scaled to ratio times its logical size when it was drawn for another. At a ratio of
// 1 the picture itself.
QImage DialAtRatio(const QImage& picture, double ratio);

// A layer of side x side pixels holding the picture alone, drawn at its top-left corner over the
// background colour (which shows where the picture is smaller than the layer).
QImage PlainLayer(int side, const QImage& picture, const QColor& background);

// Builds the parts into the layer from the plain picture; with freshPicture the layer becomes a
// side x side layer first. Returns the part of the layer that changed.
QRect BuildDialLayer(QImage& layer, int side, const QImage& picture, const QColor& background,
                     const DialLayerParts& parts);

} // namespace vx
