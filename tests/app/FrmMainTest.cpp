#include "app/FrmMain.h"
#include "app/Program.h"
#include "menu/FrmMenu.h"
#include "moon/MoonTable.h"
#include "settings/IniFile.h"
#include "support/ProgramFixture.h"
#include "tray/FrmTaskTray.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>
#include <QMetaObject>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vx {
namespace {

class MainWindowTest : public test::ProgramFixture {};

TEST_F(MainWindowTest, FirstStartWritesEveryStartupKeyWithItsDefault)
{
    FrmMain& main = Start();
    EXPECT_EQ(Ini("TaskTray", "Setting"), "0");
    EXPECT_EQ(Ini("frmMain", "UseLineMojiban"), "False");
    EXPECT_EQ(Ini("frmMain", "Mitikake"), "True");
    EXPECT_EQ(Ini("frmMain", "NowSize"), "0");
    EXPECT_EQ(Ini("frmMain", "AlwaysOnTop"), "True");
    EXPECT_EQ(Ini("frmMain", "NT"), "False");
    EXPECT_EQ(Ini("frmMain", "Top"), std::to_string(main.y() * 15));
    EXPECT_EQ(Ini("frmMain", "Left"), std::to_string(main.x() * 15));
    // The first drawing adds the face and its colour.
    EXPECT_EQ(Ini("Setting", "YearOrClock"), "Year");
    EXPECT_EQ(Ini("Color", "Year"), "41152");
    EXPECT_EQ(Ini("Color", "Clock"), "<missing>");

    EXPECT_EQ(main.width(), 120);
    EXPECT_EQ(main.height(), 120);
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.IsTopmost());
    EXPECT_EQ(main.windowTitle(), "Form1");
    EXPECT_EQ(program->MainShown, 1);
    EXPECT_EQ(main.Sizing, 0);
    EXPECT_FALSE(program->frmTaskTray.isLoaded());
    FrmMenu& menu = *program->frmMenu.loaded();
    EXPECT_FALSE(menu.isVisible());
    EXPECT_TRUE(menu.AlwaysOnTop->isChecked());
    EXPECT_TRUE(menu.mnuSetMitikake->isChecked());
    EXPECT_FALSE(menu.mnuUseLineMojiban->isChecked());
    EXPECT_FALSE(menu.mnuTaskTray->isChecked());
    EXPECT_FALSE(menu.mnuNT->isChecked());
}

TEST_F(MainWindowTest, SizeIndexGivesARoundWindowOfSixtyOneHundredTwentyOrTwoHundredForty)
{
    struct Case {
        const char* stored;
        int side;
    };
    // Stored sizes outside the three are brought to the nearest of them.
    const Case cases[] = {{"-1", 60}, {"0", 120}, {"1", 240}, {"0.6", 240}, {"7", 240}, {"-3", 60}, {"big", 120}};
    for (const Case& c : cases) {
        SetIni("frmMain", "NowSize", c.stored);
        FrmMain& main = Start();
        EXPECT_EQ(main.width(), c.side) << c.stored;
        EXPECT_EQ(main.height(), c.side) << c.stored;
        const QRegion mask = main.mask();
        EXPECT_EQ(mask.boundingRect(), QRect(0, 0, c.side, c.side)) << c.stored;
        // Round: the corners are cut away, the centre and the middle of each edge are inside.
        EXPECT_FALSE(mask.contains(QPoint(1, 1)));
        EXPECT_FALSE(mask.contains(QPoint(c.side - 2, c.side - 2)));
        EXPECT_TRUE(mask.contains(QPoint(c.side / 2, c.side / 2)));
        EXPECT_TRUE(mask.contains(QPoint(c.side / 2, 1)));
        EXPECT_TRUE(mask.contains(QPoint(1, c.side / 2)));
        program.reset();
    }
}

TEST_F(MainWindowTest, SavedPositionIsRestoredUnlessTheWindowWouldBeOutOfReach)
{
    struct Case {
        const char* top;
        const char* left;
        int x, y; // pixels, at 15 twips a pixel
    };
    const Case cases[] = {
        {"1185", "3000", 200, 79},
        {"1184.5", "1185.5", 79, 79},  // whole numbers with ties to even: 1184 and 1186 twips
        {"300", "-1700", -113, 20},    // partly visible: kept
        {"300", "-2000", 0, 20},       // wholly left of the screen: back to 0
        {"-2000", "300", 20, 0},       // wholly above: back to 0
        {"-1700", "300", 20, -113},
        {"300", "99999", 0, 20},       // wholly right of the desktop: back to 0
        {"99999", "300", 20, 0},       // wholly below: back to 0
        {"300", "9e12", 0, 20},        // absurd numbers end on the screen too
        {"-1650", "-1650", 0, 0},      // only the square's empty corner on the screen: back on both
        {"300", "-1650", -110, 20},    // the same left, level with the screen: the disc shows, kept
    };
    for (const Case& c : cases) {
        SetIni("frmMain", "Top", c.top);
        SetIni("frmMain", "Left", c.left);
        FrmMain& main = Start();
        EXPECT_EQ(main.x(), c.x) << c.top << "," << c.left;
        EXPECT_EQ(main.y(), c.y) << c.top << "," << c.left;
        program.reset();
    }
    // The same off the bottom-right corner of the desktop.
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    SetIni("frmMain", "Top", std::to_string((desktop.bottom() - 10) * 15));
    SetIni("frmMain", "Left", std::to_string((desktop.right() - 10) * 15));
    FrmMain& main = Start();
    EXPECT_EQ(main.pos(), QPoint(0, 0));
    program.reset();
}

TEST_F(MainWindowTest, EndRequestedInANestedLoopLeavesItAndUnloadsOnlyOnceBackOutside)
{
    // A termination signal while a message box waits, before the application's loop has even
    // started (a note on a dial picture during start-up).
    SetIni("frmMain", "Left", "3000");
    Start();
    QElapsedTimer clock;
    clock.start();
    {
        QEventLoop messageBox;
        QTimer::singleShot(10, &messageBox, [&] { program->RequestEnd(); });
        QTimer::singleShot(3000, &messageBox, &QEventLoop::quit); // only if the request did not end it
        messageBox.exec();
    }
    EXPECT_LT(clock.elapsed(), 2000) << "the message box's loop was not left";
    // The handler that showed the box still finds its form when the box returns.
    EXPECT_TRUE(program->frmMain.isLoaded());
    {
        // A loop entered afterwards (a lunation's pause, another box) does not wait either.
        QEventLoop later;
        QTimer::singleShot(3000, &later, &QEventLoop::quit);
        clock.restart();
        later.exec();
        EXPECT_LT(clock.elapsed(), 2000);
    }
    int code = -1;
    {
        QTimer guard; // Exec must not wait for events now
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        guard.start(3000);
        code = program->Exec();
    }
    EXPECT_EQ(code, 0);
    EXPECT_EQ(program->LoadedFormCount(), 0);
    EXPECT_EQ(Ini("frmMain", "Left"), "3000");
    EXPECT_EQ(Ini("TaskTray", "Setting"), "0");
    // The next test's loops wait again: the application's own loop clears the thread's mark.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

TEST_F(MainWindowTest, AlwaysOnTopFollowsTheStoredBoolean)
{
    const std::pair<const char*, bool> cases[] = {
        {"True", true}, {"false", false}, {"0", false}, {"1", true}, {"FALSE", false}, {"nonsense", true}};
    for (auto [stored, topmost] : cases) {
        SetIni("frmMain", "AlwaysOnTop", stored);
        FrmMain& main = Start();
        EXPECT_EQ(main.IsTopmost(), topmost) << stored;
        EXPECT_EQ(program->frmMenu->AlwaysOnTop->isChecked(), topmost) << stored;
        EXPECT_EQ(main.windowFlags().testFlag(Qt::WindowStaysOnTopHint), topmost) << stored;
        program.reset();
    }
    // A value that is no boolean is treated as missing: its default is written back.
    EXPECT_EQ(Ini("frmMain", "AlwaysOnTop"), "True");
}

TEST_F(MainWindowTest, MenuTicksFollowOnlyTheExactWords)
{
    SetIni("frmMain", "Mitikake", "true");
    SetIni("frmMain", "UseLineMojiban", "True");
    SetIni("frmMain", "NT", "TRUE");
    Start();
    FrmMenu& menu = *program->frmMenu;
    EXPECT_FALSE(menu.mnuSetMitikake->isChecked());
    EXPECT_TRUE(menu.mnuUseLineMojiban->isChecked());
    EXPECT_TRUE(menu.mnuNT->isChecked());
}

TEST_F(MainWindowTest, TrayFlagLoadsTheTrayFormBeforeTheWindowShows)
{
    SetIni("TaskTray", "Setting", "1");
    Start();
    EXPECT_TRUE(program->frmTaskTray.isLoaded());
    EXPECT_TRUE(program->frmMenu->mnuTaskTray->isChecked());
    EXPECT_EQ(program->UseTaskTray, 1);
}

TEST_F(MainWindowTest, IntegerSettingsOutsideThe32BitRangeReadAsTheirDefaults)
{
    struct Case {
        const char* key;
        const char* stored;
        const char* after; // the value in the file after the load
        int value;
    };
    const Case cases[] = {
        {"Setting", "4294967297", "0", 0}, {"Setting", "-4294967295", "0", 0}, {"Setting", "1.4", "1.4", 1},
        {"Setting", "2147483649", "0", 0}, {"NowSize", "4294967297", "0", 0}, {"NowSize", "-4294967297", "0", 0},
        {"NowSize", "2147483647", "2147483647", 1},
    };
    for (const Case& c : cases) {
        const bool tray = std::string(c.key) == "Setting";
        SetIni(tray ? "TaskTray" : "frmMain", c.key, c.stored);
        Start();
        EXPECT_EQ(tray ? program->UseTaskTray : program->NowSize, c.value) << c.key << "=" << c.stored;
        EXPECT_EQ(program->frmTaskTray.isLoaded(), tray && c.value == 1) << c.stored;
        EXPECT_EQ(Ini(tray ? "TaskTray" : "frmMain", c.key), c.after) << c.stored;
        program.reset();
        SetIni("TaskTray", "Setting", "0");
        SetIni("frmMain", "NowSize", "0");
    }
}

TEST_F(MainWindowTest, FormsUnloadedInANestedEventLoopLiveUntilControlIsBackInTheOuterOne)
{
    // A command chosen inside a nested loop (a lunation run, a message box) runs while Qt is still
    // inside the form or its menu further down the stack.
    Start();
    const QPointer<FrmMain> main = program->frmMain.loaded();
    const QPointer<FrmMenu> menu = program->frmMenu.loaded();
    menu->mnuHide->popup(QPoint(10, 10));
    bool aliveAndHidden = false;
    QEventLoop nested;
    QTimer::singleShot(10, [&] { program->frmMenu->mnuUnload_Click(); });
    QTimer::singleShot(60, [&] {
        aliveAndHidden = main && menu && !main->isVisible() && !menu->mnuHide->isVisible();
        nested.quit();
    });
    nested.exec();
    EXPECT_TRUE(aliveAndHidden);
    Settle();
    EXPECT_FALSE(main);
    EXPECT_FALSE(menu);
    EXPECT_EQ(ends, 1);
}

TEST_F(MainWindowTest, LauncherEntriesAreWrittenOnEveryLoadOnlyWhenTheLauncherIsThere)
{
    Start();
    EXPECT_TRUE(platform.userStore.empty());
    program.reset();

    platform.userStore[{"Tesmo", "Utility\\TALVERIN", "Version"}] = "3.0";
    Start();
    EXPECT_EQ((platform.userStore[{"Tesmo", "Utility\\TALVERIN", "Tuika 1"}]), "ヴェルモラ");
    EXPECT_EQ((platform.userStore[{"Tesmo", "Utility\\TALVERIN", "TuikaName 1"}]), "Velmorax");
    platform.userStore[{"Tesmo", "Utility\\TALVERIN", "Tuika 1"}] = "other";
    program->frmMain.Unload();
    program->frmMain.Load();
    EXPECT_EQ((platform.userStore[{"Tesmo", "Utility\\TALVERIN", "Tuika 1"}]), "ヴェルモラ");
}

TEST_F(MainWindowTest, EveryLoadReadsTheMoonTableAfresh)
{
    dir.write("moondata.dat", "2026/11/20 15\n2026/12/20 10\n");
    Start();
    EXPECT_EQ(ProgramMoonTable().MoonData().size(), 2u);
    dir.write("moondata.dat", "2026/11/20 15\n2026/12/20 10\n2027/01/18 13\n");
    program->frmMain.Unload();
    EXPECT_EQ(ProgramMoonTable().MoonData().size(), 2u);
    program->frmMain.Load();
    EXPECT_EQ(ProgramMoonTable().MoonData().size(), 3u);
}

// Every timer the running program has armed, on its forms and their parts: the year face wakes the
// program once a minute only if nothing else is due sooner than its tick.
struct ArmedTimer {
    int id;
    int interval;
    std::string owner;
};
std::vector<ArmedTimer> ArmedTimers(Program& program)
{
    std::vector<ArmedTimer> armed;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    std::vector<QObject*> roots{&program, program.frmMain.loaded(), program.frmMenu.loaded(),
                                program.frmTaskTray.loaded()};
    for (QObject* root : roots) {
        if (root == nullptr)
            continue;
        QList<QObject*> objects = root->findChildren<QObject*>();
        objects.push_back(root);
        for (QObject* object : objects)
            for (const auto& timer : dispatcher->registeredTimers(object))
                armed.push_back({timer.timerId, timer.interval, object->metaObject()->className()});
    }
    return armed;
}

TEST_F(MainWindowTest, NothingIsDueBeforeTheNextTick)
{
    struct Case {
        const char* face;
        const char* tray;
        DateValue now;
        int tick; // the main timer's interval after a tick at that moment
    };
    const Case cases[] = {
        {"Year", "0", MakeDateValue(2026, 12, 8, 3, 25, 45.5), 14510},
        {"Year", "1", MakeDateValue(2026, 12, 8, 3, 25, 45.5), 14510},
        {"Year", "0", MakeDateValue(2026, 12, 8, 3, 26, 0.01), 60000},
        {"Year", "1", MakeDateValue(2026, 12, 8, 23, 59, 59.995), 15},
        {"Clock", "0", MakeDateValue(2026, 12, 8, 3, 25, 45.5), 1000},
        {"Clock", "1", MakeDateValue(2026, 12, 8, 3, 25, 45.5), 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.face) + " face, tray " + c.tray);
        SetIni("Setting", "YearOrClock", c.face);
        SetIni("TaskTray", "Setting", c.tray);
        platform.now = c.now;
        FrmMain& main = Start();
        // The start and its paints settle; the tray's first tick comes 10 ms after its load.
        for (int round = 0; round < 20; ++round)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (FrmTaskTray* tray = program->frmTaskTray.loaded())
            tray->Timer1_Timer();
        ASSERT_TRUE(QMetaObject::invokeMethod(main.Timer1, "timeout", Qt::DirectConnection));
        QCoreApplication::processEvents();
        ASSERT_EQ(main.Timer1->interval(), c.tick);
        int mainTimers = 0;
        for (const auto& timer : ArmedTimers(*program)) {
            mainTimers += timer.id == main.Timer1->timerId();
            EXPECT_GE(timer.interval, c.tick) << "a timer of " << timer.interval << " ms on " << timer.owner;
        }
        EXPECT_EQ(mainTimers, 1);
        program.reset();
    }
}

TEST_F(MainWindowTest, DrawingReadsTheFaceAndColourEveryTimeAndRearmsTheTimer)
{
    platform.now = MakeDateValue(2026, 12, 8, 3, 25, 45.5); // t = 12345.5 s
    FrmMain& main = Start();
    main.DrawWatch();
    EXPECT_EQ(main.LastFace(), Face::Year);
    EXPECT_EQ(main.Timer1->interval(), 14510);
    EXPECT_TRUE(main.Timer1->isActive());

    // Changed in the file while running: takes effect at the next drawing.
    SetIni("Setting", "YearOrClock", "year");
    main.DrawWatch();
    EXPECT_EQ(main.LastFace(), Face::Clock);
    EXPECT_EQ(main.Timer1->interval(), 1000);
    EXPECT_EQ(Ini("Color", "Clock"), "16752640");
    EXPECT_EQ(main.LastStrokes()[1].colour, kClockHandColour);

    SetIni("Color", "Clock", "255");
    main.DrawWatch();
    EXPECT_EQ(main.LastStrokes()[1].colour, RGB(255, 0, 0));

    // A colour that is no number is treated as missing; one out of range falls back quietly.
    SetIni("Color", "Clock", "blue");
    main.DrawWatch();
    EXPECT_EQ(main.LastStrokes()[1].colour, kClockHandColour);
    EXPECT_EQ(Ini("Color", "Clock"), "16752640");
    SetIni("Color", "Clock", "-5");
    main.DrawWatch();
    EXPECT_EQ(main.LastStrokes()[1].colour, kClockHandColour);
    EXPECT_EQ(Ini("Color", "Clock"), "-5");
}

TEST_F(MainWindowTest, HandsArePaintedInTheirColourOverTheDial)
{
    SetIni("Setting", "YearOrClock", "Clock");
    SetIni("frmMain", "NowSize", "1");
    platform.now = MakeDateValue(2026, 12, 8, 15, 0, 20); // hour hand at 3, minute hand up
    FrmMain& main = Start();
    main.DrawWatch();
    const QImage face = main.Grab();
    ASSERT_EQ(face.width(), 240);
    // The hour hand reaches S/4 towards 3 o'clock; half way along it shows the clock colour.
    EXPECT_EQ(face.pixelColor(120 + 30, 120), QColor(0, 160, 255));
    // The long hands point up to 5S/12.
    EXPECT_EQ(face.pixelColor(119, 120 - 80), QColor(0, 160, 255));
    EXPECT_EQ(face.pixelColor(120, 120 - 80), QColor(0, 160, 255));
}

TEST_F(MainWindowTest, TicksRepaintOnlyWhereHandsMoveYetTheScreenShowsNoOldHand)
{
    SetIni("Setting", "YearOrClock", "Clock");
    SetIni("frmMain", "NowSize", "1");
    platform.now = MakeDateValue(2026, 12, 8, 10, 9, 50);
    FrmMain& main = Start();
    QCoreApplication::processEvents();
    // What the window shows, as its backing store holds it, where the round window shows anything.
    auto differences = [&main] {
        const QImage shown = main.screen()->grabWindow(main.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage expected = main.Grab();
        int count = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                if (main.mask().contains(QPoint(x, y)) && shown.pixel(x, y) != expected.pixel(x, y))
                    ++count;
        return count;
    };
    // Across a minute's turn of the minute hand, and a colour change that changes every stroke.
    for (int second = 0; second < 15; ++second) {
        platform.now += 1.0 / 86400;
        if (second == 12)
            SetIni("Color", "Clock", "255");
        main.DrawWatch();
        QCoreApplication::processEvents();
        ASSERT_EQ(differences(), 0) << "after tick " << second;
    }
    // A tick of the timer shows the moved hands at once, before any event runs.
    platform.now += 1.0 / 86400;
    QMetaObject::invokeMethod(main.Timer1, "timeout", Qt::DirectConnection);
    ASSERT_EQ(differences(), 0) << "after a tick of the timer";
    // The moon shaded anew shows at once, the repaint that ends the shading covering it.
    for (double phase : {0.7, 0.05, 0.5}) {
        ShadeMoon(main.picBack[2], main, phase, 0);
        ASSERT_EQ(differences(), 0) << "at phase " << phase;
    }
    // A part of the window exposed a minute later draws the hands as they are now, and the rest
    // of the window follows, so no hand shows twice.
    platform.now += 61.0 / 86400;
    main.update(QRect(114, 196, 12, 12)); // near 6 o'clock, where no hand is
    // The rest is repainted by an update asked for during the paint, a few event rounds later.
    for (int round = 0; round < 5; ++round)
        QCoreApplication::processEvents();
    EXPECT_EQ(differences(), 0);
    // A change of the dial layer shows whole at the next drawing.
    main.SetPicture(main.picBack[0]);
    main.DrawWatch();
    QCoreApplication::processEvents();
    EXPECT_EQ(differences(), 0);
}

} // namespace
} // namespace vx
