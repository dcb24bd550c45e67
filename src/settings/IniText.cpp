#include "settings/IniText.h"

#include "base/Text.h"

#include <cstring>

namespace vx {
namespace {

#ifdef _WIN32
constexpr std::string_view kDefaultLineEnd = "\r\n";
#else
constexpr std::string_view kDefaultLineEnd = "\n";
#endif

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Line breaks and NUL cannot be stored inside a line; in names they count as blanks.
bool IsLineBreaker(char c) { return c == '\r' || c == '\n' || c == '\0'; }

std::string_view TrimName(std::string_view s)
{
    return TrimWhere(s, [](char c) { return IsBlank(c) || IsLineBreaker(c); });
}

char FoldName(char c)
{
    if (IsLineBreaker(c))
        return ' ';
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c - 'A' + 'a');
    return c;
}

// Both names already trimmed.
bool NamesMatch(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldName(a[i]) != FoldName(b[i]))
            return false;
    return true;
}

std::string CleanValue(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (IsLineBreaker(c))
            c = ' ';
    return out;
}

std::string CleanName(std::string_view s) { return std::string(TrimBlanks(CleanValue(s))); }

struct Line {
    std::size_t begin = 0;        // first byte of the line
    std::size_t contentBegin = 0; // past a byte-order mark on the first line
    std::size_t contentEnd = 0;   // before the line end
    std::size_t end = 0;          // past the line end
    bool hasLineFeed = false;
};

// Walks the text line by line; lines end with LF or CR LF, the last one possibly with nothing.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {}

    bool Next(Line& line)
    {
        if (pos_ >= text_.size())
            return false;
        line.begin = pos_;
        line.contentBegin = pos_;
        if (pos_ == 0 && text_.substr(0, kUtf8Bom.size()) == kUtf8Bom)
            line.contentBegin = kUtf8Bom.size();
        const void* lf = std::memchr(text_.data() + pos_, '\n', text_.size() - pos_);
        const std::size_t stop = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - text_.data())
                                    : text_.size();
        line.hasLineFeed = lf != nullptr;
        line.end = lf ? stop + 1 : stop;
        line.contentEnd = stop;
        if (line.contentEnd > line.contentBegin && text_[line.contentEnd - 1] == '\r')
            --line.contentEnd;
        pos_ = line.end;
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

enum class LineKind { Blank, Comment, Header, Key, Text };

struct ParsedLine {
    LineKind kind = LineKind::Blank;
    std::string_view name;       // section or key name, trimmed
    std::size_t valueBegin = 0;  // key lines: text offset just past the "="
};

ParsedLine Parse(std::string_view text, const Line& line)
{
    const std::string_view content = text.substr(line.contentBegin, line.contentEnd - line.contentBegin);
    std::size_t i = 0;
    while (i < content.size() && IsBlank(content[i]))
        ++i;
    ParsedLine parsed;
    if (i == content.size())
        return parsed;
    if (content[i] == ';') {
        parsed.kind = LineKind::Comment;
        return parsed;
    }
    if (content[i] == '[') {
        const std::size_t close = content.rfind(']');
        if (close != std::string_view::npos && close > i) {
            parsed.kind = LineKind::Header;
            parsed.name = TrimName(content.substr(i + 1, close - i - 1));
        } else {
            parsed.kind = LineKind::Text;
        }
        return parsed;
    }
    const std::size_t eq = content.find('=', i);
    if (eq == std::string_view::npos) {
        parsed.kind = LineKind::Text;
        return parsed;
    }
    parsed.kind = LineKind::Key;
    parsed.name = TrimName(content.substr(i, eq - i));
    parsed.valueBegin = line.contentBegin + eq + 1;
    return parsed;
}

// The value as a reader sees it: trimmed, unquoted, cut to the reader's buffer and at a NUL.
std::string ValueSeen(std::string_view raw)
{
    std::string_view v = TrimBlanks(raw);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    if (v.size() > kMaxValueBytes) {
        // Step back over at most three continuation bytes to the start of the cut character;
        // bytes that are not UTF-8 at all are cut where they stand.
        std::size_t cut = kMaxValueBytes;
        for (int back = 0; back < 3 && cut > 0 && (static_cast<unsigned char>(v[cut]) & 0xC0) == 0x80; ++back)
            --cut;
        if ((static_cast<unsigned char>(v[cut]) & 0xC0) == 0x80)
            cut = kMaxValueBytes;
        v = v.substr(0, cut);
    }
    const std::size_t nul = v.find('\0');
    if (nul != std::string_view::npos)
        v = v.substr(0, nul);
    return std::string(v);
}

std::string_view LineEndOf(std::string_view text)
{
    const std::size_t lf = text.find('\n');
    if (lf == std::string_view::npos)
        return kDefaultLineEnd;
    return lf > 0 && text[lf - 1] == '\r' ? std::string_view("\r\n") : std::string_view("\n");
}

// Ends the last line of out, which has no line feed. A carriage return already there is that
// line's end as the reader sees it: a feed completes it, where a whole line end after it would
// leave the return inside the line's value.
void EndLastLine(std::string& out, std::string_view eol)
{
    out.append(!out.empty() && out.back() == '\r' ? std::string_view("\n") : eol);
}

// The new text, or nullopt when the key cannot be stored.
std::optional<std::string> SetText(std::string_view text, std::string_view sectionName, std::string_view keyName,
                                   std::string_view newValue)
{
    if (!IniKeyIsStorable(keyName))
        return std::nullopt;
    const std::string section = CleanName(sectionName);
    const std::string key = CleanName(keyName);
    const std::string value = CleanValue(newValue);
    const std::string_view eol = LineEndOf(text);

    bool inSection = false;
    bool lastLineBlank = true;
    Line insertAfter; // the section's last line that is not blank and not a comment
    LineCursor cursor(text);
    Line line;
    while (cursor.Next(line)) {
        const ParsedLine parsed = Parse(text, line);
        lastLineBlank = parsed.kind == LineKind::Blank;
        if (parsed.kind == LineKind::Header) {
            if (inSection)
                break;
            inSection = NamesMatch(parsed.name, section);
            if (inSection)
                insertAfter = line;
            continue;
        }
        if (!inSection)
            continue;
        if (parsed.kind == LineKind::Key && NamesMatch(parsed.name, key)) {
            // Keep the line's own spelling of the key and its spacing; replace the value only.
            std::size_t valueStart = parsed.valueBegin;
            while (valueStart < line.contentEnd && IsBlank(text[valueStart]))
                ++valueStart;
            std::string out;
            out.reserve(text.size() + value.size());
            out.append(text.substr(0, valueStart)).append(value).append(text.substr(line.contentEnd));
            return out;
        }
        if (parsed.kind != LineKind::Blank && parsed.kind != LineKind::Comment)
            insertAfter = line;
    }

    std::string out;
    out.reserve(text.size() + section.size() + key.size() + value.size() + 16);
    if (inSection) {
        // Comments and blank lines at the end of a section usually belong to what follows.
        const std::string_view head = text.substr(0, insertAfter.end);
        out.append(head);
        if (!insertAfter.hasLineFeed)
            EndLastLine(out, eol);
        out.append(key).append("=").append(value).append(eol);
        out.append(text.substr(insertAfter.end));
        return out;
    }
    out.append(text);
    if (!text.empty()) {
        if (text.back() != '\n')
            EndLastLine(out, eol);
        if (!lastLineBlank)
            out.append(eol); // a blank line between sections, as a person would write it
    }
    out.append("[").append(section).append("]").append(eol);
    out.append(key).append("=").append(value).append(eol);
    return out;
}

} // namespace

bool IniKeyIsStorable(std::string_view key)
{
    const std::string_view trimmed = TrimName(key);
    if (trimmed.find('=') != std::string_view::npos)
        return false;
    return trimmed.empty() || (trimmed.front() != '[' && trimmed.front() != ';');
}

std::optional<std::string> IniGetText(std::string_view text, std::string_view section, std::string_view key)
{
    section = TrimName(section);
    key = TrimName(key);
    bool inSection = false;
    LineCursor cursor(text);
    Line line;
    while (cursor.Next(line)) {
        const ParsedLine parsed = Parse(text, line);
        if (parsed.kind == LineKind::Header) {
            if (inSection)
                return std::nullopt; // only the first matching section counts
            inSection = NamesMatch(parsed.name, section);
        } else if (inSection && parsed.kind == LineKind::Key && NamesMatch(parsed.name, key)) {
            return ValueSeen(text.substr(parsed.valueBegin, line.contentEnd - parsed.valueBegin));
        }
    }
    return std::nullopt;
}

std::vector<IniSectionNames> IniListNames(std::string_view text)
{
    std::vector<IniSectionNames> sections;
    LineCursor cursor(text);
    Line line;
    while (cursor.Next(line)) {
        const ParsedLine parsed = Parse(text, line);
        if (parsed.kind == LineKind::Header)
            sections.push_back({std::string(parsed.name), {}});
        else if (parsed.kind == LineKind::Key && !sections.empty())
            sections.back().keys.emplace_back(parsed.name);
    }
    return sections;
}

std::string IniSetText(std::string_view text, std::string_view section, std::string_view key, std::string_view value)
{
    std::optional<std::string> out = SetText(text, section, key, value);
    return out ? std::move(*out) : std::string(text);
}

} // namespace vx
