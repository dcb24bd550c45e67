#include "base/FileLocations.h"

#include "support/PlatformFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vx {
namespace {

// Paths below are written with "/"; the program's answers use the platform's separator.
std::string N(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = test::kSeparator;
    return path;
}

const UserFolders kUser{N("/home/u/.config"), N("/home/u/.local/share")};

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
        {"a read-only folder and no data folder", {false, false, false}, {N("/home/u/.config"), ""}},
    };
    for (const Case& c : cases) {
        const FileLocations files = ChooseFileLocations(N("/opt/clock"), c.facts, c.user);
        EXPECT_FALSE(files.installed) << c.what;
        EXPECT_EQ(files.settingsDir, N("/opt/clock/")) << c.what;
        EXPECT_EQ(files.moonDir, N("/opt/clock/")) << c.what;
        EXPECT_EQ(files.helpPage, N("/opt/clock/help/index.html")) << c.what;
    }
}

TEST(FileLocations, AnInstalledProgramUsesTheUsersFoldersAndTheInstallsHelpPage)
{
    const ProgramFolderFacts readOnly{false, false, true};
    const ProgramFolderFacts writableByRoot{true, false, true};
    const ProgramFolderFacts readOnlyUnknown{false, false, false};
    for (const ProgramFolderFacts& facts : {readOnly, writableByRoot, readOnlyUnknown}) {
        const FileLocations files = ChooseFileLocations(N("/usr/bin"), facts, kUser);
        EXPECT_TRUE(files.installed);
        EXPECT_EQ(files.settingsDir, N("/home/u/.config/velmorax/"));
        EXPECT_EQ(files.moonDir, N("/home/u/.local/share/velmorax/"));
        EXPECT_EQ(files.helpPage, N("/usr/share/velmorax/help/index.html"));
    }
    // A base folder given with its separator gets no second one.
    const FileLocations files = ChooseFileLocations(N("/usr/bin/"), readOnly, {N("/c/"), N("/d/")});
    EXPECT_EQ(files.settingsDir, N("/c/velmorax/"));
    EXPECT_EQ(files.moonDir, N("/d/velmorax/"));
}

TEST(FileLocations, APortableHelpPageAtTheRootHasOneSeparator)
{
    EXPECT_EQ(ChooseFileLocations(N("/"), {true, false, false}, kUser).helpPage, N("/help/index.html"));
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
              test::kPrivateFolderPermissions);
    EXPECT_TRUE(MakeUserFolder(folder)) << "an existing folder is fine";
    dir.write("plain", "x");
    EXPECT_FALSE(MakeUserFolder(dir.file("plain/velmorax/"))) << "a file in the way";
}

} // namespace
} // namespace vx
