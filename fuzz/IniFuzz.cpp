// The settings file's reader and writer on any bytes: a text as a garbled or hand-edited file
// holds it, and a section, key and value to set in it. Beyond "no crash", each write must read back
// as it would from a file holding nothing else, leave every other key as it was, and give the same
// bytes through the file as through the text.

#include "ScratchFile.h"
#include "settings/IniFile.h"
#include "settings/IniText.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

// A name as the reader compares it: blanks and line breaks at its ends do not count, a line break
// or NUL inside it counts as a blank, ASCII letters match in either case.
std::string Folded(std::string_view name)
{
    std::string out;
    for (char c : name) {
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        out += c;
    }
    const std::size_t first = out.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return out.substr(first, out.find_last_not_of(" \t") - first + 1);
}

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

void CheckValueShape(const std::optional<std::string>& value)
{
    if (value)
        Check(value->size() <= vx::kMaxValueBytes && value->find('\0') == std::string::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const vx::fuzz::ScratchFile file("velmorax.ini");

    FuzzedDataProvider in(data, size);
    const std::string section = in.ConsumeRandomLengthString(64);
    const std::string key = in.ConsumeRandomLengthString(64);
    const std::string value = in.ConsumeRandomLengthString(320);
    const std::string otherSection = in.ConsumeRandomLengthString(64);
    const std::string otherKey = in.ConsumeRandomLengthString(64);
    const std::string text = in.ConsumeRemainingBytesAsString();

    const std::optional<std::string> otherBefore = vx::IniGetText(text, otherSection, otherKey);
    CheckValueShape(otherBefore);
    const std::string written = vx::IniSetText(text, section, key, value);
    if (!vx::IniKeyIsStorable(key)) {
        Check(written == text);
        return 0;
    }

    const std::optional<std::string> readBack = vx::IniGetText(written, section, key);
    Check(readBack.has_value());
    CheckValueShape(readBack);
    Check(readBack == vx::IniGetText(vx::IniSetText("", section, key, value), section, key));
    if (Folded(otherSection) != Folded(section) || Folded(otherKey) != Folded(key))
        Check(vx::IniGetText(written, otherSection, otherKey) == otherBefore);
    Check(vx::IniGetText(vx::IniSetText(written, section, key, value), section, key) == readBack);

    // The same through a file, the way the program reads and writes its settings.
    file.Write(data + (size - text.size()), text.size());
    Check(vx::IniGet(file.path(), otherSection, otherKey) == otherBefore);
    Check(vx::IniSet(file.path(), section, key, value));
    Check(vx::IniGet(file.path(), section, key) == readBack);
    Check(vx::IniGet(file.path(), otherSection, otherKey) == vx::IniGetText(written, otherSection, otherKey));
    return 0;
}
