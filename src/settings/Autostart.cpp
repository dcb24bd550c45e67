#include "settings/Autostart.h"

#include "base/FileLocations.h"

#include <string_view>
#include <system_error>

namespace vx {

namespace {

// Characters the Exec key keeps for itself: an argument holding one must be quoted.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
// Inside quotes these four take a backslash before them.
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

std::string WithSeparator(std::string dir)
{
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir;
}

} // namespace

std::string AutostartEntryPath(const std::string& configHome)
{
    return WithSeparator(configHome) + "autostart/velmorax.desktop";
}

std::string DesktopExecArgument(const std::string& path)
{
    std::string argument;
    if (path.find_first_of(kReserved) == std::string::npos) {
        argument = path;
    } else {
        argument = "\"";
        for (char c : path) {
            if (kEscapedInQuotes.find(c) != std::string_view::npos)
                argument += '\\';
            argument += c;
        }
        argument += '"';
    }
    // Then the rules of every string value of an entry: "%" starts a field code unless doubled,
    // and a backslash, a line break, a tab or a carriage return are written as escapes.
    std::string value;
    for (char c : argument) {
        switch (c) {
        case '%': value += "%%"; break;
        case '\\': value += "\\\\"; break;
        case '\n': value += "\\n"; break;
        case '\t': value += "\\t"; break;
        case '\r': value += "\\r"; break;
        default: value += c;
        }
    }
    return value;
}

std::string AutostartEntryText(const std::string& programPath)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Velmorax\n"
           "Name[ja]=ヴェルモラ\n"
           "Comment=A small round clock whose moon waxes and wanes with the real moon\n"
           "Comment[ja]=本物の月とともに満ち欠けする月を文字盤に持つ、小さな丸い時計\n"
           "Icon=velmorax\n"
           "Exec=" +
           DesktopExecArgument(programPath) +
           "\n"
           "Terminal=false\n"
           "StartupNotify=false\n";
}

bool AutostartEntryExists(const std::string& configHome)
{
    if (configHome.empty())
        return false;
    std::error_code ec;
    return std::filesystem::exists(PathFromUtf8(AutostartEntryPath(configHome)), ec);
}

FileResult WriteAutostartEntry(const std::string& configHome, const std::string& programPath)
{
    if (configHome.empty())
        return FileResult::Refused;
    if (!MakeUserFolder(WithSeparator(configHome) + "autostart/"))
        return FileResult::Refused;
    const std::filesystem::path entry = PathFromUtf8(AutostartEntryPath(configHome));
    std::error_code ec;
    const bool exists = std::filesystem::exists(entry, ec);
    return ReplaceFile(entry, AutostartEntryText(programPath), exists, false);
}

bool RemoveAutostartEntry(const std::string& configHome)
{
    if (configHome.empty())
        return true;
    std::error_code ec;
    std::filesystem::remove(PathFromUtf8(AutostartEntryPath(configHome)), ec);
    return !AutostartEntryExists(configHome);
}

} // namespace vx
