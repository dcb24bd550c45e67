#pragma once

#include <cstddef>
#include <cstdint>

namespace vx {

// A 32-bit picture in memory, as the hand rasterizer and the moon's shading work on it: words
// 0x??RRGGBB (blue in the low byte), rows from the top down, stride words from one row to the next.
// The top byte of each word is not part of the colour.
struct Pixels {
    std::uint32_t* data = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
};

// The same, to read only.
struct ConstPixels {
    const std::uint32_t* data = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
};

} // namespace vx
