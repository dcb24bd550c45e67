#include "base/FileLocations.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vx {
namespace {

const UserFolders kUser{"/home/u/.config", "/home/u/.local/share"};

TEST(FileLocations, AProgramFolderOfItsOwnKeepsEverythingBesideTheProgram)
{
    struct Case {
        const char* what;
        ProgramFolderFacts facts;
        UserFolders user;
    };
    const Case cases[] = {
        {"a writable folder (the build folder)", {true, false, false}, kUser},
        {"a read-only folder with a settings file", {false, true, false}, kUser},
        {"an install's folder with a settings file put there", {true, true, true}, kUser},
        {"a read-only folder and no per-user folders", {false, false, false}, {}},
        {"a read-only folder and no data folder", {false, false, false}, {"/home/u/.config", ""}},
    };
    for (const Case& c : cases) {
        const FileLocations files = ChooseFileLocations("/opt/clock", c.facts, c.user);
        EXPECT_FALSE(files.installed) << c.what;
        EXPECT_EQ(files.settingsDir, "/opt/clock/") << c.what;
        EXPECT_EQ(files.moonDir, "/opt/clock/") << c.what;
        EXPECT_EQ(files.helpPage, "/opt/clock/help/index.html") << c.what;
    }
}

TEST(FileLocations, AnInstalledProgramUsesTheUsersFoldersAndTheInstallsHelpPage)
{
    const ProgramFolderFacts readOnly{false, false, true};
    const ProgramFolderFacts writableByRoot{true, false, true};
    const ProgramFolderFacts readOnlyUnknown{false, false, false};
    for (const ProgramFolderFacts& facts : {readOnly, writableByRoot, readOnlyUnknown}) {
        const FileLocations files = ChooseFileLocations("/usr/bin", facts, kUser);
        EXPECT_TRUE(files.installed);
        EXPECT_EQ(files.settingsDir, "/home/u/.config/velmorax/");
        EXPECT_EQ(files.moonDir, "/home/u/.local/share/velmorax/");
        EXPECT_EQ(files.helpPage, "/usr/share/velmorax/help/index.html");
    }
    // A base folder given with its separator gets no second one.
    const FileLocations files = ChooseFileLocations("/usr/bin/", readOnly, {"/c/", "/d/"});
    EXPECT_EQ(files.settingsDir, "/c/velmorax/");
    EXPECT_EQ(files.moonDir, "/d/velmorax/");
}

TEST(FileLocations, APortableHelpPageAtTheRootHasOneSeparator)
{
    EXPECT_EQ(ChooseFileLocations("/", {true, false, false}, kUser).helpPage, "/help/index.html");
}

TEST(FileLocations, TheFolderIsExaminedForWritingASettingsFileAndAnInstallsHelpPage)
{
    test::TempDir dir;
    const std::filesystem::path bin = dir.path() / "usr" / "bin";
    std::filesystem::create_directories(bin);
    ProgramFolderFacts facts = ExamineProgramFolder(bin.string(), "velmorax");
    EXPECT_TRUE(facts.writable);
    EXPECT_FALSE(facts.holdsSettings);
    EXPECT_FALSE(facts.isInstall);

    const std::filesystem::path help = dir.path() / "usr" / "share" / "velmorax" / "help";
    std::filesystem::create_directories(help);
    dir.write("usr/share/velmorax/help/index.html", "<html></html>");
    dir.write("usr/bin/velmorax.ini", "[frmMain]\n");
    facts = ExamineProgramFolder(bin.string() + "/", "velmorax");
    EXPECT_TRUE(facts.holdsSettings);
    EXPECT_TRUE(facts.isInstall);
    EXPECT_FALSE(ExamineProgramFolder(bin.string(), "other").holdsSettings);
}

TEST(FileLocations, UserFoldersAreMadeWithTheirParentsAndKeptPrivate)
{
    test::TempDir dir;
    const std::string folder = dir.file("config/velmorax/");
    ASSERT_TRUE(MakeUserFolder(folder));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(std::filesystem::status(folder).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    EXPECT_TRUE(MakeUserFolder(folder)) << "an existing folder is fine";
    dir.write("plain", "x");
    EXPECT_FALSE(MakeUserFolder(dir.file("plain/velmorax/"))) << "a file in the way";
}

} // namespace
} // namespace vx
