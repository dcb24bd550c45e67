#pragma once

#include "base/Platform.h"

#include <string>
#include <utility>

namespace vx {

// The outside world of a face drawn away from the desktop (a picture, a benchmark): a clock that
// reads what it is set to, a given program folder, and no messages, openings, per-user settings
// or notification area.
class FixedClockPlatform : public Platform {
public:
    FixedClockPlatform(DateValue at, std::string programDir) : now(at), programDir_(std::move(programDir)) {}

    DateValue now;

    DateValue Now() override { return now; }
    std::string ProgramDir() override { return programDir_; }
    // The clock's own settings file is read, whatever the running program is called.
    std::string ProgramBaseName() override { return "velmorax"; }
    void MsgBox(const std::string&, const std::string&) override {}
    void OpenUrl(const std::string&) override {}
    void OpenFile(const std::string&) override {}
    std::string GetSetting(const std::string&, const std::string&, const std::string&,
                           const std::string& defaultValue) override
    {
        return defaultValue;
    }
    void SaveSetting(const std::string&, const std::string&, const std::string&, const std::string&) override {}
    double TwipsPerPixelX() override { return 15.0; }
    double TwipsPerPixelY() override { return 15.0; }
    bool HasNotificationArea() override { return false; }

private:
    std::string programDir_;
};

} // namespace vx
