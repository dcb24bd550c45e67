#include "settings/Ini.h"

#include "settings/Convert.h"
#include "support/PlatformFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace vx::ini {
namespace {

class Ini : public ::testing::Test {
protected:
    void SetUp() override { SetIniPath(dir.str(), "velmorax"); }
    void TearDown() override { IniPath.clear(); }
    std::string File() const { return dir.read("velmorax.ini"); }

    test::TempDir dir;
};

TEST(IniPathTest, HasOneSeparatorBetweenFolderAndName)
{
    const struct {
        const char* dir;
        const char* expected;
    } cases[] = {
        {"/", "/velmorax.ini"},
        {"/opt/velmorax", "/opt/velmorax/velmorax.ini"},
        {"/opt/velmorax/", "/opt/velmorax/velmorax.ini"},
#ifdef _WIN32
        {"C:\\", "C:\\velmorax.ini"},
        {"C:\\Clock", "C:\\Clock\\velmorax.ini"},
#endif
    };
    // Written with "/" above; here with the platform's separator, which either accepts.
    const auto native = [](std::string path) {
        for (char& c : path)
            if (c == '/')
                c = test::kSeparator;
        return path;
    };
    for (const auto& c : cases) {
        SetIniPath(native(c.dir), "velmorax");
        EXPECT_EQ(IniPath, native(c.expected));
    }
    IniPath.clear();
}

TEST_F(Ini, FirstStartWritesEveryDefaultItReads)
{
    EXPECT_EQ(ReadIni("TaskTray", "Setting", "0"), "0");
    EXPECT_EQ(ReadIni("frmMain", "UseLineMojiban", "False"), "False");
    EXPECT_EQ(ReadIni("frmMain", "Mitikake", "True"), "True");
    EXPECT_EQ(ReadIniWhole("frmMain", "Top", SingleText(1185)), 1185);
    EXPECT_TRUE(ReadIniBool("frmMain", "AlwaysOnTop", "True"));
    EXPECT_EQ(File(), test::AsNewFile("[TaskTray]\nSetting=0\n\n[frmMain]\nUseLineMojiban=False\nMitikake=True\n"
                                      "Top=1185\nAlwaysOnTop=True\n"));
}

TEST_F(Ini, EmptyValueIsReplacedByTheDefault)
{
    dir.write("velmorax.ini", "[frmMain]\nTop=\nLeft=  \n");
    EXPECT_EQ(ReadIni("frmMain", "Top", "1185"), "1185");
    EXPECT_EQ(ReadIni("frmMain", "Left", "-300"), "-300");
    EXPECT_EQ(File(), "[frmMain]\nTop=1185\nLeft=  -300\n");
}

TEST_F(Ini, StoredValuesAreReadAsTheyStandAndTheFileIsLeftAlone)
{
    const std::string text = "[Setting]\nYearOrClock=year\n[frmMain]\nTop=1185.5\nNT=false\n";
    dir.write("velmorax.ini", text);
    EXPECT_EQ(ReadIni("Setting", "YearOrClock", "Year"), "year");
    EXPECT_EQ(ReadIniWhole("frmMain", "Top", "0"), 1186);
    EXPECT_FALSE(ReadIniBool("frmMain", "NT", "True"));
    EXPECT_EQ(File(), text);
}

TEST_F(Ini, ValuesThatDoNotConvertAreReplacedByTheDefault)
{
    dir.write("velmorax.ini", "[frmMain]\nNowSize=big\nAlwaysOnTop=maybe\n");
    EXPECT_EQ(ReadIniWhole("frmMain", "NowSize", "0"), 0);
    EXPECT_TRUE(ReadIniBool("frmMain", "AlwaysOnTop", "True"));
    EXPECT_EQ(File(), "[frmMain]\nNowSize=0\nAlwaysOnTop=True\n");
}

TEST_F(Ini, FileArgumentOverridesTheIniPath)
{
    const std::string other = dir.file("other.ini");
    EXPECT_NE(WriteIni("Color", "Year", "41152", other), 0);
    EXPECT_EQ(ReadIni("Color", "Year", "0", other), "41152");
    EXPECT_FALSE(dir.exists("velmorax.ini"));
}

TEST_F(Ini, UnwritableFileStillGivesTheDefaults)
{
    SetIniPath(dir.file("no-such-folder"), "velmorax");
    EXPECT_EQ(ReadIni("frmMain", "NowSize", "0"), "0");
    EXPECT_EQ(ReadIniWhole("frmMain", "NowSize", "0"), 0);
    EXPECT_EQ(WriteIni("frmMain", "NowSize", "1"), 0);
}

} // namespace
} // namespace vx::ini
