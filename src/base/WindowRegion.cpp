#include "base/WindowRegion.h"

#include "base/WindowShape.h"

#include <QRect>

namespace vx {

QRegion WindowDisc(int width, int height)
{
    // The elliptic region's box leaves out its right and bottom edges.
    const RegionBox box = EllipticRegionBox(width, height);
    QRegion disc;
    for (const DiscSpan& span : DiscSpans(box.right - box.left - 1, box.bottom - box.top - 1))
        disc += QRect(box.left + span.first, box.top + span.y, span.last - span.first + 1, 1);
    return disc;
}

} // namespace vx
