#include "face/UserPicture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <cstdint>
#include <optional>

namespace vx {

namespace {

// A user's picture for size N is "useimage" N with the first of these that exists.
constexpr const char* kUserPictureExtensions[] = {".bmp", ".jpg", ".gif"};

// The width a BMP file's header declares. Qt's reader refuses to say for pictures of more than
// 16384 x 16384 pixels, yet such a picture is still of the wrong size rather than no picture.
std::optional<int> BmpDeclaredWidth(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.read(26);
    if (head.size() < 26 || !head.startsWith("BM"))
        return std::nullopt;
    auto byte = [&head](int i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(head[i])); };
    const std::uint32_t headerSize = byte(14) | byte(15) << 8 | byte(16) << 16 | byte(17) << 24;
    // The old 12-byte header keeps the width in 16 bits, the later ones in 32.
    std::int32_t width = 0;
    if (headerSize == 12)
        width = static_cast<std::int32_t>(byte(18) | byte(19) << 8);
    else if (headerSize >= 40)
        width = static_cast<std::int32_t>(byte(18) | byte(19) << 8 | byte(20) << 16 | byte(21) << 24);
    // A width that no picture has marks a broken file, not a picture of the wrong size.
    return width > 0 ? std::optional<int>(width) : std::nullopt;
}

// A black picture for the reader to decode into. Qt's BMP reader leaves the rows a file cut short
// does not hold as it finds the memory, which in a running program shows whatever lay there
// before; a picture it is handed of the right size and format it fills in place. Within the
// reader's own limit on what a picture may take, as it keeps that limit only for pictures of its
// own making.
QImage BlankPictureFor(QImageReader& reader, const QSize& size)
{
    const QImage::Format format = reader.imageFormat();
    if (format == QImage::Format_Invalid)
        return {};
    const qint64 bytes = qint64(size.width()) * size.height() * QImage::toPixelFormat(format).bitsPerPixel() / 8;
    const qint64 limit = qint64(QImageReader::allocationLimit()) << 20;
    if (limit > 0 && bytes > limit)
        return {};
    QImage blank(size, format);
    if (!blank.isNull())
        blank.fill(0);
    return blank;
}

// The kinds of picture a dial may be, as the content tells them. Other readers Qt has at hand
// (PNG, TIFF, WebP, ...) are never offered the file: some trust the length a broken file declares
// for a part of it and reserve gigabytes for a file of a hundred bytes.
bool IsDialPictureFormat(const QByteArray& format)
{
    return format == "bmp" || format == "jpeg" || format == "jpg" || format == "gif";
}

} // namespace

PictureLoad LoadPictureOfWidth(const QString& path, int width, QImage& picture)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    const QSize declared = IsDialPictureFormat(reader.format()) ? reader.size() : QSize();
    if (!declared.isValid()) {
        const std::optional<int> bmpWidth = BmpDeclaredWidth(path);
        return bmpWidth && *bmpWidth != width ? PictureLoad::WrongWidth : PictureLoad::Unreadable;
    }
    if (declared.width() != width)
        return PictureLoad::WrongWidth;
    picture = BlankPictureFor(reader, declared);
    if (!reader.read(&picture) || picture.isNull()) {
        picture = QImage();
        return PictureLoad::Unreadable;
    }
    return picture.width() == width ? PictureLoad::Loaded : PictureLoad::WrongWidth;
}

QImage Opaque(const QImage& picture, const QColor& background)
{
    if (picture.format() == QImage::Format_RGB32)
        return picture;
    if (!picture.hasAlphaChannel())
        return picture.convertToFormat(QImage::Format_RGB32);
    QImage opaque(picture.size(), QImage::Format_RGB32);
    opaque.fill(background);
    QPainter painter(&opaque);
    painter.drawImage(0, 0, picture);
    return opaque;
}

UserPicture FindUserPicture(const std::string& appDir, int n, int side, const QColor& background, QImage& picLoad)
{
    UserPicture found;
    const std::string stem = "useimage" + std::to_string(n);
    for (const char* extension : kUserPictureExtensions) {
        // A folder of that name is no picture file.
        if (QFileInfo(QString::fromStdString(appDir + stem + extension)).isFile()) {
            found.name = stem + extension;
            break;
        }
    }
    if (found.name.empty())
        return found;

    switch (LoadPictureOfWidth(QString::fromStdString(appDir + found.name), side, picLoad)) {
    case PictureLoad::Loaded:
        found.picture = Opaque(picLoad, background);
        break;
    case PictureLoad::WrongWidth:
        found.message = stem + " の大きさは " + std::to_string(side) + " ドット（ピクセル）四方にしてください。";
        break;
    case PictureLoad::Unreadable:
        found.message = found.name + " を画像として読み込めませんでした。BMP、JPEG、GIF のいずれかの画像にしてください。";
        break;
    }
    picLoad = QImage();
    return found;
}

} // namespace vx
