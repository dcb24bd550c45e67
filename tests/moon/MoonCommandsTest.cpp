#include "menu/FrmMenu.h"
#include "moon/MoonReport.h"
#include "moon/MoonTable.h"
#include "support/ProgramFixture.h"

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

} // namespace
} // namespace vx
