#include "tray/TrayLogic.h"

#include <cmath>

namespace vx {

int MoonIconIndex(double phase)
{
    // The default rounding mode rounds halves to even: 0.03125 gives 0, 0.09375 gives 2.
    const double nearest = std::nearbyint(phase * (kMoonIconCount - 1));
    // Comparisons written so that a NaN lands on the first picture too.
    if (!(nearest > 0))
        return 0;
    if (nearest > kMoonIconCount - 1)
        return kMoonIconCount - 1;
    return static_cast<int>(nearest);
}

TrayAction TrayActionFor(int message)
{
    switch (message) {
    case traymsg::kLeftUp: return TrayAction::FocusClock;
    case traymsg::kLeftDoubleClick: return TrayAction::ShowClock;
    case traymsg::kSelect: return TrayAction::ShowClock;
    case traymsg::kRightDown: return TrayAction::OpenMenu;
    default: return TrayAction::None;
    }
}

} // namespace vx
