#include "tray/FrmTaskTray.h"

#include "menu/FrmMenu.h"
#include "support/ProgramFixture.h"
#include "tray/TrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include <string>
#include <vector>

namespace vx {
namespace {

class TrayTest : public test::ProgramFixture {
protected:
    // The clock started with the icon on, from the settings file.
    FrmTaskTray& StartWithTray()
    {
        SetIni("TaskTray", "Setting", "1");
        Start();
        return Tray();
    }
    FrmTaskTray& Tray() { return *program->frmTaskTray.loaded(); }
    QSystemTrayIcon* Icon() { return TrayIconOf(Tray()); }
    // Whether the icon shows moon picture n.
    bool Shows(int n)
    {
        return Icon() && Icon()->icon().cacheKey() == Tray().Image1[n].cacheKey() &&
               Tray().windowIcon().cacheKey() == Tray().Image1[n].cacheKey();
    }
    void Click(QSystemTrayIcon::ActivationReason reason) { emit Icon()->activated(reason); }
    void CloseWindow()
    {
        program->frmMenu->mnuUnload_Click();
        Settle();
    }
};

// New moons 30 days apart: the time of day after the first is a clean fraction of the lunation.
constexpr const char* kTwoNewMoons = "2026/11/20 00\n2026/12/20 00\n";
DateValue DaysAfterNewMoon(double days)
{
    return MakeDateValue(2026, 11, 20, 0, 0, 0) + days;
}

TEST_F(TrayTest, LoadShowsThePresentMoonAndTheFirstTickKeepsIt)
{
    // No moon table: the phase cannot be told, which is the full moon.
    platform.now = MakeDateValue(2026, 12, 8, 21, 0, 30.5004);
    FrmTaskTray& tray = StartWithTray();
    EXPECT_TRUE(Shows(8));
    EXPECT_TRUE(Icon()->isVisible());
    EXPECT_EQ(tray.LastIconIndex, 0);
    EXPECT_EQ(tray.Timer1->timerType(), Qt::PreciseTimer);
    ASSERT_TRUE(tray.Timer1->isActive());

    // The first tick comes 10 ms after the load.
    QElapsedTimer waited;
    waited.start();
    while (tray.LastIconIndex == 0 && waited.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(tray.LastIconIndex, 8);
    EXPECT_TRUE(Shows(8));
    EXPECT_EQ(tray.Timer1->interval(), 29510);

    for (int n = 0; n < kMoonIconCount; ++n)
        EXPECT_FALSE(tray.Image1[n].pixmap(16).isNull()) << n;
    EXPECT_EQ(tray.Image1[0].pixmap(16).toImage(), tray.Image1[16].pixmap(16).toImage()) << "both black discs";
}

TEST_F(TrayTest, SeenFromTheSouthTheIconIsTheMoonTurnedHalfwayAndFollowsTheMenuItem)
{
    dir.write("moondata.dat", kTwoNewMoons);
    platform.now = DaysAfterNewMoon(7.5); // picture 4: the first quarter
    platform.zone = "Australia/Sydney";
    FrmTaskTray& tray = StartWithTray();
    if (Ini("frmMain", "Hemisphere") != "South")
        GTEST_SKIP() << "the system's zone tables do not place Sydney";
    const auto shows = [&](const QIcon& icon) {
        return Icon() && Icon()->icon().cacheKey() == icon.cacheKey() && tray.windowIcon().cacheKey() == icon.cacheKey();
    };
    EXPECT_TRUE(shows(tray.Image1South[4]));
    for (int n = 0; n < kMoonIconCount; ++n) {
        const QImage north = tray.Image1[n].pixmap(16).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage south = tray.Image1South[n].pixmap(16).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(south.size(), north.size()) << n;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(south.pixel(x, y), north.pixel(15 - x, 15 - y)) << n << ": " << x << "," << y;
    }

    program->frmMenu->mnuSouth_Click();
    EXPECT_TRUE(shows(tray.Image1[4]));
    EXPECT_EQ(Ini("frmMain", "Hemisphere"), "North");
    program->frmMenu->mnuSouth_Click();
    EXPECT_TRUE(shows(tray.Image1South[4]));
    EXPECT_EQ(tray.LastIconIndex, 4);
}

TEST_F(TrayTest, TheIconFollowsTheMoonAtEachTick)
{
    dir.write("moondata.dat", kTwoNewMoons);
    platform.now = DaysAfterNewMoon(15.0);
    FrmTaskTray& tray = StartWithTray();
    EXPECT_TRUE(Shows(8));

    struct Step {
        double days;
        int index;
    };
    const Step steps[] = {{29.1, 16}, {0.5, 0}, {1.0, 1}, {2.8125, 2}, {3.0, 2}, {29.99, 16}};
    for (const Step& s : steps) {
        platform.now = DaysAfterNewMoon(s.days);
        tray.Timer1_Timer();
        EXPECT_EQ(tray.LastIconIndex, s.index) << s.days << " days";
        EXPECT_TRUE(Shows(s.index)) << s.days << " days";
    }
    // Only pictures 0 to 16 exist; a number beyond them shows the nearest end.
    tray.SetTray(-3);
    EXPECT_TRUE(Shows(0));
    tray.SetTray(40);
    EXPECT_TRUE(Shows(16));
}

TEST_F(TrayTest, TimerTicksTenMillisecondsAfterEachWholeMinute)
{
    FrmTaskTray& tray = StartWithTray();
    struct Case {
        int hour, minute;
        double second;
        int interval;
    };
    // A fraction of a millisecond more than the round figures keeps the date value's rounding away
    // from the whole milliseconds the interval counts.
    const Case cases[] = {
        {12, 0, 30.5004, 29510},
        {12, 0, 0.2504, 59760},
        {12, 0, 0.0104, 60000}, // 10 ms past the minute: a full minute to the next
        {23, 59, 59.5004, 510},
        {0, 0, 0.0, 60010},     // the first 10 ms after midnight wait a little over a minute
    };
    for (const Case& c : cases) {
        platform.now = MakeDateValue(2026, 12, 8, c.hour, c.minute, c.second);
        tray.Timer1_Timer();
        EXPECT_EQ(tray.Timer1->interval(), c.interval) << c.hour << ":" << c.minute << ":" << c.second;
        EXPECT_TRUE(tray.Timer1->isActive());
    }
}

TEST_F(TrayTest, LeftClickFocusesOnlyAShownWindow)
{
    StartWithTray();
    QWidget other;
    other.show();
    other.activateWindow();
    QApplication::setActiveWindow(&other);
    Click(QSystemTrayIcon::Trigger);
    Settle();
    EXPECT_EQ(QApplication::activeWindow(), program->frmMain.loaded());

    CloseWindow();
    Click(QSystemTrayIcon::Trigger);
    Settle();
    EXPECT_FALSE(program->frmMain.isLoaded());
    EXPECT_EQ(program->LoadedFormCount(), 1);
    EXPECT_EQ(ends, 0);
}

TEST_F(TrayTest, DoubleClickBringsTheClosedWindowBackOnceAtItsSavedPlace)
{
    StartWithTray();
    program->frmMain->move(300, 200);
    CloseWindow();
    ASSERT_EQ(ends, 0);
    ASSERT_TRUE(Icon());

    // A double-click also reports its first click.
    Click(QSystemTrayIcon::Trigger);
    Click(QSystemTrayIcon::DoubleClick);
    Settle();
    FrmMain* main = program->frmMain.loaded();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->pos(), QPoint(300, 200));
    EXPECT_EQ(program->MainShown, 1);
    EXPECT_TRUE(program->frmMenu.isLoaded());

    // On a shown window the double-click keeps that window.
    Click(QSystemTrayIcon::Trigger);
    Click(QSystemTrayIcon::DoubleClick);
    Settle();
    EXPECT_EQ(program->frmMain.loaded(), main);
    EXPECT_EQ(program->LoadedFormCount(), 3);
}

TEST_F(TrayTest, ASelectionOfTheIconBringsTheClosedWindowBackAsTheDoubleClickDoes)
{
    StartWithTray();
    program->frmMain->move(300, 200);
    CloseWindow();
    ASSERT_FALSE(program->frmMain.isLoaded());

    TrayCallbackEvent select(traymsg::kSelect);
    QApplication::sendEvent(&Tray(), &select);
    Settle();
    FrmMain* main = program->frmMain.loaded();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->pos(), QPoint(300, 200));
    EXPECT_EQ(program->MainShown, 1);

    // Again on the shown window: the same window stays.
    QApplication::sendEvent(&Tray(), &select);
    Settle();
    EXPECT_EQ(program->frmMain.loaded(), main);
    EXPECT_EQ(program->LoadedFormCount(), 3);
    EXPECT_EQ(ends, 0);
}

TEST_F(TrayTest, RightPressOpensTheMenuWithTheShowItemInBold)
{
    FrmTaskTray& tray = StartWithTray();
    QStringList items;
    for (QAction* a : tray.mnuHide->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items.join("|"), "ヴェルモラを表示|-|終了");
    EXPECT_EQ(tray.mnuHide->defaultAction(), tray.mnuShowfrmMain);

    tray.Form_MouseMove(traymsg::kRightUp);
    EXPECT_FALSE(tray.mnuHide->isVisible());
    Click(QSystemTrayIcon::Context);
    EXPECT_TRUE(tray.mnuHide->isVisible());
    tray.mnuHide->close();

    // The show item loads a closed window afresh.
    CloseWindow();
    tray.mnuShowfrmMain->trigger();
    ASSERT_TRUE(program->frmMain.isLoaded());
    EXPECT_TRUE(program->frmMain->isVisible());
}

TEST_F(TrayTest, EndUnloadsTheWindowTheMenuAndTheTrayInThatOrder)
{
    FrmTaskTray& tray = StartWithTray();
    program->frmMain->move(300, 200);
    program->frmMenu->mnuNT_Click();
    std::vector<std::string> destroyed;
    for (QObject* form : std::initializer_list<QObject*>{&tray, program->frmMenu.loaded(), program->frmMain.loaded()}) {
        const std::string name = form->metaObject()->className();
        QObject::connect(form, &QObject::destroyed, [&destroyed, name] { destroyed.push_back(name); });
    }
    tray.mnuEnd->trigger();
    EXPECT_EQ(program->LoadedFormCount(), 0);
    EXPECT_EQ(TrayIconOf(tray), nullptr);
    Settle();
    // Forms are destroyed in the order their unloads finish: the menu form's inside the clock
    // window's, the tray's last.
    EXPECT_EQ(destroyed, (std::vector<std::string>{"vx::FrmMenu", "vx::FrmMain", "vx::FrmTaskTray"}));
    EXPECT_EQ(ends, 1);
    // The clock window saved its states while the menu that holds their ticks was still loaded.
    EXPECT_EQ(Ini("frmMain", "AlwaysOnTop"), "True");
    EXPECT_EQ(Ini("frmMain", "NT"), "True");
    EXPECT_EQ(Ini("frmMain", "Left"), "4500");
    EXPECT_EQ(Ini("frmMain", "Top"), "3000");
    EXPECT_EQ(Ini("TaskTray", "Setting"), "1");
}

TEST_F(TrayTest, EndAlsoUnloadsTheMenuFormLeftByTheMinimizeCommand)
{
    StartWithTray();
    program->frmMenu->mnuMinimize_Click();
    Settle();
    ASSERT_FALSE(program->frmMain.isLoaded());
    Tray().mnuEnd_Click();
    Settle();
    EXPECT_EQ(program->LoadedFormCount(), 0);
    EXPECT_EQ(ends, 1);
}

TEST_F(TrayTest, WithoutANotificationAreaClosingTheWindowEndsTheProgramAndKeepsTheSetting)
{
    platform.notificationArea = false;
    Start();
    program->frmMenu->mnuTaskTray_Click();
    ASSERT_TRUE(program->frmTaskTray.isLoaded());

    // A size change reloads the window and, with it, the icon.
    program->frmMenu->mnuSize_Click(2);
    Settle();
    EXPECT_TRUE(program->frmTaskTray.isLoaded());
    EXPECT_EQ(ends, 0);

    CloseWindow();
    EXPECT_EQ(program->LoadedFormCount(), 0);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(Ini("TaskTray", "Setting"), "1");
}

} // namespace
} // namespace vx
