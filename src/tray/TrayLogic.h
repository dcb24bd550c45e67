#pragma once

namespace vx {

// The notification-area icon's pictures: the moon at sixteenths of a lunation, 0 and 16 both the
// black disc of the new moon, 8 the full moon.
constexpr int kMoonIconCount = 17;

// The icon for a lunation fraction: the nearest sixteenth, a half going to the even neighbour.
// A fraction outside 0..1 (a moon table out of time order) gives the nearest end picture.
int MoonIconIndex(double phase);

// The mouse messages the icon reports to its form, in the numbering the form's table uses.
namespace traymsg {
constexpr int kMouseMove = 0x200;
constexpr int kLeftDown = 0x201;
constexpr int kLeftUp = 0x202;
constexpr int kLeftDoubleClick = 0x203;
constexpr int kRightDown = 0x204;
constexpr int kRightUp = 0x205;
constexpr int kMiddleUp = 0x208;
// The icon was chosen as a whole (a click an area that draws the icon itself reports, having no
// finer mouse messages to give), numbered as notification areas number their selection message.
constexpr int kSelect = 0x400;
} // namespace traymsg

enum class TrayAction {
    None,
    FocusClock, // give the clock window the keyboard focus, if it is shown
    ShowClock,  // draw the dial and show the clock window, loading it when it is closed
    OpenMenu,   // open the icon's menu at the mouse
};

// What a mouse message on the icon does. The menu opens on the right button's press, not its release.
// A selection shows the clock, as the double-click does: where the area reports selections, no
// double-click ever arrives.
TrayAction TrayActionFor(int message);

} // namespace vx
