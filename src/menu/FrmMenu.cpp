#include "menu/FrmMenu.h"

#include "about/FrmVersion.h"
#include "about/HelpCommand.h"
#include "app/FrmMain.h"
#include "app/Program.h"
#include "base/Platform.h"
#include "face/DialLayer.h"
#include "moon/MoonReport.h"
#include "moon/MoonTable.h"
#include "moon/ShadeMoon.h"
#include "settings/Autostart.h"
#include "settings/Settings.h"
#include "tray/FrmTaskTray.h"

#include <QAction>
#include <QEvent>
#include <QEventLoop>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QMenu>
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

// The configuration folder whose autostart entries the desktop reads; none where the desktop
// keeps no such entries.
std::string AutostartHome(Platform& platform)
{
    return kAutostartEntries ? platform.PerUserFolders().config : std::string();
}

// Lets pending events run for a while: ticks, repaints and other commands go on meanwhile.
void RunEventsFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

FrmMenu::FrmMenu(Program& program) : program_(program)
{
    setWindowFlags(Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Form1"));
    // The program's icon; the about box borrows it.
    // Read as the PNGs they are: QIcon::addFile asks a reader to guess the format, which has every
    // image plugin loaded at the start of the program.
    const auto png = [](const char* name) {
        QImageReader reader(QString::fromLatin1(name), "png");
        reader.setAutoDetectImageFormat(false);
        return QPixmap::fromImage(reader.read());
    };
    QIcon icon;
    icon.addPixmap(png(":/icon/velmorax16.png"));
    icon.addPixmap(png(":/icon/velmorax32.png"));
    // The about box's 32-pixel icon on a screen of two device pixels to each.
    icon.addPixmap(png(":/icon/velmorax64.png"));
    setWindowIcon(icon);
    createMenu();
}

FrmMenu::~FrmMenu()
{
    // The popup has no parent widget (it must open anywhere on the screen), so it goes with the form.
    delete mnuHide;
}

void FrmMenu::createMenu()
{
    auto item = [](QMenu* menu, const char* name, const QString& caption, bool checkable = false) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(checkable);
        return action;
    };
    auto separator = [](QMenu* menu, const char* name) {
        QAction* action = menu->addSeparator();
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    auto submenu = [](QMenu* menu, const char* name, const QString& caption) {
        QMenu* sub = menu->addMenu(caption);
        sub->setObjectName(QString::fromLatin1(name));
        sub->menuAction()->setObjectName(QString::fromLatin1(name));
        return sub;
    };

    mnuHide = new QMenu(QStringLiteral("HIDE"));
    mnuHide->setObjectName(QStringLiteral("mnuHide"));
    mnuHide->menuAction()->setObjectName(QStringLiteral("mnuHide"));

    mnuSizeM = submenu(mnuHide, "mnuSizeM", QStringLiteral("サイズ"));
    const QString sizeCaptions[3] = {QStringLiteral("半分"), QStringLiteral("標準"), QStringLiteral("２倍")};
    for (int i = 0; i < 3; ++i) {
        mnuSize[i] = item(mnuSizeM, "mnuSize", sizeCaptions[i], true);
        mnuSize[i]->setProperty("Index", i);
    }
    mnuMinimize = item(mnuHide, "mnuMinimize", QStringLiteral("最小化"));
    mnuMinimize->setVisible(false);
    mnuUnload = item(mnuHide, "mnuUnload", QStringLiteral("ウィンドウを消す"));
    mnuDummy = separator(mnuHide, "mnuDummy");

    mnuMMitikake = submenu(mnuHide, "mnuMMitikake", QStringLiteral("満ち欠け"));
    mnuNowMoon = item(mnuMMitikake, "mnuNowMoon", QStringLiteral("現在の月を反映"));
    mnuMitikake = item(mnuMMitikake, "mnuMitikake", QStringLiteral("一周する"));
    mnuExpMoonDat = item(mnuHide, "mnuExpMoonDat", QStringLiteral("月の情報を表示"));

    mnuSettei = submenu(mnuHide, "mnuSettei", QStringLiteral("設定"));
    AlwaysOnTop = item(mnuSettei, "AlwaysOnTop", QStringLiteral("常に前面に表示"), true);
    mnuTaskTray = item(mnuSettei, "mnuTaskTray", QStringLiteral("タスクトレイに入れる"), true);
    mnuUseLineMojiban = item(mnuSettei, "mnuUseLineMojiban", QStringLiteral("文字盤を線で描く"), true);
    mnuSetMitikake = item(mnuSettei, "mnuSetMitikake", QStringLiteral("月を満ち欠けさせる"), true);
    mnuNT = item(mnuSettei, "mnuNT", QStringLiteral("NT"), true);
    mnuDlkj = separator(mnuSettei, "mnuDlkj");
    mnuBeClock = item(mnuSettei, "mnuBeClock", QStringLiteral("時計にする  (Wクリック)"), true);
    mnuTuika = separator(mnuSettei, "mnuTuika");
    mnuSouth = item(mnuSettei, "mnuSouth", QStringLiteral("南半球から見る"), true);
    mnuAutostart = item(mnuSettei, "mnuAutostart", QStringLiteral("ログイン時に起動"), true);

    mnuMHelp = submenu(mnuHide, "mnuMHelp", QStringLiteral("ヘルプ"));
    mnuHelp = item(mnuMHelp, "mnuHelp", QStringLiteral("ヘルプファイルを見る"));
    mnuVersion = item(mnuMHelp, "mnuVersion", QStringLiteral("バージョン情報"));

    mnuEnd = item(mnuHide, "mnuEnd", QStringLiteral("終了"));

    // A checkable item flips its own tick before its handler runs; the handlers set the ticks
    // themselves, from the state they find, so undo the automatic flip first.
    for (QAction* action : mnuHide->findChildren<QAction*>()) {
        if (action->isCheckable())
            connect(action, &QAction::triggered, action, [action](bool checked) { action->setChecked(!checked); },
                    Qt::DirectConnection);
    }

    for (int i = 0; i < 3; ++i)
        connect(mnuSize[i], &QAction::triggered, this, [this, i] { mnuSize_Click(i); });
    connect(mnuMinimize, &QAction::triggered, this, &FrmMenu::mnuMinimize_Click);
    connect(mnuUnload, &QAction::triggered, this, &FrmMenu::mnuUnload_Click);
    connect(AlwaysOnTop, &QAction::triggered, this, &FrmMenu::AlwaysOnTop_Click);
    connect(mnuTaskTray, &QAction::triggered, this, &FrmMenu::mnuTaskTray_Click);
    connect(mnuNT, &QAction::triggered, this, &FrmMenu::mnuNT_Click);
    connect(mnuBeClock, &QAction::triggered, this, &FrmMenu::mnuBeClock_Click);
    connect(mnuHelp, &QAction::triggered, this, &FrmMenu::mnuHelp_Click);
    connect(mnuVersion, &QAction::triggered, this, &FrmMenu::mnuVersion_Click);
    connect(mnuEnd, &QAction::triggered, this, &FrmMenu::mnuEnd_Click);
    connect(mnuUseLineMojiban, &QAction::triggered, this, &FrmMenu::mnuUseLineMojiban_Click);
    connect(mnuSetMitikake, &QAction::triggered, this, &FrmMenu::mnuSetMitikake_Click);
    connect(mnuSouth, &QAction::triggered, this, &FrmMenu::mnuSouth_Click);
    connect(mnuAutostart, &QAction::triggered, this, &FrmMenu::mnuAutostart_Click);
    connect(mnuNowMoon, &QAction::triggered, this, &FrmMenu::mnuNowMoon_Click);
    connect(mnuMitikake, &QAction::triggered, this, &FrmMenu::mnuMitikake_Click);
    connect(mnuExpMoonDat, &QAction::triggered, this, &FrmMenu::mnuExpMoonDat_Click);

}

void FrmMenu::mnuHide_Click()
{
    for (int i = 0; i < 3; ++i)
        mnuSize[i]->setChecked(i == program_.NowSize + 1);
    mnuBeClock->setChecked(settings::ReadFace() == Face::Clock);
    // The entry is the setting, and the user may have removed or written it meanwhile.
    const std::string config = AutostartHome(program_.platform());
    mnuAutostart->setEnabled(!config.empty());
    mnuAutostart->setChecked(AutostartEntryExists(config));
}

void FrmMenu::mnuSize_Click(int Index)
{
    Program& p = program_;
    p.NowSize = Index - 1;
    settings::WriteNowSize(p.NowSize);
    // A fresh load builds the new size, shape, place and ticks from the settings file; the window
    // keeps its saved top-left corner.
    p.frmMain.Unload();
    p.frmMain.Load();
}

void FrmMenu::mnuMinimize_Click()
{
    Program& p = program_;
    const QRect place = p.frmMain->geometry();
    p.frmMain.Unload();
    // The main window's unload unloaded this form too: what shows minimized is a fresh one.
    FrmMenu& fresh = *p.frmMenu;
    fresh.setGeometry(place);
    fresh.showMinimized();
}

void FrmMenu::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // After the state change has finished: a restore that also shows the form must not win over the hide.
    if (event->type() == QEvent::WindowStateChange)
        QMetaObject::invokeMethod(this, &FrmMenu::Form_Resize, Qt::QueuedConnection);
}

void FrmMenu::Form_Resize()
{
    // Restored by the user from its minimized state: the clock comes back in its place.
    if (isVisible() && !isMinimized()) {
        hide();
        program_.frmMain->show();
    }
}

void FrmMenu::mnuUnload_Click()
{
    program_.frmMain.Unload();
}

void FrmMenu::mnuEnd_Click()
{
    program_.frmMain.Unload();
    program_.frmTaskTray.Unload();
    program_.frmMenu.Unload();
}

void FrmMenu::AlwaysOnTop_Click()
{
    const bool on = !AlwaysOnTop->isChecked();
    if (FrmMain* main = program_.frmMain.loaded())
        main->SetTopmost(on);
    AlwaysOnTop->setChecked(on);
}

void FrmMenu::mnuTaskTray_Click()
{
    if (mnuTaskTray->isChecked()) {
        mnuTaskTray->setChecked(false);
        program_.UseTaskTray = 0;
        program_.frmTaskTray.Unload();
    } else {
        mnuTaskTray->setChecked(true);
        program_.UseTaskTray = 1;
        program_.frmTaskTray.Load();
    }
}

void FrmMenu::mnuNT_Click()
{
    // Takes effect at the next drawing of the dial; saved when the clock window unloads.
    mnuNT->setChecked(!mnuNT->isChecked());
}

void FrmMenu::mnuBeClock_Click()
{
    mnuBeClock->setChecked(settings::SwitchFace() == Face::Clock);
    program_.frmMain->DrawWatch();
}

void FrmMenu::mnuHelp_Click()
{
    OpenHelp(program_);
}

void FrmMenu::mnuVersion_Click()
{
    Program& p = program_;
    // The first use loads the box, which centres it.
    p.frmVersion->setWindowIcon(windowIcon());
    p.frmVersion->SHOWVERSION("ヴェルモラ", 0);
    // The clock's standard-size dial; the built-in one should the clock window be closed.
    const FrmMain* main = p.frmMain.loaded();
    p.frmVersion->ShowDial(MoonPictureFor(main ? main->picBack[1] : BuiltInDials()[1], p.SkyHemisphere));
}

void FrmMenu::SwitchDialSetting(settings::DialSwitch which, QAction* item)
{
    FrmMain& main = *program_.frmMain;
    const bool on = settings::Switch(which);
    item->setChecked(on);
    // The plain picture wipes the marks or the shading from the dial layer.
    if (!on)
        main.SetPicture(main.CurrentDial());
    main.DrawMojiban();
}

void FrmMenu::mnuUseLineMojiban_Click()
{
    SwitchDialSetting(settings::DialSwitch::UseLineMojiban, mnuUseLineMojiban);
}

void FrmMenu::mnuSetMitikake_Click()
{
    SwitchDialSetting(settings::DialSwitch::Mitikake, mnuSetMitikake);
}

void FrmMenu::mnuSouth_Click()
{
    Program& p = program_;
    p.SkyHemisphere = p.SkyHemisphere == Hemisphere::South ? Hemisphere::North : Hemisphere::South;
    settings::WriteHemisphere(p.SkyHemisphere);
    mnuSouth->setChecked(p.SkyHemisphere == Hemisphere::South);
    // The turned moon replaces the old one on a fresh dial picture; the icon and an open about box
    // follow at once.
    FrmMain& main = *p.frmMain;
    main.SetPicture(main.CurrentDial());
    main.DrawMojiban();
    if (FrmTaskTray* tray = p.frmTaskTray.loaded())
        tray->ShowMoonNow();
    if (FrmVersion* version = p.frmVersion.loaded())
        version->ShowDial(MoonPictureFor(main.picBack[1], p.SkyHemisphere));
}

void FrmMenu::mnuAutostart_Click()
{
    Platform& platform = program_.platform();
    const std::string config = AutostartHome(platform);
    if (config.empty())
        return;
    if (AutostartEntryExists(config)) {
        if (!RemoveAutostartEntry(config))
            platform.MsgBox("自動起動の登録を消せませんでした。\r\n" + AutostartEntryPath(config), {});
    } else if (WriteAutostartEntry(config, platform.ProgramPath()) != FileResult::Done) {
        platform.MsgBox("自動起動の登録を書けませんでした。\r\n" + AutostartEntryPath(config), {});
    }
    // The tick tells what the disk holds, whatever became of the attempt.
    mnuAutostart->setChecked(AutostartEntryExists(config));
}

// ---- The moon commands ----

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

void FrmMenu::Form_Unload()
{
    // An unloaded form's commands can no longer be chosen.
    mnuHide->close();
    settings::WriteTaskTray(program_.UseTaskTray);
}

} // namespace vx
