#pragma once

#include <QImage>

namespace vx::assetgen {

class MoonMap;

inline constexpr int kMoonIconCount = 17;

// Icon n (0 to 16) of the moon's phase: the moon n/16 of the way through a lunation, seen from
// the northern hemisphere. 0 and 16 are an all-black disc, 1 to 7 a lit part growing from the
// right-hand edge, 8 the full disc, 9 to 15 a lit part shrinking towards the left-hand edge.
// `size` x `size` pixels, indexed with at most 16 colours; entry 0 is transparent and covers
// everything outside the disc. At 16 pixels the lit part uses grey, light grey and white only.
QImage moonIcon(const MoonMap& moon, int n, int size);

} // namespace vx::assetgen
