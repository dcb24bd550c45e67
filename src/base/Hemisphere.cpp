#include "base/Hemisphere.h"

#include "base/FileAccess.h"

#include <cstdlib>

namespace vx {

namespace {

// The tables are a few tens of kilobytes; anything far larger is no table.
constexpr std::size_t kMaxTableBytes = 4 * 1024 * 1024;

// The fields of one line, split at tabs (or, in tzdata.zi, at blanks).
template <class Visit> void ForEachLine(std::string_view text, Visit visit)
{
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!visit(line))
            return;
        if (end == std::string_view::npos)
            return;
        text.remove_prefix(end + 1);
    }
}

std::string_view Field(std::string_view line, int index, char separator)
{
    for (int i = 0; i < index; ++i) {
        const std::size_t at = line.find(separator);
        if (at == std::string_view::npos)
            return {};
        line.remove_prefix(at + 1);
    }
    return line.substr(0, line.find(separator));
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The latitude part of an ISO 6709 place starts with its sign and at least four digits (degrees
// and minutes); a sign of '-' with any digit other than zero lies south of the equator.
std::optional<Hemisphere> HemisphereOfPlace(std::string_view place)
{
    if (place.size() < 5 || (place[0] != '+' && place[0] != '-'))
        return std::nullopt;
    std::size_t digits = 1;
    bool nonZero = false;
    while (digits < place.size() && IsDigit(place[digits])) {
        nonZero = nonZero || place[digits] != '0';
        ++digits;
    }
    // Degrees and minutes, or degrees, minutes and seconds.
    if (digits - 1 != 4 && digits - 1 != 6)
        return std::nullopt;
    return place[0] == '-' && nonZero ? Hemisphere::South : Hemisphere::North;
}

std::optional<Hemisphere> FromTableFile(const std::string& file, std::string_view zone)
{
    std::string table;
    if (ReadWholeFile(PathFromUtf8(file), table, kMaxTableBytes) != FileResult::Done)
        return std::nullopt;
    return HemisphereInZoneTable(table, zone);
}

std::optional<Hemisphere> FromTables(const std::string& dir, std::string_view zone)
{
    if (auto found = FromTableFile(dir + "zone1970.tab", zone))
        return found;
    return FromTableFile(dir + "zone.tab", zone);
}

} // namespace

std::optional<Hemisphere> HemisphereInZoneTable(std::string_view table, std::string_view zone)
{
    std::optional<Hemisphere> found;
    if (zone.empty())
        return found;
    ForEachLine(table, [&](std::string_view line) {
        if (line.empty() || line[0] == '#')
            return true;
        if (Field(line, 2, '\t') != zone)
            return true;
        found = HemisphereOfPlace(Field(line, 1, '\t'));
        return false;
    });
    return found;
}

std::optional<std::string> ZoneLinkTarget(std::string_view source, std::string_view zone)
{
    std::optional<std::string> target;
    if (zone.empty())
        return target;
    ForEachLine(source, [&](std::string_view line) {
        if (line.size() < 2 || line[0] != 'L' || line[1] != ' ')
            return true;
        if (Field(line, 2, ' ') != zone)
            return true;
        target = std::string(Field(line, 1, ' '));
        return false;
    });
    return target;
}

Hemisphere HemisphereOfZone(const std::string& zone, const std::string& databaseDir)
{
    if (zone.empty())
        return Hemisphere::North;
    std::string dir = databaseDir;
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    if (auto found = FromTables(dir, zone))
        return *found;
    // An old name: the tables list only the zone it links to.
    std::string source;
    if (ReadWholeFile(PathFromUtf8(dir + "tzdata.zi"), source, kMaxTableBytes) == FileResult::Done)
        if (auto target = ZoneLinkTarget(source, zone))
            if (auto found = FromTables(dir, *target))
                return *found;
    return Hemisphere::North;
}

std::string ZoneDatabaseDir()
{
    const char* tzdir = std::getenv("TZDIR");
    return tzdir && *tzdir ? tzdir : "/usr/share/zoneinfo";
}

} // namespace vx
