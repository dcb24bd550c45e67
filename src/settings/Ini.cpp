#include "settings/Ini.h"

#include "base/ProgramPaths.h"
#include "settings/Convert.h"
#include "settings/IniFile.h"

#include <limits>
#include <optional>
#include <string_view>

namespace vx::ini {

std::string IniPath;

void SetIniPath(const std::string& programDir, const std::string& programBaseName)
{
    IniPath = WithTrailingSeparator(programDir) + programBaseName + ".ini";
}

std::string ReadIni(const std::string& section, const std::string& key, const std::string& defaultValue,
                    const std::string& file)
{
    const std::string& path = file.empty() ? IniPath : file;
    std::optional<std::string> value = IniGet(path, section, key);
    if (!value || value->empty()) {
        WriteIni(section, key, defaultValue, file);
        return defaultValue;
    }
    return std::move(*value);
}

int WriteIni(const std::string& section, const std::string& key, const std::string& value, const std::string& file)
{
    const std::string& path = file.empty() ? IniPath : file;
    return IniSet(path, section, key, value) ? 1 : 0;
}

namespace {

template <typename T, typename Convert>
T ReadConverted(const std::string& section, const std::string& key, const std::string& defaultValue,
                Convert convert)
{
    if (const std::optional<T> value = convert(ReadIni(section, key, defaultValue)))
        return *value;
    WriteIni(section, key, defaultValue);
    return convert(defaultValue).value_or(T{});
}

} // namespace

long long ReadIniWhole(const std::string& section, const std::string& key, const std::string& defaultValue)
{
    return ReadConverted<long long>(section, key, defaultValue, ToWholeNumber);
}

int ReadIniInt(const std::string& section, const std::string& key, const std::string& defaultValue)
{
    return ReadConverted<int>(section, key, defaultValue, [](std::string_view text) -> std::optional<int> {
        const std::optional<long long> whole = ToWholeNumber(text);
        if (!whole || *whole < std::numeric_limits<int>::min() || *whole > std::numeric_limits<int>::max())
            return std::nullopt;
        return static_cast<int>(*whole);
    });
}

bool ReadIniBool(const std::string& section, const std::string& key, const std::string& defaultValue)
{
    return ReadConverted<bool>(section, key, defaultValue, ToBoolean);
}

} // namespace vx::ini
