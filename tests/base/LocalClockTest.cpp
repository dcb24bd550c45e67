#include "base/LocalClock.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(SystemZone, IsNamedAsTheCLibraryChoosesIt)
{
    struct Case {
        const char* tz; // nullptr: unset
        const char* link;
        const char* etcTimezone;
        const char* zone;
    };
    const Case cases[] = {
        {"Asia/Tokyo", "", "", "Asia/Tokyo"},
        {":America/New_York", "/usr/share/zoneinfo/Europe/Berlin", "", "America/New_York"},
        {"/usr/share/zoneinfo/Europe/Paris", "", "", "Europe/Paris"},
        {":/usr/share/zoneinfo/posix/Asia/Tokyo", "", "", "Asia/Tokyo"},
        {"JST-9", "", "", "JST-9"},
        {"", "/usr/share/zoneinfo/Asia/Tokyo", "", "UTC"},
        {nullptr, "/usr/share/zoneinfo/Europe/Berlin", "Etc/UTC\n", "Europe/Berlin"},
        {nullptr, "../usr/share/zoneinfo/Australia/Sydney", "", "Australia/Sydney"},
        {nullptr, "", "Asia/Kolkata\n", "Asia/Kolkata"},
        {nullptr, "", " \tAsia/Kolkata \r\n", "Asia/Kolkata"},
        {nullptr, "", " \r\n", "UTC"},
        {nullptr, "", "", "UTC"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZoneNameFrom(c.tz, c.link, c.etcTimezone), c.zone) << (c.tz ? c.tz : "(unset)") << " " << c.link;
}

} // namespace
} // namespace vx
