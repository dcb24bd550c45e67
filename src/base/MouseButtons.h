#pragma once

#include <Qt>

namespace vx {

// Mouse buttons as the forms' handlers number them.
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int kMiddleButton = 4;

// The handlers' number of a Qt button; 0 for a button they do not know.
inline int ButtonNumber(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return kLeftButton;
    case Qt::RightButton: return kRightButton;
    case Qt::MiddleButton: return kMiddleButton;
    default: return 0;
    }
}

} // namespace vx
