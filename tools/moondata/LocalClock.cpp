#include "LocalClock.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace vx::moondata {

namespace {

// A zone name is a relative path of the database: "Asia/Tokyo", "UTC", "Etc/GMT-9".
bool IsZoneName(const std::string& zone)
{
    if (zone.empty() || zone.front() == '/' || zone.back() == '/')
        return false;
    for (char c : zone) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/'
                        || c == '_' || c == '-' || c == '+' || c == '.';
        if (!ok)
            return false;
    }
    // No "." or ".." component may lead out of the database.
    std::size_t start = 0;
    while (start <= zone.size()) {
        const std::size_t slash = zone.find('/', start);
        const std::string part = zone.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return true;
}

bool IsTzifFile(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    std::ifstream in(path, std::ios::binary);
    char magic[4] = {};
    return in.read(magic, 4) && magic[0] == 'T' && magic[1] == 'Z' && magic[2] == 'i' && magic[3] == 'f';
}

} // namespace

bool UseZone(const std::string& zone, std::string& error)
{
    const char* tzdir = std::getenv("TZDIR");
    const std::filesystem::path database = tzdir && *tzdir ? tzdir : "/usr/share/zoneinfo";
    const std::filesystem::path file = database / zone;
    if (!IsZoneName(zone) || !IsTzifFile(file)) {
        error = "unknown time zone \"" + zone + "\" (no such zone in " + database.string() + ")";
        return false;
    }
    // The file itself, so the C library reads exactly the zone that was checked.
    const std::string tz = ":" + file.string();
    setenv("TZ", tz.c_str(), 1);
    tzset();
    return true;
}

void UseMachineZone()
{
    tzset();
}

ClockReading LocalReading(std::int64_t unixSeconds)
{
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    localtime_r(&t, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour};
}

} // namespace vx::moondata
