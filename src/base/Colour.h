#pragma once

#include <cstdint>

namespace vx {

// A colour as the settings store it: red in the lowest byte, then green, then blue (0x00BBGGRR).
using Colour = std::uint32_t;

constexpr Colour RGB(int r, int g, int b)
{
    return static_cast<Colour>(r & 0xFF) | static_cast<Colour>(g & 0xFF) << 8 | static_cast<Colour>(b & 0xFF) << 16;
}
constexpr int RedOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Colour c) { return static_cast<int>(c >> 8 & 0xFF); }
constexpr int BlueOf(Colour c) { return static_cast<int>(c >> 16 & 0xFF); }

constexpr Colour kBlack = RGB(0, 0, 0);

} // namespace vx
