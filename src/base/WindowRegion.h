#pragma once

#include <QRegion>

namespace vx {

// The round window's region for a window of width x height pixels, as the platform's elliptic
// region gives it (WindowShape.h): the disc inscribed in the window.
QRegion WindowDisc(int width, int height);

} // namespace vx
