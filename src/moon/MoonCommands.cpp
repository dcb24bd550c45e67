// The popup's moon commands, handlers of the menu form.

#include "app/Platform.h"
#include "app/Program.h"
#include "menu/FrmMenu.h"
#include "moon/MoonReport.h"
#include "moon/MoonTable.h"

namespace vx {

void FrmMenu::mnuExpMoonDat_Click()
{
    Platform& platform = program_.platform();
    // Look up first, then judge the range, so the report never rests on an older lookup.
    const double phase = GetMoonPhase(platform.Now());
    const DateValue last = LastNewMoon();
    const DateValue next = NextNewMoon();
    if (last == 0 || next == 0 || last == next) {
        platform.MsgBox(kMoonOutOfRangeMessage, {});
        return;
    }
    const double ratio = GetBrightRatio(GetMoonPhase(platform.Now()));
    platform.MsgBox(MoonReportText(last, next, phase, ratio), {});
}

} // namespace vx
