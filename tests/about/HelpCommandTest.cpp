#include "menu/FrmMenu.h"
#include "support/ProgramFixture.h"

#include <QAction>

#include <filesystem>

namespace vx {
namespace {

// The help command in a program folder of its own: the help page lies at help/index.html beside
// the program, the old help file Velmorax.hlp beside it when it is there at all.
class HelpCommandTest : public test::ProgramFixture {
protected:
    std::string Page() const { return dir.file("help/index.html"); }
    std::string HelpFile() const { return dir.file("Velmorax.hlp"); }
    void WritePage()
    {
        std::filesystem::create_directories(dir.path() / "help");
        dir.write("help/index.html", "<!DOCTYPE html><title>help</title>");
    }
    void Choose()
    {
        platform.openedFiles.clear();
        platform.messages.clear();
        program->frmMenu->mnuHelp->trigger();
    }
};

TEST_F(HelpCommandTest, OpensTheHelpPageWithTheDesktopsOpenerEachTimeWithoutAMessage)
{
    WritePage();
    Start();
    program->frmMenu->mnuHelp->trigger();
    program->frmMenu->mnuHelp->trigger();
    EXPECT_EQ(platform.openedFiles, (std::vector<std::string>{Page(), Page()}));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(HelpCommandTest, PrefersTheOldHelpFileAndFallsBackToThePageWhenNoOpenerTakesIt)
{
    WritePage();
    dir.write("Velmorax.hlp", "?_\x03");
    Start();

    Choose();
    EXPECT_EQ(platform.openedFiles, std::vector<std::string>{HelpFile()}) << "the desktop opens the help file";
    EXPECT_TRUE(platform.messages.empty());

    platform.unopenable.insert(HelpFile());
    Choose();
    EXPECT_EQ(platform.openedFiles, (std::vector<std::string>{HelpFile(), Page()}));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(HelpCommandTest, SaysWhereThePageIsWhenNothingOpensIt)
{
    struct Case {
        const char* what;
        bool pageThere;
        bool helpFileThere;
        std::vector<std::string> opened;
        const char* saying;
    };
    const std::vector<Case> cases = {
        {"no page, no help file", false, false, {}, "見つかりません"},
        {"a page no program opens", true, false, {"page"}, "開けるプログラムが見つかりません"},
        {"neither the help file nor the page opens", true, true, {"hlp", "page"}, "開けるプログラムが見つかりません"},
        {"a help file no program opens, no page", false, true, {"hlp"}, "見つかりません"},
    };
    Start();
    for (const Case& c : cases) {
        std::filesystem::remove_all(dir.path() / "help");
        std::filesystem::remove(HelpFile());
        if (c.pageThere)
            WritePage();
        if (c.helpFileThere)
            dir.write("Velmorax.hlp", "?_\x03");
        platform.unopenable = {Page(), HelpFile()};
        Choose();
        std::vector<std::string> expected;
        for (const std::string& which : c.opened)
            expected.push_back(which == "page" ? Page() : HelpFile());
        EXPECT_EQ(platform.openedFiles, expected) << c.what;
        ASSERT_EQ(platform.messages.size(), 1u) << c.what << ": never silent";
        EXPECT_NE(platform.messages[0].text.find(Page()), std::string::npos) << c.what << ": names the page";
        EXPECT_NE(platform.messages[0].text.find(c.saying), std::string::npos) << c.what;
    }
}

} // namespace
} // namespace vx
