#include "face/DialLayer.h"

#include "base/WindowShape.h"
#include "face/DeviceScale.h"
#include "face/DialMarks.h"
#include "face/FacePainter.h"

#include <QColor>
#include <QImageReader>
#include <QPainter>
#include <QRect>
#include <QString>

namespace vx {

namespace {

std::array<QImage, 3> LoadDialSet(int set)
{
    constexpr int kSides[] = {60, 120, 240};
    std::array<QImage, 3> built;
    for (int i = 0; i < 3; ++i) {
        const QString name = set == 1 ? QStringLiteral(":/dial/dial%1.bmp").arg(kSides[i])
                                      : QStringLiteral(":/dial/dial%1@%2x.png").arg(kSides[i]).arg(set);
        // Read by the format it is known to have: a reader left to guess has every image plugin
        // loaded to ask about the file, milliseconds of the start for pictures Qt reads itself.
        QImageReader reader(name, set == 1 ? "bmp" : "png");
        reader.setAutoDetectImageFormat(false);
        built[i] = reader.read().convertToFormat(QImage::Format_RGB32);
        // Its pixels are the layer's pixels, whatever the file's name says.
        built[i].setDevicePixelRatio(1);
    }
    return built;
}

} // namespace

const std::array<QImage, 3>& BuiltInDials(int set)
{
    // Each set is read when it is first needed: on most screens only the first ever is.
    static const std::array<QImage, 3> ones = LoadDialSet(1);
    if (set == 2) {
        static const std::array<QImage, 3> twos = LoadDialSet(2);
        return twos;
    }
    if (set == 3) {
        static const std::array<QImage, 3> threes = LoadDialSet(3);
        return threes;
    }
    return ones;
}

int BuiltInDialIndex(const QImage& picture)
{
    // A copy of a built-in dial shares its pixels, and with them its key.
    const std::array<QImage, 3>& dials = BuiltInDials();
    for (int i = 0; i < 3; ++i)
        if (!picture.isNull() && picture.cacheKey() == dials[i].cacheKey())
            return i;
    return -1;
}

QImage DialAtRatio(const QImage& picture, double ratio)
{
    if (ratio == 1.0 || picture.isNull())
        return picture;
    const QSize wanted(DeviceSide(picture.width(), ratio), DeviceSide(picture.height(), ratio));
    QImage drawn = picture;
    if (const int index = BuiltInDialIndex(picture); index >= 0) {
        const QImage& set = BuiltInDials(NearestDialSet(ratio))[index];
        if (!set.isNull())
            drawn = set;
    }
    if (drawn.size() == wanted)
        return drawn;
    return drawn.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
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
        PaintDialMarks(painter, layer.width(), DialMarks(), parts.penScale);
        changed = layer.rect();
    }
    return changed;
}

} // namespace vx
