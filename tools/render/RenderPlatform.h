#pragma once

#include "app/Platform.h"

namespace vx {

// The outside world of a rendering: a clock stopped at the chosen moment, a program folder of its
// own, messages to the error stream, and nothing opened or registered anywhere.
class RenderPlatform final : public Platform {
public:
    RenderPlatform(DateValue at, std::string programDir) : at_(at), programDir_(std::move(programDir)) {}

    DateValue Now() override { return at_; }
    std::string ProgramDir() override { return programDir_; }
    // The clock's own settings file is read, not one named after the renderer.
    std::string ProgramBaseName() override { return "velmorax"; }
    void MsgBox(const std::string& text, const std::string& title) override;
    void OpenUrl(const std::string&) override {}
    void OpenFile(const std::string&) override {}
    // The per-user store is left alone: nothing is read from it or written to it.
    std::string GetSetting(const std::string&, const std::string&, const std::string&,
                           const std::string& defaultValue) override
    {
        return defaultValue;
    }
    void SaveSetting(const std::string&, const std::string&, const std::string&, const std::string&) override {}
    double TwipsPerPixelX() override { return 15.0; }
    double TwipsPerPixelY() override { return 15.0; }
    // A picture has no notification area; the renderer turns the tray off anyway.
    bool HasNotificationArea() override { return false; }

private:
    DateValue at_;
    std::string programDir_;
};

} // namespace vx
