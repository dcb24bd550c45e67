#include "base/ProgramPaths.h"
#include "menu/FrmMenu.h"
#include "support/ProgramFixture.h"

#include <QAction>

namespace vx {
namespace {

using HelpCommandTest = test::ProgramFixture;

TEST_F(HelpCommandTest, OpensTheHelpFileBesideTheProgramEachTimeWithoutAMessage)
{
    Start();
    FrmMenu& menu = *program->frmMenu;
    menu.mnuHelp->trigger();
    menu.mnuHelp->trigger();
    const std::string expected = dir.file("Velmorax.hlp");
    EXPECT_EQ(platform.openedFiles, (std::vector<std::string>{expected, expected}));
    EXPECT_TRUE(platform.messages.empty()) << "the file is missing; that is the opener's affair";
}

TEST_F(HelpCommandTest, PutsOneSeparatorBeforeTheFileNameAlsoAtARootFolder)
{
    Start();
    const std::pair<const char*, const char*> cases[] = {
        {"/", "/Velmorax.hlp"},
        {"/opt/velmorax", "/opt/velmorax/Velmorax.hlp"},
        {"/opt/velmorax/", "/opt/velmorax/Velmorax.hlp"},
    };
    for (const auto& [folder, path] : cases) {
        program->AppDir = WithTrailingSeparator(folder);
        platform.openedFiles.clear();
        program->frmMenu->mnuHelp_Click();
        EXPECT_EQ(platform.openedFiles, std::vector<std::string>{path}) << folder;
    }
}

} // namespace
} // namespace vx
