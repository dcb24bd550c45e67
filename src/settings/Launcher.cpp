#include "settings/Launcher.h"

#include "base/Platform.h"
#include "base/ProgramPaths.h"
#include "settings/Convert.h"
#include "settings/IniFile.h"

#include <filesystem>
#include <optional>
#include <system_error>

namespace vx {
namespace {

constexpr const char* kLauncherApp = "Tesmo";
constexpr const char* kLauncherSection = "Utility\\TALVERIN";
// The launcher's slot entries are named Tuika (romanised Japanese: an addition, a program added to
// its list) and numbered with the BASIC Str text of the number: "Tuika 1".
constexpr long long kSlot = 1;

} // namespace

void RegisterWithLauncher(Platform& platform)
{
    // An empty version means the launcher is not installed for this user.
    if (platform.GetSetting(kLauncherApp, kLauncherSection, "Version", "").empty())
        return;
    platform.SaveSetting(kLauncherApp, kLauncherSection, "Tuika" + StrText(kSlot), "ヴェルモラ");
    platform.SaveSetting(kLauncherApp, kLauncherSection, "TuikaName" + StrText(kSlot), "Velmorax");
}

std::string UserStorePath(const std::string& configDir, const std::string& application)
{
    std::string name = application;
    for (char& c : name)
        if (c == '/' || c == '\\' || c == '\0')
            c = '_';
    return (configDir.empty() ? std::string() : WithTrailingSeparator(configDir)) + name + ".ini";
}

std::string UserStoreGet(const std::string& configDir, const std::string& application, const std::string& section,
                         const std::string& key, const std::string& defaultValue)
{
    std::optional<std::string> value = IniGet(UserStorePath(configDir, application), section, key);
    return value ? std::move(*value) : defaultValue;
}

void UserStoreSave(const std::string& configDir, const std::string& application, const std::string& section,
                   const std::string& key, const std::string& value)
{
    if (!configDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(std::u8string(configDir.begin(), configDir.end())),
                                            ec);
    }
    IniSet(UserStorePath(configDir, application), section, key, value);
}

} // namespace vx
