#include "menu/FrmMenu.h"
#include "moon/MoonReport.h"
#include "moon/MoonTable.h"
#include "support/ProgramFixture.h"

#include <QAction>
#include <QTimer>

namespace vx {
namespace {

class MoonCommandsTest : public test::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        ProgramMoonTable() = MoonTable{};
    }
    std::string LastMessage() { return platform.messages.empty() ? "<none>" : platform.messages.back().text; }
};

TEST_F(MoonCommandsTest, ReportWithinTheDataShowsFiveLines)
{
    dir.write("moondata.dat", "2026/11/24 07\n2026/12/24 10\n");
    platform.now = MakeDateValue(2026, 12, 9, 8, 30); // exactly half way
    Start();
    program->frmMenu->mnuExpMoonDat_Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(LastMessage(), MoonReportText(MakeDateValue(2026, 11, 24, 7), MakeDateValue(2026, 12, 24, 10), 0.5,
                                            GetBrightRatio(0.5)));
    EXPECT_EQ(platform.messages.back().title, "") << "the program's own title";
}

TEST_F(MoonCommandsTest, ReportOutsideTheDataShowsTheOutOfRangeMessage)
{
    struct Case {
        const char* name;
        const char* file; // nullptr: no file
        DateValue now;
    };
    const Case cases[] = {
        {"no file", nullptr, MakeDateValue(2026, 12, 9)},
        {"empty file", "", MakeDateValue(2026, 12, 9)},
        {"after the last record", "2026/11/24 07\n2026/12/24 10\n", MakeDateValue(2027, 1, 2)},
        {"before the first record", "2026/11/24 07\n2026/12/24 10\n", MakeDateValue(2026, 11, 1)},
    };
    for (const Case& c : cases) {
        if (c.file)
            dir.write("moondata.dat", c.file);
        platform.now = c.now;
        Start();
        program->frmMenu->mnuExpMoonDat_Click();
        EXPECT_EQ(LastMessage(), kMoonOutOfRangeMessage) << c.name;
        program.reset();
        std::filesystem::remove(dir.path() / "moondata.dat");
    }
}

TEST_F(MoonCommandsTest, ReportNeverRestsOnAnEarlierLookup)
{
    dir.write("moondata.dat", "2026/11/24 07\n2026/12/24 10\n");
    platform.now = MakeDateValue(2026, 12, 9);
    Start();
    GetMoonPhase(platform.now); // a lookup within the data
    platform.now = MakeDateValue(2027, 3, 1); // the clock has moved past the data since
    program->frmMenu->mnuExpMoonDat_Click();
    EXPECT_EQ(LastMessage(), kMoonOutOfRangeMessage);
}

// Counts the repaints of a window: every frame of the moon's run repaints it.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

class MoonRunTest : public MoonCommandsTest {
protected:
    void SetUp() override
    {
        MoonCommandsTest::SetUp();
        dir.write("moondata.dat", "2026/11/24 07\n2026/12/24 10\n");
        platform.now = MakeDateValue(2026, 12, 1, 12); // a waxing crescent
    }
    // The disc as the shading leaves it for a phase, on a copy of the layer.
    QImage ShadedFor(FrmMain& main, double phase)
    {
        const QImage before = main.DialLayer();
        ShadeMoon(main.picBack[program->NowSize + 1], main, phase, 0);
        QImage shaded = main.DialLayer();
        main.SetPicture(before);
        return shaded;
    }
};

TEST_F(MoonRunTest, RunThroughALunationEndsOnTheNewMoonLookAndPresentMoonComesBack)
{
    FrmMain& main = Start();
    program->LunationFrameMilliseconds = 1;
    const QImage present = main.DialLayer();
    const QImage newMoonLook = ShadedFor(main, 1.0);
    ASSERT_NE(present, newMoonLook);

    program->frmMenu->mnuMitikake_Click();
    EXPECT_EQ(main.DialLayer(), newMoonLook);
    program->frmMenu->mnuNowMoon_Click();
    EXPECT_EQ(main.DialLayer(), present);
}

TEST_F(MoonRunTest, RunNeedsNoMoonTable)
{
    std::filesystem::remove(dir.path() / "moondata.dat");
    FrmMain& main = Start();
    program->LunationFrameMilliseconds = 1;
    const QImage newMoonLook = ShadedFor(main, 1.0);
    program->frmMenu->mnuMitikake_Click();
    EXPECT_EQ(main.DialLayer(), newMoonLook);
    // Without data the present moon is the full one.
    program->frmMenu->mnuNowMoon_Click();
    EXPECT_EQ(main.DialLayer(), ShadedFor(main, 0.5));
}

TEST_F(MoonRunTest, SecondRunStartedInsideTheFirstRunsToItsEndThenTheFirstGoesOn)
{
    FrmMain& main = Start();
    program->LunationFrameMilliseconds = 1;
    PaintCounter counter;
    main.installEventFilter(&counter);
    bool started = false;
    QTimer::singleShot(5, [&] {
        started = true;
        program->frmMenu->mnuMitikake->trigger();
    });
    program->frmMenu->mnuMitikake_Click();
    ASSERT_TRUE(started);
    // Every frame changes the moon and so repaints the window: two whole runs come to at least 62
    // paints, one run and the start of another to far fewer.
    EXPECT_GE(counter.paints, 2 * 31);
    EXPECT_EQ(main.DialLayer(), ShadedFor(main, 1.0));
}

TEST_F(MoonRunTest, RunStopsCleanlyWhenTheWindowIsUnloadedMeanwhile)
{
    Start();
    program->LunationFrameMilliseconds = 5;
    FrmMain* first = program->frmMain.loaded();
    QTimer::singleShot(20, [&] { program->frmMenu->mnuSize_Click(2); });
    program->frmMenu->mnuMitikake_Click();
    Settle();
    ASSERT_TRUE(program->frmMain.isLoaded());
    EXPECT_NE(program->frmMain.loaded(), first);
    EXPECT_EQ(program->frmMain->width(), 240);
    EXPECT_EQ(ends, 0);

    // Closing the window during a run, with nothing else loaded, ends the program cleanly.
    QTimer::singleShot(20, [&] { program->frmMenu->mnuUnload_Click(); });
    program->frmMenu->mnuMitikake_Click();
    Settle();
    EXPECT_FALSE(program->frmMain.isLoaded());
    EXPECT_EQ(ends, 1);
}

TEST_F(MoonRunTest, SwitchingTheDialSettingsOffBringsThePlainDialBack)
{
    SetIni("frmMain", "UseLineMojiban", "True");
    FrmMain& main = Start();
    FrmMenu& menu = *program->frmMenu;
    const QImage withMarks = main.DialLayer();

    menu.mnuUseLineMojiban_Click();
    EXPECT_EQ(Ini("frmMain", "UseLineMojiban"), "False");
    EXPECT_FALSE(menu.mnuUseLineMojiban->isChecked());
    // The moon is still shaded, the marks are gone.
    EXPECT_NE(main.DialLayer(), withMarks);
    const QImage plainWithMoon = main.DialLayer();
    menu.mnuUseLineMojiban_Click();
    EXPECT_EQ(Ini("frmMain", "UseLineMojiban"), "True");
    EXPECT_EQ(main.DialLayer(), withMarks);

    menu.mnuUseLineMojiban_Click();
    // Mitikake holding "true" is not exactly "False", so it counts as on and is switched off.
    SetIni("frmMain", "Mitikake", "true");
    menu.mnuSetMitikake_Click();
    EXPECT_EQ(Ini("frmMain", "Mitikake"), "False");
    EXPECT_FALSE(menu.mnuSetMitikake->isChecked());
    QImage plain = main.picBack[program->NowSize + 1].convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(main.DialLayer(), plain);
    menu.mnuSetMitikake_Click();
    EXPECT_TRUE(menu.mnuSetMitikake->isChecked());
    EXPECT_EQ(main.DialLayer(), plainWithMoon);
}

} // namespace
} // namespace vx
