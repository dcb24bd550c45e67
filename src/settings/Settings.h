#pragma once

// The settings the program keeps, each key in one place with the rule its readers apply. Every
// read asks the file at that moment and writes a missing or empty key's default back (Ini.h); the
// forms read and write their settings only through these.
//
//   section   key             default         read as
//   TaskTray  Setting         "0"             a 32-bit whole number: 1 while the notification-area icon is on
//   frmMain   UseLineMojiban  "False"         the dial's marks are drawn unless it is exactly "False"
//   frmMain   Mitikake        "True"          the moon is shaded only when it is exactly "True"
//   frmMain   Top, Left       the window's    whole twips, kept within a billion either way
//   frmMain   NowSize         "0"             a 32-bit whole number kept to -1, 0 or 1
//   frmMain   AlwaysOnTop     "True"          a boolean: "True" or "False" in any letter case, or a number
//   frmMain   NT              "False"         a boolean
//   frmMain   Hemisphere      the zone's      exactly "South" turns the moon for the southern sky, anything else is "North"
//   Setting   YearOrClock     "Year"          exactly "Year" is the year face, anything else the clock face
//   Color     Year, Clock     the face's own  a whole number; one that is no colour gives the default
//
// Romanised names from the design: Mojiban is the dial, Mitikake the moon's waxing and waning.

#include "base/Colour.h"
#include "base/Hemisphere.h"

#include <string>

namespace vx {

// What the three hands show: the year, month and day, or hours, minutes and seconds.
enum class Face { Year, Clock };

// Only the exact word "Year" selects the year face; anything else, even "year", is the clock face.
Face FaceFromSetting(const std::string& value);

// The hand colours when the settings give none: red 192, green 160, blue 0 for the year face,
// red 0, green 160, blue 255 for the clock face.
constexpr Colour kYearHandColour = RGB(192, 160, 0);  // 41152
constexpr Colour kClockHandColour = RGB(0, 160, 255); // 16752640

namespace settings {

// The writers return whether the file took the value.

// [TaskTray] Setting.
int ReadTaskTray();
bool WriteTaskTray(int useTaskTray);

// [frmMain] UseLineMojiban and Mitikake, the dial's two switches. At load their menu ticks show
// exactly "True"; the dial itself draws its marks for anything but "False" and shades its moon only
// for exactly "True"; the menu's switch turns anything but "False" off and "False" on.
enum class DialSwitch { UseLineMojiban, Mitikake };
bool TickedAtLoad(DialSwitch which);
bool DrawsMarks();
bool ShadesMoon();
// Switches the setting and returns its new state.
bool Switch(DialSwitch which);

// [frmMain] Top and Left, in twips; a missing one reads as the window's present place.
double ReadTop(double presentTwips);
double ReadLeft(double presentTwips);
bool WriteTop(double twips);
bool WriteLeft(double twips);

// [frmMain] NowSize.
int ReadNowSize();
bool WriteNowSize(int nowSize);

// [frmMain] AlwaysOnTop and NT.
bool ReadAlwaysOnTop();
bool WriteAlwaysOnTop(bool on);
bool ReadNT();
bool WriteNT(bool on);

// [frmMain] Hemisphere: where the moon is seen from. A missing one takes the hemisphere of the
// system's time zone, which the caller gives, and keeps it.
Hemisphere ReadHemisphere(Hemisphere zoneDefault);
bool WriteHemisphere(Hemisphere hemisphere);

// [Setting] YearOrClock.
Face ReadFace();
bool WriteFace(Face face);
// The face switch of a double-click and of the menu: "Year" becomes "Clock", anything else
// "Year". Returns the face now set.
Face SwitchFace();

// [Color] Year or Clock: the hands' colour on that face. A value that is no number is treated as
// missing (its default is written back); a number that is no colour gives the default and is left
// as the user wrote it.
Colour ReadHandColour(Face face);

} // namespace settings
} // namespace vx
