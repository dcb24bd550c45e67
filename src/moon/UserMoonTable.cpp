#include "moon/UserMoonTable.h"

#include <filesystem>
#include <fstream>
#include <optional>

namespace vx {

namespace {

// The zone named in the zone file, or nothing when there is no such file.
std::optional<std::string> RecordedZone(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string zone;
    std::getline(in, zone);
    while (!zone.empty() && (zone.back() == '\r' || zone.back() == ' '))
        zone.pop_back();
    return zone;
}

} // namespace

UserMoonTableOutcome PrepareUserMoonTable(const std::string& dir, const std::string& zone,
                                          const LocalClockOf& localClock)
{
    const std::string tablePath = dir + kMoonTableFileName;
    const std::string zonePath = dir + kMoonZoneFileName;
    std::error_code ec;
    const bool haveTable = std::filesystem::exists(tablePath, ec);
    const std::optional<std::string> recorded = RecordedZone(zonePath);
    if (haveTable && (!recorded || *recorded == zone))
        return {};

    UserMoonTableOutcome outcome{UserMoonTableOutcome::Written, {}};
    // The table first, then the zone: a write cut short between the two leaves a zone file that
    // does not match, and the next start writes the table again.
    const std::string text = NewMoonTableText(kUserMoonTableFirstYear, kUserMoonTableLastYear, localClock);
    if (!WriteMoonFile(tablePath, text, outcome.error) || !WriteMoonFile(zonePath, zone + "\n", outcome.error))
        outcome.kind = UserMoonTableOutcome::Failed;
    return outcome;
}

} // namespace vx
