#pragma once

// The module `ini`: the program's settings file, read and written one key at a time.
// Nothing is cached: every reader asks the file at the moment it needs a value, and every
// change goes to the file at once.

#include <string>

namespace vx::ini {

// The settings file; empty until SetIniPath runs, and nothing is read or written before that.
extern std::string IniPath;

// IniPath = the program's folder with one trailing separator, the program's base name, ".ini".
void SetIniPath(const std::string& programDir, const std::string& programBaseName);

// The stored value; when it is missing or empty (or the file cannot be read) the default,
// which is then written back at once, so every key read once appears in the file.
// An empty file argument means IniPath.
std::string ReadIni(const std::string& section, const std::string& key, const std::string& defaultValue,
                    const std::string& file = {});

// Stores the value; nonzero when it was written. An empty file argument means IniPath.
int WriteIni(const std::string& section, const std::string& key, const std::string& value,
             const std::string& file = {});

// Typed reads. A stored value that does not convert is treated like a missing one: the
// default is used and written back. A default that does not convert either gives 0 or false.
long long ReadIniWhole(const std::string& section, const std::string& key, const std::string& defaultValue);
// A whole number that must fit a 32-bit integer: one outside its range does not convert.
int ReadIniInt(const std::string& section, const std::string& key, const std::string& defaultValue);
bool ReadIniBool(const std::string& section, const std::string& key, const std::string& defaultValue);

} // namespace vx::ini
