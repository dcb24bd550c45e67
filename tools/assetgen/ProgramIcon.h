#pragma once

#include <QImage>

namespace vx::assetgen {

class MoonMap;

// The program's icon: a grey, mottled moon disc with a black rim and two olive clock hands
// meeting at a centre cap. Full colour with soft edges (ARGB32), for the launcher's large icon.
QImage drawProgramIcon(const MoonMap& moon, int size);

// The sizes the desktop's icon theme gets, each drawn by drawProgramIcon.
inline constexpr int kThemeIconSizes[] = {16, 32, 48, 64, 128, 256};

// The same at a small size in 16 colours, with a transparent entry outside the disc.
QImage programIcon16Colours(const MoonMap& moon, int size);

} // namespace vx::assetgen
