#include "IcoWriter.h"

#include <QDataStream>
#include <QIODevice>

#include <stdexcept>

namespace vx::assetgen {

namespace {

QByteArray dibEntry(const QImage& img)
{
    if (img.format() != QImage::Format_Indexed8 || img.colorCount() > 16)
        throw std::invalid_argument("an icon entry needs an indexed picture of at most 16 colours");
    const int w = img.width();
    const int h = img.height();
    const int xorStride = ((w * 4 + 31) / 32) * 4;
    const int andStride = ((w + 31) / 32) * 4;

    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    // BITMAPINFOHEADER; the height counts the colour rows and the mask rows.
    s << quint32(40) << qint32(w) << qint32(2 * h) << quint16(1) << quint16(4) << quint32(0)
      << quint32((xorStride + andStride) * h) << qint32(0) << qint32(0) << quint32(16) << quint32(0);
    for (int i = 0; i < 16; ++i) {
        const QRgb c = i < img.colorCount() ? img.color(i) : 0;
        // Transparent pixels are black in the colour part, so the mask alone decides.
        const bool clear = qAlpha(c) == 0;
        s << quint8(clear ? 0 : qBlue(c)) << quint8(clear ? 0 : qGreen(c)) << quint8(clear ? 0 : qRed(c)) << quint8(0);
    }
    const auto transparent = [&](int x, int y) { return qAlpha(img.color(img.pixelIndex(x, y))) == 0; };
    for (int y = h - 1; y >= 0; --y) { // bottom-up rows
        QByteArray row(xorStride, '\0');
        for (int x = 0; x < w; ++x) {
            const int index = transparent(x, y) ? 0 : img.pixelIndex(x, y);
            row[x / 2] = char(row[x / 2] | (x % 2 == 0 ? index << 4 : index));
        }
        s.writeRawData(row.constData(), row.size());
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(andStride, '\0');
        for (int x = 0; x < w; ++x)
            if (transparent(x, y))
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        s.writeRawData(row.constData(), row.size());
    }
    return out;
}

} // namespace

QByteArray icoFile(const QList<QImage>& pictures)
{
    QList<QByteArray> entries;
    for (const QImage& img : pictures)
        entries.push_back(dibEntry(img));

    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s << quint16(0) << quint16(1) << quint16(pictures.size());
    quint32 offset = 6 + 16 * quint32(pictures.size());
    for (int i = 0; i < pictures.size(); ++i) {
        const QImage& img = pictures[i];
        s << quint8(img.width() >= 256 ? 0 : img.width()) << quint8(img.height() >= 256 ? 0 : img.height())
          << quint8(16) << quint8(0) << quint16(1) << quint16(4) << quint32(entries[i].size()) << offset;
        offset += quint32(entries[i].size());
    }
    for (const QByteArray& e : entries)
        s.writeRawData(e.constData(), e.size());
    return out;
}

} // namespace vx::assetgen
