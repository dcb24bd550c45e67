#pragma once

#include "base/DateValue.h"
#include "base/FileLocations.h"
#include "base/Hemisphere.h"
#include "base/LocalClock.h"
#include "base/ProgramPaths.h"

#include <cstdint>
#include <functional>
#include <string>

namespace vx {

// Everything the forms need from the outside world, in one place, so tests can stand in for it.
// Strings are UTF-8.
class Platform {
public:
    virtual ~Platform() = default;

    // The present local date and time.
    virtual DateValue Now() = 0;
    // Seconds since local midnight, with fraction, taken from the same clock.
    double Timer() { return SecondsOfDay(Now()); }

    // The folder the program runs from (no promise of a trailing separator) and the program
    // file's name without extension.
    virtual std::string ProgramDir() = 0;
    virtual std::string ProgramBaseName() = 0;
    // The program file's absolute path, for starting it again from elsewhere (an autostart entry).
    virtual std::string ProgramPath() { return WithTrailingSeparator(ProgramDir()) + ProgramBaseName(); }

    // A modal message with an OK button only; an empty title means the program's own title.
    virtual void MsgBox(const std::string& text, const std::string& title = {}) = 0;

    // Hands a web address, a mailto: address or a local file to the desktop's opener.
    virtual void OpenUrl(const std::string& url) = 0;
    virtual void OpenFile(const std::string& path) = 0;

    // The per-user settings store, addressed by application, section and key.
    virtual std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                                   const std::string& defaultValue) = 0;
    virtual void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                             const std::string& value) = 0;

    // Window positions are kept in twips, 1440 to the inch.
    virtual double TwipsPerPixelX() = 0;
    virtual double TwipsPerPixelY() = 0;

    // Whether the desktop has a notification area that can show the program's icon.
    virtual bool HasNotificationArea() = 0;

    // For a program that runs from an install. The user's own folders for settings and data;
    // none by default, which keeps every file beside the program.
    virtual UserFolders PerUserFolders() { return {}; }
    // The name of the system's present time zone, and a POSIX time's local clock reading in it.
    virtual std::string TimeZoneName() { return {}; }
    virtual ClockReading LocalClock(std::int64_t unixSeconds) { return LocalReading(unixSeconds); }
    // The hemisphere the present time zone lies in, by the time-zone database's zone tables.
    virtual Hemisphere ZoneHemisphere() { return HemisphereOfZone(TimeZoneName(), ZoneDatabaseDir()); }

    // Hands a local document to the desktop's opener; failed runs (now or later, on this thread)
    // when no opener took it. By default every opening succeeds.
    virtual void OpenDocument(const std::string& path, std::function<void()> failed)
    {
        (void)failed;
        OpenFile(path);
    }
};

} // namespace vx
