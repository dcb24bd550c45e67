#pragma once

#include <string_view>

namespace vx {

// The blanks that surround names and values in the settings file: spaces and tabs.
constexpr bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

constexpr std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace vx
