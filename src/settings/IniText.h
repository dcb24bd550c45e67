#pragma once

// The text of a sectioned INI file, read and edited as a string, with no file in sight: a write
// touches only the one line it sets, so comments, unknown keys, blank lines and line ends written
// by hand or by another program survive.
//
// The rules, shared by reads and writes so that a key just written is the key read back:
// - A section header is a line whose first non-blank character is "[" and that holds a "]";
//   the name lies between that "[" and the line's last "]", trimmed. Taking the last "]"
//   lets a name that itself holds "]" come back as it was written.
// - Inside a section, a line holding "=" is a key line: the key is the text before the
//   first "=", trimmed, the value the text after it. Lines starting with ";" are comments.
// - Names match without regard to ASCII letter case; blanks and tabs around them do not
//   count. The first matching section, and in it the first matching key, win.
// - A value read is trimmed of blanks and tabs, loses one pair of matching surrounding
//   double or single quotes, and is cut to kMaxValueBytes bytes (never inside a UTF-8
//   character) and at its first NUL byte.
// - The file's text is handled as bytes; names and values are UTF-8 by convention.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// The classic reader's value buffer is 255 bytes including the terminating NUL.
constexpr std::size_t kMaxValueBytes = 254;

// The value of the key in the section of the given INI text, or nullopt when the section or
// the key is missing.
std::optional<std::string> IniGetText(std::string_view text, std::string_view section, std::string_view key);

// The text with the key's value set: the value part of the key's line is replaced, or a
// "key=value" line is added after the section's last line that is neither blank nor a comment
// (those usually introduce what follows), or the section is added at the end of the text.
// Every other byte stays as it was; a new line takes the text's own line-end style.
// Line breaks and NUL bytes in the section, key or value would split the line and are turned
// into blanks. A key that cannot be stored as a key line (it holds "=", or starts with "["
// or ";") leaves the text unchanged.
std::string IniSetText(std::string_view text, std::string_view section, std::string_view key,
                       std::string_view value);

// Whether IniSetText can store the key at all (see above).
bool IniKeyIsStorable(std::string_view key);

// A section as the text holds it: its name and its keys' names, trimmed, in the order of the text.
// A section or key that appears twice is listed twice; only the first can be read.
struct IniSectionNames {
    std::string name;
    std::vector<std::string> keys;
};

// Every section of the text with its keys, by the rules above; key lines before the first
// section belong to none and are not listed.
std::vector<IniSectionNames> IniListNames(std::string_view text);

} // namespace vx
