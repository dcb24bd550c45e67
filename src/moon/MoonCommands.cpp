// The popup's moon commands, handlers of the menu form.

#include "app/FrmMain.h"
#include "app/Program.h"
#include "base/Platform.h"
#include "menu/FrmMenu.h"
#include "moon/MoonReport.h"
#include "moon/MoonTable.h"

#include <QAction>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

namespace vx {

namespace {

// The perPixel input of the shading: the "NT" tick.
int PerPixel(const Program& program)
{
    const FrmMenu* menu = program.frmMenu.loaded();
    return menu && menu->mnuNT->isChecked() ? 1 : 0;
}

// Lets pending events run for a while: ticks, repaints and other commands go on meanwhile.
void RunEventsFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

void FrmMenu::mnuNowMoon_Click()
{
    FrmMain& main = *program_.frmMain;
    const double phase = GetMoonPhase(program_.platform().Now());
    ShadeMoon(main.CurrentDial(), main, phase, PerPixel(program_));
}

void FrmMenu::mnuMitikake_Click()
{
    // Other commands run between the frames and may unload this form and the clock window (a size
    // change, closing, the end): from here on only the program and a guarded window are touched.
    Program& program = program_;
    const QPointer<FrmMain> main = program.frmMain.loaded();
    for (int i = 0; i <= 30; ++i) {
        if (!main || program.frmMain.loaded() != main)
            return;
        ShadeMoon(main->CurrentDial(), *main, i / 30.0, PerPixel(program));
        main->Refresh();
        // Paced so the eye sees the moon go round: 31 frames in about a second and a half.
        RunEventsFor(program.LunationFrameMilliseconds);
    }
}

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
