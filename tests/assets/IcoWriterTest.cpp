#include "IcoWriter.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

using vx::assetgen::icoFile;

namespace {

// An indexed picture with a transparent entry 0 outside a square and a few colours inside.
QImage indexedPicture(int side)
{
    QImage img(side, side, QImage::Format_Indexed8);
    img.setColorTable({qRgba(0, 0, 0, 0), qRgb(0, 0, 0), qRgb(128, 128, 0), qRgb(200, 200, 200), qRgb(255, 255, 255)});
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const bool inside = x >= 2 && y >= 2 && x < side - 2 && y < side - 2;
            img.setPixel(x, y, inside ? uint(1 + (x + 2 * y) % 4) : 0u);
        }
    return img;
}

TEST(IcoWriter, QtsIconReaderGetsBackEveryEntryPixelForPixel)
{
    const QList<QImage> pictures{indexedPicture(16), indexedPicture(32)};
    QByteArray bytes = icoFile(pictures);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    ASSERT_EQ(reader.imageCount(), 2);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage back = reader.read().convertToFormat(QImage::Format_ARGB32);
        const QImage want = pictures[i].convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(back.size(), want.size());
        for (int y = 0; y < want.height(); ++y)
            for (int x = 0; x < want.width(); ++x) {
                if (qAlpha(want.pixel(x, y)) == 0)
                    EXPECT_EQ(qAlpha(back.pixel(x, y)), 0) << i << " at " << x << "," << y;
                else
                    EXPECT_EQ(back.pixel(x, y), want.pixel(x, y)) << i << " at " << x << "," << y;
            }
    }
}

TEST(IcoWriter, RefusesAPictureOfMoreThanSixteenColours)
{
    QImage img(16, 16, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 17; ++i)
        table.push_back(qRgb(i * 15, 0, 0));
    img.setColorTable(table);
    img.fill(0);
    EXPECT_THROW(icoFile({img}), std::invalid_argument);
}

} // namespace
