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

// Only the moon's disc changes: its rows, and columns no further out than its radius; turned, also
// the place the disc turns to, which lies a column over (and on a picture of odd height a row).
QRect DiscBox(int wd, int h, const QImage& layer, Hemisphere hemisphere)
{
    const MoonDisc disc = MoonDiscFor(wd, h);
    const int reach = std::max(disc.radius, 0) + 1;
    QRect box(QPoint(static_cast<int>(std::floor(disc.cx)) - reach, disc.y0),
              QPoint(static_cast<int>(std::ceil(disc.cx)) + reach, disc.y1));
    if (hemisphere == Hemisphere::South)
        box |= QRect(QPoint(wd - 1 - box.right(), h - 1 - box.bottom()), QPoint(wd - 1 - box.left(), h - 1 - box.top()));
    return box & layer.rect();
}

} // namespace

QRect ShadeMoonOnLayer(const QImage& picture, QImage& layer, double phase, ShadePath path, Hemisphere hemisphere)
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
                        [&layer](int x, int y, std::uint32_t rgb) { layer.setPixel(x, y, 0xFF000000u | rgb); },
                        hemisphere);
    } else {
        // The layer is a 32-bit RGB image: its words are 0xFFRRGGBB, and the kernel keeps the top byte.
        ShadeMoonInto(PixelsOf(source), wd, PixelsOf(layer), phase, hemisphere);
    }
    return DiscBox(wd, source.height(), layer, hemisphere);
}

QRect TurnMoonOnLayer(const QImage& picture, QImage& layer)
{
    if (layer.isNull())
        return {};
    const QImage source = HasPlainWords(picture) ? picture : picture.convertToFormat(QImage::Format_RGB32);
    const int wd = layer.width();
    TurnMoonInto(PixelsOf(source), wd, PixelsOf(layer));
    return DiscBox(wd, source.height(), layer, Hemisphere::South);
}

QImage MoonPictureFor(const QImage& picture, Hemisphere hemisphere)
{
    if (hemisphere == Hemisphere::North || picture.isNull())
        return picture;
    QImage turned = picture.convertToFormat(QImage::Format_RGB32);
    TurnMoonOnLayer(picture, turned);
    return turned;
}

} // namespace vx
