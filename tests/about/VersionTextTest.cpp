#include "about/VersionText.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(VersionText, NumbersArePlainDecimalsJoinedByDots)
{
    struct Case {
        int major, minor, revision;
        const char* text;
    };
    const Case cases[] = {
        {1, 1, 68, "Version 1.1.68"},
        {0, 0, 0, "Version 0.0.0"},
        {2, 0, 7, "Version 2.0.7"},
        {10, 20, 305, "Version 10.20.305"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VersionText(c.major, c.minor, c.revision), c.text);
}

TEST(VersionText, ThisBuildShowsTheVersionTheBuildFilesKeep)
{
    EXPECT_EQ(ProgramVersionText(), "Version 1.1.68");
}

} // namespace
} // namespace vx
