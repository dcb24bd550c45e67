#include "settings/Settings.h"

#include "settings/Convert.h"
#include "settings/Ini.h"

#include <algorithm>

namespace vx {

namespace {

// A key: its section, its name and what a missing or empty value reads as.
struct Key {
    const char* section;
    const char* name;
    const char* defaultValue;
};

constexpr Key kTaskTray{"TaskTray", "Setting", "0"};
constexpr Key kUseLineMojiban{"frmMain", "UseLineMojiban", "False"};
constexpr Key kMitikake{"frmMain", "Mitikake", "True"};
constexpr Key kNowSize{"frmMain", "NowSize", "0"};
constexpr Key kAlwaysOnTop{"frmMain", "AlwaysOnTop", "True"};
constexpr Key kNT{"frmMain", "NT", "False"};
constexpr Key kYearOrClock{"Setting", "YearOrClock", "Year"};
// Top, Left and the colours default to values known only when they are read.
constexpr const char* kPlaceSection = "frmMain";
constexpr const char* kTop = "Top";
constexpr const char* kLeft = "Left";
constexpr const char* kColourSection = "Color";
// The hemisphere defaults to the system's time zone's.
constexpr const char* kHemisphere = "Hemisphere";

std::string Read(const Key& key)
{
    return ini::ReadIni(key.section, key.name, key.defaultValue);
}

bool Write(const char* section, const char* name, const std::string& value)
{
    return ini::WriteIni(section, name, value) != 0;
}

bool Write(const Key& key, const std::string& value)
{
    return Write(key.section, key.name, value);
}

const Key& KeyOf(settings::DialSwitch which)
{
    return which == settings::DialSwitch::Mitikake ? kMitikake : kUseLineMojiban;
}

const char* HemisphereText(Hemisphere hemisphere)
{
    return hemisphere == Hemisphere::South ? "South" : "North";
}

const char* FaceText(Face face)
{
    return face == Face::Year ? "Year" : "Clock";
}

double ReadPlace(const char* name, double presentTwips)
{
    // Within a billion twips any stored number stays a usable coordinate.
    constexpr long long kFar = 1'000'000'000;
    return static_cast<double>(std::clamp(ini::ReadIniWhole(kPlaceSection, name, SingleText(presentTwips)), -kFar, kFar));
}

} // namespace

Face FaceFromSetting(const std::string& value)
{
    return value == "Year" ? Face::Year : Face::Clock;
}

namespace settings {

int ReadTaskTray()
{
    return ini::ReadIniInt(kTaskTray.section, kTaskTray.name, kTaskTray.defaultValue);
}

bool WriteTaskTray(int useTaskTray)
{
    return Write(kTaskTray, IntText(useTaskTray));
}

bool TickedAtLoad(DialSwitch which)
{
    return Read(KeyOf(which)) == "True";
}

bool DrawsMarks()
{
    return Read(kUseLineMojiban) != "False";
}

bool ShadesMoon()
{
    return Read(kMitikake) == "True";
}

bool Switch(DialSwitch which)
{
    const Key& key = KeyOf(which);
    const bool on = Read(key) == "False";
    Write(key, BoolText(on));
    return on;
}

double ReadTop(double presentTwips)
{
    return ReadPlace(kTop, presentTwips);
}

double ReadLeft(double presentTwips)
{
    return ReadPlace(kLeft, presentTwips);
}

bool WriteTop(double twips)
{
    return Write(kPlaceSection, kTop, SingleText(twips));
}

bool WriteLeft(double twips)
{
    return Write(kPlaceSection, kLeft, SingleText(twips));
}

int ReadNowSize()
{
    // Only the three sizes have a dial picture.
    return std::clamp(ini::ReadIniInt(kNowSize.section, kNowSize.name, kNowSize.defaultValue), -1, 1);
}

bool WriteNowSize(int nowSize)
{
    return Write(kNowSize, IntText(nowSize));
}

bool ReadAlwaysOnTop()
{
    return ini::ReadIniBool(kAlwaysOnTop.section, kAlwaysOnTop.name, kAlwaysOnTop.defaultValue);
}

bool WriteAlwaysOnTop(bool on)
{
    return Write(kAlwaysOnTop, BoolText(on));
}

bool ReadNT()
{
    return ini::ReadIniBool(kNT.section, kNT.name, kNT.defaultValue);
}

bool WriteNT(bool on)
{
    return Write(kNT, BoolText(on));
}

Hemisphere ReadHemisphere(Hemisphere zoneDefault)
{
    return ini::ReadIni(kPlaceSection, kHemisphere, HemisphereText(zoneDefault)) == "South" ? Hemisphere::South
                                                                                            : Hemisphere::North;
}

bool WriteHemisphere(Hemisphere hemisphere)
{
    return Write(kPlaceSection, kHemisphere, HemisphereText(hemisphere));
}

Face ReadFace()
{
    return FaceFromSetting(Read(kYearOrClock));
}

bool WriteFace(Face face)
{
    return Write(kYearOrClock, FaceText(face));
}

Face SwitchFace()
{
    const Face next = ReadFace() == Face::Year ? Face::Clock : Face::Year;
    WriteFace(next);
    return next;
}

Colour ReadHandColour(Face face)
{
    const Colour fallback = face == Face::Year ? kYearHandColour : kClockHandColour;
    const long long value = ini::ReadIniWhole(kColourSection, FaceText(face), IntText(fallback));
    return value >= 0 && value <= 0xFFFFFF ? static_cast<Colour>(value) : fallback;
}

} // namespace settings
} // namespace vx
