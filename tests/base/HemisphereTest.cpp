#include "base/Hemisphere.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vx {
namespace {

// A few lines in the tables' own shape: comments, places with and without seconds, a zone listed
// for several countries, and a line ending in CR LF.
constexpr const char* kTable =
    "# tzdb timezone descriptions\n"
    "#\n"
    "AU\t-3352+15113\tAustralia/Sydney\tNew South Wales (most areas)\n"
    "JP\t+353916+1394441\tAsia/Tokyo\n"
    "BR\t-2332-04637\tAmerica/Sao_Paulo\tBrazil (southeast)\n"
    "NZ,AQ\t-3652+17446\tPacific/Auckland\tNew Zealand time\r\n"
    "EC\t-0210-07950\tAmerica/Guayaquil\tEcuador (mainland)\n"
    "KI\t+0125+17300\tPacific/Tarawa\tGilbert Islands\n"
    "XX\t-0000+00000\tEtc/OnTheLine\n"
    "YY\tnonsense\tBad/Place\n";

TEST(HemisphereTest, ZoneTableGivesTheSideOfTheEquatorByTheLatitudesSign)
{
    struct Case {
        const char* zone;
        std::optional<Hemisphere> expected;
    };
    const Case cases[] = {
        {"Australia/Sydney", Hemisphere::South},
        {"Asia/Tokyo", Hemisphere::North},          // degrees, minutes and seconds
        {"America/Sao_Paulo", Hemisphere::South},   // both coordinates negative
        {"Pacific/Auckland", Hemisphere::South},    // several countries, CR LF
        {"America/Guayaquil", Hemisphere::South},   // two degrees south
        {"Pacific/Tarawa", Hemisphere::North},      // one degree north
        {"Etc/OnTheLine", Hemisphere::North},       // the equator itself is not south of it
        {"Bad/Place", std::nullopt},                // a place that is no ISO 6709 latitude
        {"Australia", std::nullopt},                // a part of a name is no name
        {"australia/sydney", std::nullopt},         // names are compared exactly
        {"tzdb timezone descriptions", std::nullopt}, // comments are not lines of the table
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HemisphereInZoneTable(kTable, c.zone), c.expected) << c.zone;
}

TEST(HemisphereTest, LinksOfTheCompiledSourceLeadOldNamesToTheirZones)
{
    constexpr const char* kSource = "Z Australia/Sydney 10:4:52 - LMT 1895 F\n"
                                    "L Australia/Sydney Australia/ACT\n"
                                    "L America/Sao_Paulo Brazil/East\n";
    EXPECT_EQ(ZoneLinkTarget(kSource, "Australia/ACT"), "Australia/Sydney");
    EXPECT_EQ(ZoneLinkTarget(kSource, "Brazil/East"), "America/Sao_Paulo");
    EXPECT_EQ(ZoneLinkTarget(kSource, "Australia/Sydney"), std::nullopt); // a zone, not a link
    EXPECT_EQ(ZoneLinkTarget(kSource, ""), std::nullopt);
}

TEST(HemisphereTest, DatabaseIsAskedInTheNewTableThenTheOldThenThroughLinks)
{
    test::TempDir db;
    // The newer table merges some zones into others; the older one still lists them.
    db.write("zone1970.tab", "AU\t-3352+15113\tAustralia/Sydney\n");
    db.write("zone.tab", "AU\t-3352+15113\tAustralia/Sydney\nZA\t-2615+02800\tAfrica/Johannesburg\n"
                         "NO\t+5955+01045\tEurope/Oslo\n");
    db.write("tzdata.zi", "L Australia/Sydney Australia/ACT\nL Africa/Nowhere Africa/Gone\n");
    struct Case {
        const char* zone;
        Hemisphere expected;
    };
    const Case cases[] = {
        {"Australia/Sydney", Hemisphere::South},
        {"Africa/Johannesburg", Hemisphere::South}, // only in zone.tab
        {"Europe/Oslo", Hemisphere::North},
        {"Australia/ACT", Hemisphere::South},        // a link to a listed zone
        {"Africa/Gone", Hemisphere::North},          // a link to a zone no table lists
        {"UTC", Hemisphere::North},                  // no place at all
        {"JST-9", Hemisphere::North},                // a rule, not a name
        {"", Hemisphere::North},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HemisphereOfZone(c.zone, db.str()), c.expected) << c.zone;
    // No database: every zone is northern, as the clock always was.
    EXPECT_EQ(HemisphereOfZone("Australia/Sydney", db.file("missing")), Hemisphere::North);
}

TEST(HemisphereTest, TheSystemsDatabasePlacesSydneySouthAndTokyoNorth)
{
    const std::string dir = ZoneDatabaseDir();
    if (HemisphereOfZone("Australia/Sydney", dir) != Hemisphere::South)
        GTEST_SKIP() << "no zone tables in " << dir;
    EXPECT_EQ(HemisphereOfZone("Asia/Tokyo", dir), Hemisphere::North);
    EXPECT_EQ(HemisphereOfZone("Pacific/Auckland", dir), Hemisphere::South);
}

} // namespace
} // namespace vx
