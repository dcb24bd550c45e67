#include "base/LocalClock.h"

#include "base/LocalTimeCache.h"
#include "base/Text.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace vx {

#ifndef _WIN32
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
#endif

bool UseZone(const std::string& zone, std::string& error)
{
#ifdef _WIN32
    // The Windows C library takes TZ only as a fixed rule ("JST-9"), never a zone database file:
    // handing it one would give wrong hours without a word.
    error = "time zones by name (\"" + zone + "\") are not known on Windows; only the machine's own zone is";
    return false;
#else
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
#endif
}

void UseMachineZone()
{
#ifdef _WIN32
    _tzset();
#else
    tzset();
#endif
}

std::tm LocalBrokenDown(std::int64_t unixSeconds)
{
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    return local;
}

ClockReading LocalReading(std::int64_t unixSeconds)
{
    const std::tm local = LocalBrokenDown(unixSeconds);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour};
}

DateValue LocalDateValue(std::int64_t unixMilliseconds)
{
    // Whole seconds down, so that a time before 1970 keeps its milliseconds positive.
    const std::int64_t seconds = unixMilliseconds >= 0 ? unixMilliseconds / 1000 : -((-unixMilliseconds + 999) / 1000);
    const std::int64_t milliseconds = unixMilliseconds - seconds * 1000;
    const std::tm local = LocalBrokenDown(seconds);
    // A leap second, where a zone counts them, is held at the 59th.
    const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
    const long long msOfDay = ((local.tm_hour * 60LL + local.tm_min) * 60 + second) * 1000 + milliseconds;
    return static_cast<double>(DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday))
           + static_cast<double>(msOfDay) / 86400000.0;
}

DateValue LocalDateValueNow()
{
    // One clock, one zone: the window's thread is the only reader.
    static LocalTimeCache cache;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return cache.At(std::chrono::floor<std::chrono::milliseconds>(now).count());
}

namespace {

// The part of a path into the zone database that names the zone: ".../zoneinfo/Asia/Tokyo"
// gives "Asia/Tokyo"; a path that does not lead into it stays as it is.
std::string ZoneOfPath(const std::string& path)
{
    static const std::string kDatabase = "zoneinfo/";
    const std::size_t at = path.rfind(kDatabase);
    if (at == std::string::npos)
        return path;
    std::string zone = path.substr(at + kDatabase.size());
    // Debian's "posix/" and "right/" trees hold the same zones with other leap-second rules.
    for (const char* tree : {"posix/", "right/"})
        if (zone.rfind(tree, 0) == 0)
            zone.erase(0, std::char_traits<char>::length(tree));
    return zone;
}

// Without the spaces, tabs and line ends around it.
std::string Trimmed(const std::string& text)
{
    return std::string(TrimWhere(text, [](char c) { return IsBlank(c) || c == '\r' || c == '\n'; }));
}

} // namespace

std::string ZoneNameFrom(const char* tz, const std::string& localtimeLink, const std::string& etcTimezone)
{
    if (tz) {
        std::string name = tz;
        if (!name.empty() && name.front() == ':')
            name.erase(0, 1);
        name = Trimmed(name);
        return name.empty() ? "UTC" : ZoneOfPath(name);
    }
    if (!localtimeLink.empty())
        return ZoneOfPath(localtimeLink);
    const std::string fromFile = Trimmed(etcTimezone);
    return fromFile.empty() ? "UTC" : fromFile;
}

std::string SystemZoneName()
{
    std::string link;
    std::string etcTimezone;
#ifndef _WIN32
    std::error_code ec;
    if (std::filesystem::is_symlink("/etc/localtime", ec))
        link = std::filesystem::read_symlink("/etc/localtime", ec).string();
    if (link.empty()) {
        std::ifstream in("/etc/timezone");
        std::getline(in, etcTimezone);
    }
#endif
    return ZoneNameFrom(std::getenv("TZ"), link, etcTimezone);
}

} // namespace vx
