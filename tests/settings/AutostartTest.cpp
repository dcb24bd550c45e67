#include "settings/Autostart.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace vx {
namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(AutostartTest, ProgramPathBecomesOneExecArgument)
{
    struct Case {
        const char* path;
        const char* exec;
    };
    const Case cases[] = {
        {"/usr/bin/velmorax", "/usr/bin/velmorax"},
        {"/home/a b/velmorax", R"("/home/a b/velmorax")"}, // a blank: quoted
        {"/opt/it's/velmorax", R"("/opt/it's/velmorax")"}, // a quote of the other kind
        {"/opt/$HOME/x", R"("/opt/\\$HOME/x")"},           // "$" escaped, then the escape's backslash
        {R"(/opt/say"hi"/x)", R"("/opt/say\\"hi\\"/x")"},
        {R"(/opt/a\b/x)", R"("/opt/a\\\\b/x")"},          // a backslash, escaped twice
        {"/opt/100%/x", "/opt/100%%/x"},                  // no field code
        {"/opt/100% sure/x", R"("/opt/100%% sure/x")"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DesktopExecArgument(c.path), c.exec) << c.path;
}

TEST(AutostartTest, EntryIsWrittenUnderTheAutostartFolderAndRemovedAgain)
{
    test::TempDir config;
    const std::string home = config.str();
    EXPECT_EQ(AutostartEntryPath(home), home + "/autostart/velmorax.desktop");
    EXPECT_EQ(AutostartEntryPath(home + "/"), home + "/autostart/velmorax.desktop");
    EXPECT_FALSE(AutostartEntryExists(home));

    ASSERT_EQ(WriteAutostartEntry(home, "/opt/velmorax/velmorax"), FileResult::Done);
    EXPECT_TRUE(AutostartEntryExists(home));
    const std::string text = ReadFile(AutostartEntryPath(home));
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(text.find("\nType=Application\n"), std::string::npos);
    EXPECT_NE(text.find("\nExec=/opt/velmorax/velmorax\n"), std::string::npos);

    // Written again for a program that moved: one entry, the new path.
    ASSERT_EQ(WriteAutostartEntry(home, "/usr/bin/velmorax"), FileResult::Done);
    EXPECT_NE(ReadFile(AutostartEntryPath(home)).find("\nExec=/usr/bin/velmorax\n"), std::string::npos);

    EXPECT_TRUE(RemoveAutostartEntry(home));
    EXPECT_FALSE(AutostartEntryExists(home));
    EXPECT_TRUE(RemoveAutostartEntry(home)); // nothing left to remove is no failure
}

TEST(AutostartTest, NoConfigurationFolderMeansNoEntry)
{
    EXPECT_FALSE(AutostartEntryExists(""));
    EXPECT_EQ(WriteAutostartEntry("", "/usr/bin/velmorax"), FileResult::Refused);
}

TEST(AutostartTest, EntriesPassTheDesktopFileValidator)
{
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no desktop-file-validate";
    for (const char* path : {"/usr/bin/velmorax", R"(/home/a b/it's $x"q"/100%/velmorax)"}) {
        test::TempDir config;
        ASSERT_EQ(WriteAutostartEntry(config.str(), path), FileResult::Done);
        const std::string command =
            "desktop-file-validate '" + AutostartEntryPath(config.str()) + "' > '" + config.file("out") + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << path << ":\n" << ReadFile(config.file("out"));
        EXPECT_EQ(ReadFile(config.file("out")), "") << path;
    }
}

} // namespace
} // namespace vx
