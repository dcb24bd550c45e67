#pragma once

#include "base/Platform.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace vx::test {

// A platform whose clock is set by hand and whose messages and openings are recorded.
class FakePlatform : public Platform {
public:
    DateValue now = MakeDateValue(2026, 12, 8, 21, 0, 0);
    std::string programDir;
    std::string baseName = "velmorax";
    double twipsX = 15.0;
    double twipsY = 15.0;
    bool notificationArea = true;

    struct Message {
        std::string text;
        std::string title;
    };
    std::vector<Message> messages;
    std::vector<std::string> openedUrls;
    std::vector<std::string> openedFiles;
    std::map<std::tuple<std::string, std::string, std::string>, std::string> userStore;
    // None by default: the program keeps its files beside itself.
    UserFolders userFolders;
    std::string zone = "Asia/Tokyo";
    // Documents no opener takes: OpenDocument records them and reports the failure at once.
    std::set<std::string> unopenable;

    DateValue Now() override { return now; }
    std::string ProgramDir() override { return programDir; }
    std::string ProgramBaseName() override { return baseName; }
    void MsgBox(const std::string& text, const std::string& title) override { messages.push_back({text, title}); }
    void OpenUrl(const std::string& url) override { openedUrls.push_back(url); }
    void OpenFile(const std::string& path) override { openedFiles.push_back(path); }
    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override;
    double TwipsPerPixelX() override { return twipsX; }
    double TwipsPerPixelY() override { return twipsY; }
    bool HasNotificationArea() override { return notificationArea; }
    UserFolders PerUserFolders() override { return userFolders; }
    std::string TimeZoneName() override { return zone; }
    void OpenDocument(const std::string& path, std::function<void()> failed) override
    {
        openedFiles.push_back(path);
        if (unopenable.count(path))
            failed();
    }
};

} // namespace vx::test
