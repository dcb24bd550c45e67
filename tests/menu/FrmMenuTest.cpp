#include "menu/FrmMenu.h"

#include "about/FrmVersion.h"
#include "moon/ShadeMoon.h"
#include "support/ProgramFixture.h"
#include "tray/FrmTaskTray.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vx {
namespace {

class MenuTest : public test::ProgramFixture {
protected:
    FrmMenu& Menu() { return *program->frmMenu; }
    std::vector<bool> SizeTicks()
    {
        std::vector<bool> ticks;
        for (QAction* a : Menu().mnuSize)
            ticks.push_back(a->isChecked());
        return ticks;
    }
};

TEST_F(MenuTest, TreeHasTheCaptionsInOrderWithoutShortcuts)
{
    Start();
    FrmMenu& m = Menu();
    QStringList top;
    for (QAction* a : m.mnuHide->actions())
        top << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(top.join("|"), "サイズ|最小化|ウィンドウを消す|-|満ち欠け|月の情報を表示|設定|ヘルプ|終了");
    QStringList settings;
    for (QAction* a : m.mnuSettei->actions())
        settings << (a->isSeparator() ? QStringLiteral("-") : a->text());
    // The design's items, then the added ones behind a separator of their own.
    EXPECT_EQ(settings.join("|"), "常に前面に表示|タスクトレイに入れる|文字盤を線で描く|月を満ち欠けさせる|NT|-|時計にする  (Wクリック)"
                                  "|-|南半球から見る|ログイン時に起動");
    EXPECT_FALSE(m.mnuMinimize->isVisible());
    for (QAction* a : m.mnuHide->findChildren<QAction*>()) {
        EXPECT_TRUE(a->shortcut().isEmpty()) << a->text().toStdString();
        EXPECT_FALSE(a->objectName().isEmpty()) << a->text().toStdString();
    }
    EXPECT_EQ(m.mnuHide->findChildren<QAction*>("mnuSize").size(), 3);
}

TEST_F(MenuTest, PopupTicksTheCurrentSizeAndTheFaceFromTheFile)
{
    Start();
    Menu().mnuHide_Click();
    EXPECT_EQ(SizeTicks(), (std::vector<bool>{false, true, false}));
    EXPECT_FALSE(Menu().mnuBeClock->isChecked());

    // A double-click does not touch the menu; the next popup reads the face from the file.
    program->frmMain->Form_DblClick();
    EXPECT_FALSE(Menu().mnuBeClock->isChecked());
    Menu().mnuHide_Click();
    EXPECT_TRUE(Menu().mnuBeClock->isChecked());
}

TEST_F(MenuTest, DoubleClickTogglesTheFaceThroughTheFile)
{
    struct Case {
        const char* stored; // nullptr: the key is missing
        const char* written;
    };
    const Case cases[] = {{nullptr, "Clock"}, {"Year", "Clock"}, {"Clock", "Year"}, {"year", "Year"}};
    for (const Case& c : cases) {
        if (c.stored)
            SetIni("Setting", "YearOrClock", c.stored);
        FrmMain& main = Start();
        main.Form_DblClick();
        EXPECT_EQ(Ini("Setting", "YearOrClock"), c.written) << (c.stored ? c.stored : "(missing)");
        EXPECT_EQ(main.LastFace(), std::string(c.written) == "Year" ? Face::Year : Face::Clock);
        program.reset();
    }
}

TEST_F(MenuTest, ChoosingASizeRebuildsTheWindowAtThatSizeInItsPlace)
{
    SetIni("frmMain", "Top", "1500");
    SetIni("frmMain", "Left", "3000");
    Start();
    const int sides[] = {60, 120, 240};
    for (int index : {2, 0, 1}) {
        FrmMain* before = program->frmMain.loaded();
        Menu().mnuSize_Click(index);
        Settle();
        FrmMain* after = program->frmMain.loaded();
        ASSERT_NE(after, nullptr);
        EXPECT_NE(after, before) << "a fresh window is loaded";
        EXPECT_EQ(after->width(), sides[index]);
        EXPECT_EQ(after->pos(), QPoint(200, 100)) << "the top-left corner stays";
        EXPECT_EQ(Ini("frmMain", "NowSize"), std::to_string(index - 1));
        Menu().mnuHide_Click();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Menu().mnuSize[i]->isChecked(), i == index);
    }
    EXPECT_EQ(ends, 0);
}

TEST_F(MenuTest, SouthernViewTurnsOnlyTheMoonOfTheDialAndComesBackExactly)
{
    // Tokyo lies north: the first start writes its hemisphere and leaves the item unticked.
    platform.zone = "Asia/Tokyo";
    dir.write("moondata.dat", "2026/11/20 00\n2026/12/20 00\n");
    platform.now = MakeDateValue(2026, 11, 27, 12, 0, 0); // the first quarter
    FrmMain& main = Start();
    EXPECT_EQ(Ini("frmMain", "Hemisphere"), "North");
    EXPECT_FALSE(Menu().mnuSouth->isChecked());
    const QImage north = main.DialLayer().copy();

    Menu().mnuSouth_Click();
    EXPECT_EQ(Ini("frmMain", "Hemisphere"), "South");
    EXPECT_TRUE(Menu().mnuSouth->isChecked());
    const QImage south = main.DialLayer().copy();
    const int side = north.width();
    // Inside the moon the picture is turned half a turn; beyond the moon's box nothing changed.
    const int r = side / 4;
    int turned = 0;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const bool nearMoon = std::abs(x - side / 2) <= r + 1 && std::abs(y - side / 2) <= r + 1;
            if (!nearMoon)
                ASSERT_EQ(south.pixel(x, y), north.pixel(x, y)) << x << "," << y;
        }
    }
    for (int y = side / 2 - r / 2; y < side / 2 + r / 2; ++y)
        for (int x = side / 2 - r / 2; x < side / 2 + r / 2; ++x)
            turned += south.pixel(x, y) == north.pixel(side - 1 - x, side - 1 - y);
    EXPECT_EQ(turned, r * r) << "the middle of the moon is the northern one turned";
    // Lit on the left now: the left of the middle row is brighter than its right.
    EXPECT_GT(qGray(south.pixel(side / 2 - r + 3, side / 2)), qGray(south.pixel(side / 2 + r - 3, side / 2)));
    EXPECT_LT(qGray(north.pixel(side / 2 - r + 3, side / 2)), qGray(north.pixel(side / 2 + r - 3, side / 2)));

    // The moon commands shade it turned too.
    Menu().mnuNowMoon_Click();
    EXPECT_EQ(main.DialLayer(), south);

    Menu().mnuSouth_Click();
    EXPECT_EQ(Ini("frmMain", "Hemisphere"), "North");
    EXPECT_EQ(main.DialLayer(), north);

    // The next start keeps the user's choice whatever the zone.
    Menu().mnuSouth_Click();
    program.reset();
    platform.zone = "Asia/Tokyo";
    Start();
    EXPECT_TRUE(Menu().mnuSouth->isChecked());
    EXPECT_EQ(program->frmMain->DialLayer(), south);
}

TEST_F(MenuTest, SouthernViewTurnsTheUnshadedMoonAndTheAboutBoxDial)
{
    SetIni("frmMain", "Mitikake", "False");
    SetIni("frmMain", "Hemisphere", "South");
    FrmMain& main = Start();
    const QImage plain = main.CurrentDial();
    const QImage& layer = main.DialLayer();
    const int side = plain.width();
    for (int dy = -10; dy <= 10; ++dy)
        for (int dx = -10; dx <= 10; ++dx)
            ASSERT_EQ(layer.pixel(side / 2 + dx, side / 2 + dy), plain.pixel(side / 2 - 1 - dx, side / 2 - 1 - dy));
    EXPECT_EQ(layer.pixel(3, side / 2), plain.pixel(3, side / 2)) << "the dial around the moon stays";

    Menu().mnuVersion_Click();
    const QImage shown = program->frmVersion->imgIcon->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, MoonPictureFor(main.picBack[1], Hemisphere::South));
    EXPECT_NE(shown, main.picBack[1].convertToFormat(QImage::Format_RGB32));
    Menu().mnuSouth_Click();
    EXPECT_EQ(program->frmVersion->imgIcon->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              main.picBack[1].convertToFormat(QImage::Format_RGB32));
    program->frmVersion.Unload();
}

TEST_F(MenuTest, AutostartItemWritesTheEntryAndRemovesItAndKeepsNoSetting)
{
    platform.userFolders.config = dir.file("config");
    Start();
    const std::string entry = dir.file("config") + "/autostart/velmorax.desktop";
    Menu().mnuHide_Click();
    EXPECT_TRUE(Menu().mnuAutostart->isEnabled());
    EXPECT_FALSE(Menu().mnuAutostart->isChecked());

    Menu().mnuAutostart_Click();
    ASSERT_TRUE(std::filesystem::exists(entry));
    EXPECT_TRUE(Menu().mnuAutostart->isChecked());
    std::ifstream in(entry);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\nExec=" + platform.ProgramPath() + "\n"), std::string::npos) << text;

    // Removed behind the clock's back: the next popup shows it gone.
    std::filesystem::remove(entry);
    Menu().mnuHide_Click();
    EXPECT_FALSE(Menu().mnuAutostart->isChecked());
    Menu().mnuAutostart_Click();
    Menu().mnuAutostart_Click();
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_FALSE(Menu().mnuAutostart->isChecked());
    EXPECT_TRUE(platform.messages.empty());

    std::ifstream ini(dir.file("velmorax.ini"));
    const std::string settings((std::istreambuf_iterator<char>(ini)), std::istreambuf_iterator<char>());
    EXPECT_EQ(QString::fromStdString(settings).toLower().indexOf(QStringLiteral("autostart")), -1);
}

TEST_F(MenuTest, AutostartEntryThatCannotBeWrittenIsToldAndLeftUnticked)
{
    // The configuration folder is a file: no autostart folder can be made in it.
    dir.write("config", "");
    platform.userFolders.config = dir.file("config");
    Start();
    Menu().mnuAutostart_Click();
    EXPECT_FALSE(Menu().mnuAutostart->isChecked());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.messages[0].text.find("autostart/velmorax.desktop"), std::string::npos);
}

TEST_F(MenuTest, WithoutAConfigurationFolderTheAutostartItemIsOff)
{
    Start();
    Menu().mnuHide_Click();
    EXPECT_FALSE(Menu().mnuAutostart->isEnabled());
    EXPECT_FALSE(Menu().mnuAutostart->isChecked());
}

TEST_F(MenuTest, ClosingTheWindowSavesEverythingAndEndsTheProgramWithoutTheTray)
{
    Start();
    program->frmMain->move(300, 200);
    Menu().AlwaysOnTop_Click();
    Menu().mnuNT_Click();
    EXPECT_EQ(Ini("frmMain", "NT"), "False") << "the NT tick is saved only on unload";
    Menu().mnuUnload_Click();
    Settle();
    EXPECT_EQ(Ini("frmMain", "Top"), "3000");
    EXPECT_EQ(Ini("frmMain", "Left"), "4500");
    EXPECT_EQ(Ini("frmMain", "AlwaysOnTop"), "False");
    EXPECT_EQ(Ini("frmMain", "NT"), "True");
    EXPECT_EQ(Ini("TaskTray", "Setting"), "0");
    EXPECT_EQ(program->MainShown, 0);
    EXPECT_FALSE(program->frmMenu.isLoaded());
    EXPECT_EQ(ends, 1);
}

TEST_F(MenuTest, WithTheTrayOnClosingTheWindowKeepsTheProgramRunning)
{
    Start();
    Menu().mnuTaskTray_Click();
    EXPECT_TRUE(program->frmTaskTray.isLoaded());
    EXPECT_TRUE(Menu().mnuTaskTray->isChecked());
    Menu().AlwaysOnTop_Click();
    Menu().mnuUnload_Click();
    Settle();
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(Ini("TaskTray", "Setting"), "1");

    // Brought back: not topmost, because that was saved on unload; the tray tick is restored.
    FrmMain& main = *program->frmMain;
    EXPECT_FALSE(main.IsTopmost());
    EXPECT_TRUE(Menu().mnuTaskTray->isChecked());

    Menu().mnuTaskTray_Click();
    EXPECT_FALSE(program->frmTaskTray.isLoaded());
    EXPECT_EQ(program->UseTaskTray, 0);
}

TEST_F(MenuTest, EndUnloadsEveryFormAndEndsEvenWithTheTray)
{
    Start();
    Menu().mnuTaskTray_Click();
    Menu().mnuEnd_Click();
    Settle();
    EXPECT_FALSE(program->frmMain.isLoaded());
    EXPECT_FALSE(program->frmMenu.isLoaded());
    EXPECT_FALSE(program->frmTaskTray.isLoaded());
    EXPECT_EQ(program->LoadedFormCount(), 0);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(Ini("TaskTray", "Setting"), "1");
}

TEST_F(MenuTest, AlwaysOnTopSwitchesAtOnceAndIsSavedOnUnload)
{
    FrmMain& main = Start();
    ASSERT_TRUE(main.IsTopmost());
    Menu().AlwaysOnTop_Click();
    EXPECT_FALSE(main.IsTopmost());
    EXPECT_FALSE(Menu().AlwaysOnTop->isChecked());
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(Ini("frmMain", "AlwaysOnTop"), "True");
    Menu().AlwaysOnTop_Click();
    EXPECT_TRUE(main.IsTopmost());
    EXPECT_TRUE(Menu().AlwaysOnTop->isChecked());
}

TEST_F(MenuTest, FaceSwitchWritesTicksAndRedraws)
{
    FrmMain& main = Start();
    Menu().mnuBeClock_Click();
    EXPECT_EQ(Ini("Setting", "YearOrClock"), "Clock");
    EXPECT_TRUE(Menu().mnuBeClock->isChecked());
    EXPECT_EQ(main.LastFace(), Face::Clock);
    SetIni("Setting", "YearOrClock", "nonsense");
    Menu().mnuBeClock_Click();
    EXPECT_EQ(Ini("Setting", "YearOrClock"), "Year");
    EXPECT_FALSE(Menu().mnuBeClock->isChecked());
    EXPECT_EQ(main.LastFace(), Face::Year);
}

TEST_F(MenuTest, TriggeringACheckableItemRunsItsHandlerOnceWithTheRightTick)
{
    Start();
    // Through the action, as a click in the popup does: Qt's own flip must not double the toggle.
    Menu().mnuNT->trigger();
    EXPECT_TRUE(Menu().mnuNT->isChecked());
    Menu().mnuNT->trigger();
    EXPECT_FALSE(Menu().mnuNT->isChecked());
    Menu().mnuBeClock->trigger();
    EXPECT_TRUE(Menu().mnuBeClock->isChecked());
    EXPECT_EQ(Ini("Setting", "YearOrClock"), "Clock");
    Menu().mnuSize[0]->trigger();
    Settle();
    EXPECT_EQ(program->frmMain->width(), 60);
}

TEST_F(MenuTest, HiddenMinimizeCommandParksTheClockAndRestoringBringsItBack)
{
    FrmMain& main = Start();
    const QRect place = main.geometry();
    Menu().mnuMinimize_Click();
    Settle();
    EXPECT_FALSE(program->frmMain.isLoaded());
    ASSERT_TRUE(program->frmMenu.isLoaded());
    FrmMenu& parked = Menu();
    EXPECT_TRUE(parked.isMinimized());
    EXPECT_EQ(parked.geometry().topLeft(), place.topLeft());
    EXPECT_EQ(ends, 0);

    parked.showNormal();
    Settle();
    ASSERT_TRUE(program->frmMain.isLoaded());
    EXPECT_TRUE(program->frmMain->isVisible());
    EXPECT_FALSE(parked.isVisible());
}

TEST_F(MenuTest, RightButtonOpensThePopupWithFreshTicksAndLeavesTheWindowInPlace)
{
    FrmMain& main = Start();
    const QPoint before = main.pos();
    SetIni("Setting", "YearOrClock", "Clock");
    main.Form_MouseDown(kRightButton);
    const bool opened = program->frmMenu->mnuHide->isVisible();
    program->frmMenu->mnuHide->close();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(program->frmMenu->mnuBeClock->isChecked());
    EXPECT_EQ(main.pos(), before);
}

TEST_F(MenuTest, QuickSecondRightPressStillOpensThePopup)
{
    FrmMain& main = Start();
    // Qt hands the second press of a quick pair over as a double-click only.
    QMouseEvent press(QEvent::MouseButtonDblClick, QPointF(60, 60), main.mapToGlobal(QPointF(60, 60)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&main, &press);
    EXPECT_TRUE(program->frmMenu->mnuHide->isVisible());
    program->frmMenu->mnuHide->close();
    EXPECT_EQ(Ini("Setting", "YearOrClock"), "Year") << "not taken for a face switch";
}

} // namespace
} // namespace vx
