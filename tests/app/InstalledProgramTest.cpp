#include "app/FrmMain.h"
#include "app/Program.h"
#include "menu/FrmMenu.h"
#include "moon/MoonTable.h"
#include "settings/IniFile.h"
#include "support/ProgramFixture.h"

#include <QAction>
#include <QImage>

#include <filesystem>

namespace vx {
namespace {

namespace fs = std::filesystem;

// The program run from an install: P/bin/velmorax with its help page in P/share/velmorax, and a
// user whose folders lie under home/.
class InstalledProgramTest : public test::ProgramFixture {
protected:
    void SetUp() override
    {
        fs::create_directories(dir.path() / "usr/bin");
        fs::create_directories(dir.path() / "usr/share/velmorax/help");
        dir.write("usr/share/velmorax/help/index.html", "<!DOCTYPE html><title>help</title>");
        platform.programDir = dir.file("usr/bin");
        platform.userFolders = {dir.file("home/.config"), dir.file("home/.local/share")};
    }
    std::string UserIni() const { return dir.file("home/.config/velmorax/velmorax.ini"); }
    std::string DataDir() const { return dir.file("home/.local/share/velmorax"); }
};

TEST_F(InstalledProgramTest, KeepsItsSettingsAndMoonTableInTheUsersFoldersAndNothingBesideItself)
{
    Start();
    EXPECT_TRUE(program->Files.installed);
    EXPECT_EQ(IniGet(UserIni(), "frmMain", "NowSize").value_or("<missing>"), "0");
    EXPECT_EQ(dir.read("home/.local/share/velmorax/moondata.zone"), "Asia/Tokyo\n");
    EXPECT_GT(ProgramMoonTable().MoonData().size(), 2400u) << "the new table is the one the clock reads";
    EXPECT_TRUE(fs::is_empty(dir.path() / "usr/bin")) << "nothing is written beside an installed program";

    // A size chosen from the menu survives the next start, from the user's settings file.
    program->frmMenu->mnuSize[2]->trigger();
    Settle();
    program.reset();
    Settle();
    Start();
    EXPECT_EQ(program->frmMain->width(), 240);
    EXPECT_EQ(IniGet(UserIni(), "frmMain", "NowSize").value_or("<missing>"), "1");
}

TEST_F(InstalledProgramTest, WritesTheMoonTableAgainOnlyWhenTheZoneChangesBetweenStarts)
{
    Start();
    program.reset();
    Settle();
    // A table for this zone is read as it is, however short.
    dir.write("home/.local/share/velmorax/moondata.dat", "2026/12/09 09\n");
    Start();
    EXPECT_EQ(ProgramMoonTable().MoonData().size(), 1u);
    program.reset();
    Settle();

    platform.zone = "Europe/Berlin";
    Start();
    EXPECT_EQ(dir.read("home/.local/share/velmorax/moondata.zone"), "Europe/Berlin\n");
    EXPECT_GT(ProgramMoonTable().MoonData().size(), 2400u);
}

TEST_F(InstalledProgramTest, LooksForTheUsersDialPicturesBesideTheSettingsAndOpensTheInstallsHelpPage)
{
    fs::create_directories(dir.path() / "home/.config/velmorax");
    QImage wrongWidth(100, 100, QImage::Format_RGB32);
    wrongWidth.fill(Qt::red);
    ASSERT_TRUE(wrongWidth.save(QString::fromStdString(dir.file("home/.config/velmorax/useimage1.bmp"))));
    Start();
    Settle();
    ASSERT_FALSE(platform.messages.empty()) << "the picture in the settings folder was looked at";
    EXPECT_NE(platform.messages[0].text.find("useimage1 の大きさは 120"), std::string::npos);

    platform.messages.clear();
    program->frmMenu->mnuHelp->trigger();
    EXPECT_EQ(platform.openedFiles, std::vector<std::string>{dir.file("usr/share/velmorax/help/index.html")});
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(InstalledProgramTest, AUserWhoseDataFolderCannotBeWrittenGetsTheTableBesideTheProgram)
{
    fs::create_directories(dir.path() / "home");
    dir.write("home/.local", "a file where the data folder's parent should be");
    dir.write("usr/bin/moondata.dat", "2026/12/09 09\n2027/01/08 05\n");
    Start();
    EXPECT_TRUE(program->Files.installed);
    EXPECT_EQ(ProgramMoonTable().MoonData().size(), 2u);
    EXPECT_TRUE(fs::exists(UserIni())) << "the settings go on in the user's folder";
}

TEST_F(InstalledProgramTest, ASettingsFileBesideTheProgramKeepsItPortable)
{
    dir.write("usr/bin/velmorax.ini", "[frmMain]\r\nNowSize=-1\r\n");
    Start();
    EXPECT_FALSE(program->Files.installed);
    EXPECT_EQ(program->frmMain->width(), 60);
    EXPECT_FALSE(fs::exists(UserIni()));
    EXPECT_FALSE(fs::exists(DataDir()));
}

} // namespace
} // namespace vx
