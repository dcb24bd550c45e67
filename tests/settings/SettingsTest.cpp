#include "settings/Settings.h"

#include "settings/Ini.h"
#include "settings/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vx::settings {
namespace {

// The settings file of a program folder of its own.
class Settings : public ::testing::Test {
protected:
    void SetUp() override { ini::SetIniPath(dir.str(), "velmorax"); }
    void TearDown() override { ini::IniPath.clear(); }

    // Stores a value, or with nullopt removes every trace of the key.
    void Store(const char* section, const char* key, std::optional<std::string> value)
    {
        dir.write("velmorax.ini", "");
        if (value)
            IniSet(ini::IniPath, section, key, *value);
    }
    std::string Stored(const char* section, const char* key)
    {
        return IniGet(ini::IniPath, section, key).value_or("<missing>");
    }

    test::TempDir dir;
};

TEST(SettingsFace, OnlyTheExactWordYearSelectsTheYearFace)
{
    EXPECT_EQ(FaceFromSetting("Year"), Face::Year);
    EXPECT_EQ(FaceFromSetting("year"), Face::Clock);
    EXPECT_EQ(FaceFromSetting("Clock"), Face::Clock);
    EXPECT_EQ(FaceFromSetting(""), Face::Clock);
}

TEST_F(Settings, DialSwitchesKeepTheirThreeReadingRules)
{
    struct Case {
        std::optional<std::string> stored;
        bool ticked;     // the menu tick at load: exactly "True"
        bool marks;      // UseLineMojiban: anything but "False"
        bool shaded;     // Mitikake: exactly "True"
        bool switchedOn; // the menu's switch: anything but "False" is on and goes off
    };
    const Case cases[] = {
        {"True", true, true, true, false},  {"true", false, true, false, false}, {"1", false, true, false, false},
        {"False", false, false, false, true}, {"false", false, true, false, false},
    };
    for (const Case& c : cases) {
        const std::string what = c.stored.value_or("(missing)");
        Store("frmMain", "UseLineMojiban", c.stored);
        EXPECT_EQ(TickedAtLoad(DialSwitch::UseLineMojiban), c.ticked) << what;
        EXPECT_EQ(DrawsMarks(), c.marks) << what;
        EXPECT_EQ(Switch(DialSwitch::UseLineMojiban), c.switchedOn) << what;
        EXPECT_EQ(Stored("frmMain", "UseLineMojiban"), c.switchedOn ? "True" : "False") << what;

        Store("frmMain", "Mitikake", c.stored);
        EXPECT_EQ(TickedAtLoad(DialSwitch::Mitikake), c.ticked) << what;
        EXPECT_EQ(ShadesMoon(), c.shaded) << what;
        EXPECT_EQ(Switch(DialSwitch::Mitikake), c.switchedOn) << what;
    }
    // Missing, each takes its own default: the marks off, the moon shaded.
    Store("frmMain", "UseLineMojiban", std::nullopt);
    EXPECT_FALSE(DrawsMarks());
    EXPECT_EQ(Stored("frmMain", "UseLineMojiban"), "False");
    EXPECT_TRUE(ShadesMoon());
    EXPECT_EQ(Stored("frmMain", "Mitikake"), "True");
}

TEST_F(Settings, FaceSwitchTurnsExactlyYearIntoClockAndAnythingElseIntoYear)
{
    const std::pair<std::optional<std::string>, Face> cases[] = {
        {"Year", Face::Clock}, {"Clock", Face::Year}, {"year", Face::Year}, {std::nullopt, Face::Clock}};
    for (const auto& [stored, next] : cases) {
        Store("Setting", "YearOrClock", stored);
        EXPECT_EQ(SwitchFace(), next) << stored.value_or("(missing)");
        EXPECT_EQ(Stored("Setting", "YearOrClock"), next == Face::Year ? "Year" : "Clock");
        EXPECT_EQ(ReadFace(), next);
    }
}

TEST_F(Settings, NumbersAreKeptInRangeAndWhatIsNoNumberReadsAsTheDefault)
{
    const std::pair<const char*, int> sizes[] = {{"1", 1}, {"5", 1}, {"-7", -1}, {"0.5", 0}, {"abc", 0}};
    for (const auto& [stored, nowSize] : sizes) {
        Store("frmMain", "NowSize", stored);
        EXPECT_EQ(ReadNowSize(), nowSize) << stored;
    }
    EXPECT_EQ(Stored("frmMain", "NowSize"), "0") << "the default written back for what was no number";

    Store("frmMain", "Top", "1e12");
    EXPECT_EQ(ReadTop(300), 1e9);
    Store("frmMain", "Left", std::nullopt);
    EXPECT_EQ(ReadLeft(1185.5), 1186);
    EXPECT_EQ(Stored("frmMain", "Left"), "1185.5");

    const std::pair<const char*, Colour> colours[] = {{"255", RGB(255, 0, 0)}, {"-5", kClockHandColour},
                                                      {"16777216", kClockHandColour}, {"blue", kClockHandColour}};
    for (const auto& [stored, colour] : colours) {
        Store("Color", "Clock", stored);
        EXPECT_EQ(ReadHandColour(Face::Clock), colour) << stored;
    }
    EXPECT_EQ(Stored("Color", "Clock"), "16752640");
    Store("Color", "Clock", "-5");
    ReadHandColour(Face::Clock);
    EXPECT_EQ(Stored("Color", "Clock"), "-5") << "a number that is no colour is left as the user wrote it";
    EXPECT_EQ(ReadHandColour(Face::Year), kYearHandColour);
}

TEST_F(Settings, HemisphereDefaultsToTheZonesAndOnlyTheExactWordSouthTurnsTheMoon)
{
    struct Case {
        std::optional<std::string> stored;
        Hemisphere zone;
        Hemisphere read;
        const char* afterwards;
    };
    const Case cases[] = {
        {std::nullopt, Hemisphere::South, Hemisphere::South, "South"}, // the zone's, written back
        {std::nullopt, Hemisphere::North, Hemisphere::North, "North"},
        {"", Hemisphere::South, Hemisphere::South, "South"},
        {"North", Hemisphere::South, Hemisphere::North, "North"},     // the user's word wins
        {"South", Hemisphere::North, Hemisphere::South, "South"},
        {"south", Hemisphere::South, Hemisphere::North, "south"},     // kept as written, read as north
        {"Sud", Hemisphere::South, Hemisphere::North, "Sud"},
    };
    for (const Case& c : cases) {
        Store("frmMain", "Hemisphere", c.stored);
        const std::string what = c.stored ? *c.stored : "(missing)";
        EXPECT_EQ(ReadHemisphere(c.zone), c.read) << what;
        EXPECT_EQ(Stored("frmMain", "Hemisphere"), c.afterwards) << what;
    }
    EXPECT_TRUE(WriteHemisphere(Hemisphere::South));
    EXPECT_EQ(Stored("frmMain", "Hemisphere"), "South");
    EXPECT_TRUE(WriteHemisphere(Hemisphere::North));
    EXPECT_EQ(Stored("frmMain", "Hemisphere"), "North");
}

} // namespace
} // namespace vx::settings
