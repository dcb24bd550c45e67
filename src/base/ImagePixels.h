#pragma once

// The pixel buffer of a 32-bit QImage, for the code that works on plain buffers.

#include "base/Pixels.h"

#include <QImage>

#include <cstdint>

namespace vx {

// Only for 32-bit formats (Format_RGB32, Format_ARGB32), whose words read 0x??RRGGBB.
inline Pixels PixelsOf(QImage& image)
{
    return {reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(),
            static_cast<std::ptrdiff_t>(image.bytesPerLine() / sizeof(std::uint32_t))};
}

inline ConstPixels PixelsOf(const QImage& image)
{
    return {reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(), image.height(),
            static_cast<std::ptrdiff_t>(image.bytesPerLine() / sizeof(std::uint32_t))};
}

} // namespace vx
