#include "face/DialLayer.h"

#include "base/WindowShape.h"
#include "face/DialMarks.h"
#include "face/FacePainter.h"

#include <QColor>
#include <QPainter>
#include <QRect>
#include <QString>

namespace vx {

const std::array<QImage, 3>& BuiltInDials()
{
    static const std::array<QImage, 3> dials = [] {
        constexpr const char* kResources[] = {":/dial/dial60.bmp", ":/dial/dial120.bmp", ":/dial/dial240.bmp"};
        std::array<QImage, 3> built;
        for (int i = 0; i < 3; ++i)
            built[i] = QImage(QString::fromLatin1(kResources[i])).convertToFormat(QImage::Format_RGB32);
        return built;
    }();
    return dials;
}

QImage PlainLayer(int side, const QImage& picture, const QColor& background)
{
    QImage layer(side, side, QImage::Format_RGB32);
    layer.fill(background);
    QPainter painter(&layer);
    painter.drawImage(0, 0, picture);
    painter.end();
    return layer;
}

QRect BuildDialLayer(QImage& layer, int side, const QImage& picture, const QColor& background,
                     const DialLayerParts& parts)
{
    QRect changed;
    if (parts.freshPicture) {
        layer = PlainLayer(side, picture, background);
        changed = layer.rect();
    }
    if (parts.moonPhase)
        changed |= ShadeMoonOnLayer(picture, layer, *parts.moonPhase, parts.shadePath, parts.hemisphere);
    else if (parts.hemisphere == Hemisphere::South)
        changed |= TurnMoonOnLayer(picture, layer);
    if (parts.marks && !layer.isNull()) {
        // In face units mapped to the layer's pixels by the marks' own painter, so the shading's
        // pixel work never meets them.
        QPainter painter(&layer);
        PaintDialMarks(painter, layer.width(), DialMarks());
        changed = layer.rect();
    }
    return changed;
}

} // namespace vx
