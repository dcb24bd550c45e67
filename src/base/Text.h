#pragma once

#include <string_view>

namespace vx {

// The plain-text helpers the file readers share: the settings file and the moon table both allow
// spaces and tabs around what they hold, and read digits as ASCII whatever the locale.

constexpr bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

constexpr bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The text without the characters at either end for which isSpace holds.
template <class IsSpace> constexpr std::string_view TrimWhere(std::string_view s, IsSpace isSpace)
{
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

constexpr std::string_view TrimBlanks(std::string_view s)
{
    return TrimWhere(s, IsBlank);
}

} // namespace vx
