#include "moon/ShadeMoon.h"

#include "base/ImagePixels.h"
#include "moon/ShadeKernel.h"

#include <QImage>
#include <QRect>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vx {

namespace {

// 32-bit formats whose words already read 0x??RRGGBB with straight colours.
bool HasPlainWords(const QImage& image)
{
    return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
}

} // namespace

QRect ShadeMoonOnLayer(const QImage& picture, QImage& layer, double phase, ShadePath path)
{
    if (layer.isNull())
        return {};
    const QImage source = HasPlainWords(picture) ? picture : picture.convertToFormat(QImage::Format_RGB32);
    const int wd = layer.width();
    if (path == ShadePath::PointByPoint) {
        // Every pixel of the disc is set on its own, as a point of its colour on the layer.
        // Through a painter each point of a new colour costs a pen and a stroker's setup, a
        // thousand times the pixel itself; the layer's own pixel setter does the same work.
        ShadeMoonPixels(PixelsOf(source), wd, layer.width(), layer.height(), phase,
                        [&layer](int x, int y, std::uint32_t rgb) { layer.setPixel(x, y, 0xFF000000u | rgb); });
    } else {
        // The layer is a 32-bit RGB image: its words are 0xFFRRGGBB, and the kernel keeps the top byte.
        ShadeMoonInto(PixelsOf(source), wd, PixelsOf(layer), phase);
    }
    // Only the moon's disc changes: its rows, and columns no further out than its radius.
    const MoonDisc disc = MoonDiscFor(wd, source.height());
    const int reach = std::max(disc.radius, 0) + 1;
    const QRect discBox(QPoint(static_cast<int>(std::floor(disc.cx)) - reach, disc.y0),
                        QPoint(static_cast<int>(std::ceil(disc.cx)) + reach, disc.y1));
    return discBox & layer.rect();
}

} // namespace vx
