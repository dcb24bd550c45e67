#include "ContactSheet.h"

#include <QPainter>

#include <algorithm>

namespace vx::assetgen {

namespace {
constexpr int kMargin = 16;
constexpr int kGap = 12;
constexpr int kChecker = 8;
} // namespace

QImage contactSheet(const QList<SheetRow>& rows)
{
    int width = 0;
    int height = kMargin;
    for (const SheetRow& row : rows) {
        int w = kMargin;
        int h = 0;
        for (const QImage& img : row.pictures) {
            w += img.width() * row.scale + kGap;
            h = std::max(h, img.height() * row.scale);
        }
        width = std::max(width, w - kGap + kMargin);
        height += h + kMargin;
    }

    QImage sheet(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            // Mid-dark squares, so both the black new moons and the white lit parts show.
            sheet.setPixel(x, y, ((x / kChecker + y / kChecker) % 2) ? qRgb(118, 122, 134) : qRgb(84, 88, 100));

    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    int top = kMargin;
    for (const SheetRow& row : rows) {
        int left = kMargin;
        int h = 0;
        for (const QImage& img : row.pictures) {
            const QImage big = img.convertToFormat(QImage::Format_ARGB32)
                                   .scaled(img.size() * row.scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            p.drawImage(left, top, big);
            left += big.width() + kGap;
            h = std::max(h, big.height());
        }
        top += h + kMargin;
    }
    return sheet;
}

} // namespace vx::assetgen
