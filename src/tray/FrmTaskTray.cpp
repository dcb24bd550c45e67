#include "tray/FrmTaskTray.h"

#include "app/FrmMain.h"
#include "app/Program.h"
#include "base/Platform.h"
#include "base/TickInterval.h"
#include "moon/MoonTable.h"
#include "tray/TrayIcon.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QPixmap>
#include <QTransform>
#include <QTimer>

#include <algorithm>

namespace vx {

FrmTaskTray::FrmTaskTray(Program& program) : program_(program), platform_(program.platform())
{
    for (int i = 0; i < kMoonIconCount; ++i) {
        const QString name = QStringLiteral("moon%1.png").arg(i, 2, 10, QLatin1Char('0'));
        for (int size : {16, 32, 64}) {
            const QString file = QStringLiteral(":/moon/%1/").arg(size) + name;
            Image1[i].addFile(file, QSize(size, size));
            // A half turn, never a mirror: the lit side and the moon's markings both go round.
            Image1South[i].addPixmap(QPixmap::fromImage(QImage(file).transformed(QTransform().rotate(180))));
        }
    }

    createMenu();

    // The first tick comes 10 ms after the load; each tick sets the next.
    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &FrmTaskTray::Timer1_Timer);
    Timer1->start(10);
}

FrmTaskTray::~FrmTaskTray()
{
    // The menu has no parent widget (it opens anywhere on the screen), so it goes with the form.
    delete mnuHide;
}

void FrmTaskTray::createMenu()
{
    mnuHide = new QMenu(QStringLiteral("Hide"));
    mnuHide->setObjectName(QStringLiteral("mnuHide"));
    mnuShowfrmMain = mnuHide->addAction(QStringLiteral("ヴェルモラを表示"));
    mnuShowfrmMain->setObjectName(QStringLiteral("mnuShowfrmMain"));
    mnuD = mnuHide->addSeparator();
    mnuD->setObjectName(QStringLiteral("mnuD"));
    mnuEnd = mnuHide->addAction(QStringLiteral("終了"));
    mnuEnd->setObjectName(QStringLiteral("mnuEnd"));
    // The default item shows in bold.
    mnuHide->setDefaultAction(mnuShowfrmMain);

    connect(mnuShowfrmMain, &QAction::triggered, this, &FrmTaskTray::mnuShowfrmMain_Click);
    connect(mnuEnd, &QAction::triggered, this, &FrmTaskTray::mnuEnd_Click);
}

int FrmTaskTray::MoonIndexNow()
{
    return MoonIconIndex(GetMoonPhase(platform_.Now()));
}

const QIcon& FrmTaskTray::MoonPicture(int Number) const
{
    const int n = std::clamp(Number, 0, kMoonIconCount - 1);
    return program_.SkyHemisphere == Hemisphere::South ? Image1South[n] : Image1[n];
}

void FrmTaskTray::Form_Load()
{
    setWindowIcon(MoonPicture(MoonIndexNow()));
    AddTrayIcon(QString(), *this);
}

void FrmTaskTray::Form_Unload()
{
    Timer1->stop();
    mnuHide->close();
    DeleteTrayIcon(*this);
}

void FrmTaskTray::SetTray(int Number)
{
    setWindowIcon(MoonPicture(Number));
    ModifyTrayIcon(QString(), *this);
}

void FrmTaskTray::ShowMoonNow()
{
    LastIconIndex = MoonIndexNow();
    SetTray(LastIconIndex);
}

void FrmTaskTray::Timer1_Timer()
{
    // 10 ms after the next whole minute of the clock, as the year face ticks.
    Timer1->start(YearTickInterval(platform_.Timer()));

    const int index = MoonIndexNow();
    if (index != LastIconIndex)
        SetTray(index);
    LastIconIndex = index;
}

void FrmTaskTray::Form_MouseMove(int message)
{
    switch (TrayActionFor(message)) {
    case TrayAction::FocusClock:
        if (FrmMain* main = program_.frmMain.loaded(); main && program_.MainShown == 1) {
            main->raise();
            main->activateWindow();
            main->setFocus();
        }
        break;
    case TrayAction::ShowClock:
        mnuShowfrmMain_Click();
        break;
    case TrayAction::OpenMenu:
        mnuHide->popup(QCursor::pos());
        break;
    case TrayAction::None:
        break;
    }
}

bool FrmTaskTray::event(QEvent* event)
{
    if (event->type() == TrayCallbackEvent::eventType()) {
        Form_MouseMove(static_cast<TrayCallbackEvent*>(event)->message());
        return true;
    }
    return QWidget::event(event);
}

void FrmTaskTray::mnuShowfrmMain_Click()
{
    // A closed clock window is loaded afresh by the first reference, which runs its whole load.
    FrmMain& main = *program_.frmMain;
    main.DrawMojiban();
    main.show();
    main.raise();
    main.activateWindow();
}

void FrmTaskTray::mnuEnd_Click()
{
    program_.frmMain.Unload();
    program_.frmMenu.Unload();
    program_.frmTaskTray.Unload();
}

} // namespace vx
