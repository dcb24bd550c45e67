#pragma once

// Which half of the sky the moon is seen from. From the southern hemisphere the moon stands upside
// down against the northern view: the waxing moon is lit on the left.

#include <optional>
#include <string>
#include <string_view>

namespace vx {

enum class Hemisphere { North, South };

// The hemisphere of a zone as a zone table of the time-zone database lists it (zone1970.tab or
// zone.tab: tab-separated lines of country codes, the ISO 6709 place "+DDMM+DDDMM" or
// "+DDMMSS+DDDMMSS", the zone name, comments; "#" starts a comment line). South when the zone's
// place lies south of the equator; nothing when the table does not list the zone.
std::optional<Hemisphere> HemisphereInZoneTable(std::string_view table, std::string_view zone);

// The zone a link of the database's compiled source (tzdata.zi: lines "L TARGET LINK") points to;
// nothing when the text holds no such link. Old names such as "Australia/ACT" are links.
std::optional<std::string> ZoneLinkTarget(std::string_view source, std::string_view zone);

// The hemisphere of the named zone in the database in the given folder: from zone1970.tab, else
// zone.tab, following a link of tzdata.zi when neither lists the name. North for a zone the
// database does not place (UTC, a rule such as "JST-9", no database at all).
Hemisphere HemisphereOfZone(const std::string& zone, const std::string& databaseDir);

// The time-zone database's folder: TZDIR when it is set, else /usr/share/zoneinfo.
std::string ZoneDatabaseDir();

} // namespace vx
