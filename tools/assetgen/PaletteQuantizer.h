#pragma once

#include <QImage>
#include <QList>

namespace vx::assetgen {

// Reduces an opaque picture to an indexed one (Format_Indexed8) whose palette is made from
// the picture's own pixels, without dithering. The `fixed` colours open the palette, kept
// exactly as given and reserved for the pixels of exactly that colour (so the corner grey
// marks the corners alone, and a near-grey moon pixel never turns into it); the remaining
// entries, up to maxColours in all, come from a median cut of the picture's colours refined
// by k-means. A picture with few enough colours is reproduced exactly.
QImage quantizeOpaque(const QImage& picture, int maxColours, const QList<QRgb>& fixed = {});

// The same for a picture with a cut-out: pixels at least half opaque keep their colour and
// become opaque, the others become palette entry 0, fully transparent. maxColours counts
// that transparent entry.
QImage quantizeMasked(const QImage& picture, int maxColours);

} // namespace vx::assetgen
