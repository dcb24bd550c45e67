#include "tray/TrayLogic.h"

#include <gtest/gtest.h>

#include <limits>

namespace vx {
namespace {

TEST(TrayLogic, MoonIndexIsTheNearestSixteenthWithHalvesToEven)
{
    struct Case {
        double phase;
        int index;
    };
    const Case cases[] = {
        {0.0, 0},      {1.0, 16},     // both ends are the black disc
        {0.5, 8},                     // the full moon, also the answer when the data cannot tell
        {0.97, 16},                   // 15.52
        {0.03, 0},     {0.032, 1},    // 0.48 and 0.512
        {0.03125, 0},  {0.09375, 2},  // halves: 0.5 and 1.5 go to the even neighbour
        {0.46875, 8},  {0.53125, 8},  // 7.5 and 8.5
        {0.96875, 16}, {0.90625, 14}, // 15.5 and 14.5
    };
    for (const Case& c : cases)
        EXPECT_EQ(MoonIconIndex(c.phase), c.index) << "phase " << c.phase;
}

TEST(TrayLogic, MoonIndexOutsideTheLunationIsHeldToTheEndPictures)
{
    EXPECT_EQ(MoonIconIndex(-0.4), 0);
    EXPECT_EQ(MoonIconIndex(1.7), 16);
    EXPECT_EQ(MoonIconIndex(1e300), 16);
    EXPECT_EQ(MoonIconIndex(-std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(MoonIconIndex(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(TrayLogic, LeftReleaseFocusesDoubleClickShowsRightPressOpensTheMenu)
{
    struct Case {
        int message;
        TrayAction action;
    };
    const Case cases[] = {
        {traymsg::kMouseMove, TrayAction::None},
        {traymsg::kLeftDown, TrayAction::None},
        {traymsg::kLeftUp, TrayAction::FocusClock},
        {traymsg::kLeftDoubleClick, TrayAction::ShowClock},
        {traymsg::kRightDown, TrayAction::OpenMenu},
        {traymsg::kRightUp, TrayAction::None},
        {0x206, TrayAction::None}, // right double-click
        {traymsg::kMiddleUp, TrayAction::None},
        {traymsg::kSelect, TrayAction::ShowClock}, // the only click an area that draws the icon reports
        {0x401, TrayAction::None},                 // a selection by the keyboard
        {0, TrayAction::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrayActionFor(c.message), c.action) << std::hex << c.message;
}

} // namespace
} // namespace vx
