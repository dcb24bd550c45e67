#pragma once

// Picture files for the dial tests, written the way a user's tools would write them.

#include <QBuffer>
#include <QColor>
#include <QImage>

#include <cstdint>
#include <string>

namespace vx::test {

// A picture with a different colour at every pixel, so that no change can hide.
inline QImage Gradient(int side)
{
    QImage picture(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            picture.setPixel(x, y, qRgb(x * 255 / side, y * 255 / side, (x + y) % 256));
    return picture;
}

inline QImage SolidPicture(int width, int height, const QColor& colour)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

// The file a picture makes in a format Qt writes.
inline std::string Encoded(const QImage& picture, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes.toStdString();
}

// The start of a GIF up to its first picture's pixel data: the sizes, a table of 128 colours with
// the given one at index 1, and a smallest code size of 7 bits.
inline std::string GifHeader(int width, int height, const QColor& colour)
{
    std::string gif = "GIF89a";
    auto word = [&gif](int v) {
        gif += static_cast<char>(v & 0xFF);
        gif += static_cast<char>(v >> 8 & 0xFF);
    };
    word(width);
    word(height);
    gif += static_cast<char>(0xF6); // a global table of 128 colours
    gif += '\0';
    gif += '\0';
    for (int i = 0; i < 128; ++i) {
        const QColor c = i == 1 ? colour : QColor(Qt::black);
        gif += static_cast<char>(c.red());
        gif += static_cast<char>(c.green());
        gif += static_cast<char>(c.blue());
    }
    gif += ',';
    word(0);
    word(0);
    word(width);
    word(height);
    gif += '\0';
    gif += static_cast<char>(7);
    return gif;
}

// A GIF of one colour. Qt reads GIF but does not write it, so the file is put together here: LZW
// codes of 8 bits that never widen because the table is cleared every 100 pixels.
inline std::string SolidGif(int width, int height, const QColor& colour)
{
    std::string gif = GifHeader(width, height, colour);
    constexpr char kClear = static_cast<char>(128);
    constexpr char kEnd = static_cast<char>(129);
    std::string codes;
    const long long pixels = static_cast<long long>(width) * height;
    for (long long i = 0; i < pixels; ++i) {
        if (i % 100 == 0)
            codes += kClear;
        codes += '\1';
    }
    codes += kEnd;
    for (std::size_t at = 0; at < codes.size(); at += 255) {
        const std::string block = codes.substr(at, 255);
        gif += static_cast<char>(block.size());
        gif += block;
    }
    gif += '\0';
    gif += ';';
    return gif;
}

// The start of a 24-bit BMP that declares the given size; no pixels follow.
inline std::string BmpHeaderOnly(int width, int height)
{
    std::string bmp;
    auto put = [&bmp](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            bmp += static_cast<char>(v >> (8 * i) & 0xFF);
    };
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    bmp += "BM";
    put(54 + rowBytes * static_cast<std::uint32_t>(height), 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(static_cast<std::uint32_t>(width), 4);
    put(static_cast<std::uint32_t>(height), 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(rowBytes * static_cast<std::uint32_t>(height), 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    return bmp;
}

} // namespace vx::test
