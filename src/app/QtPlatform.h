#pragma once

#include "base/Platform.h"

#include <memory>

class QObject;

namespace vx {

// The real outside world: the system clock, the program's folder, message boxes, the desktop's
// opener, the per-user settings file and the screen.
class QtPlatform final : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    DateValue Now() override;
    std::string ProgramDir() override;
    std::string ProgramBaseName() override;
    std::string ProgramPath() override;
    void MsgBox(const std::string& text, const std::string& title) override;
    void OpenUrl(const std::string& url) override;
    void OpenFile(const std::string& path) override;
    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override;
    double TwipsPerPixelX() override;
    double TwipsPerPixelY() override;
    bool HasNotificationArea() override;
    UserFolders PerUserFolders() override;
    std::string TimeZoneName() override;
    void OpenDocument(const std::string& path, std::function<void()> failed) override;

    // The title of message boxes that name none.
    static constexpr const char* kTitle = "Velmorax";

private:
    // The openers still running; they no longer report once the platform is gone.
    std::unique_ptr<QObject> openers_;
};

} // namespace vx
