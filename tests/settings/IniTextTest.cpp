#include "settings/IniText.h"

#include "support/PlatformFiles.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace vx {
namespace {

using namespace std::string_literals;

std::string Repeat(const std::string& piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

TEST(IniText, ReadsFollowTheClassicReaderRules)
{
    struct Case {
        const char* what;
        std::string text;
        std::string section;
        std::string key;
        std::optional<std::string> expected;
    };
    const std::string katakana = "ヴ"; // three bytes
    const std::vector<Case> cases = {
        {"names ignore letter case", "[FrmMain]\nTOP=5\n", "frmmain", "top", "5"},
        {"blanks around names and value", "  [ frmMain ]  \n  Top  =   1185  \n", " frmMain", "Top ", "1185"},
        {"tabs around the value", "[s]\nk=\t7\t\n", "s", "k", "7"},
        {"empty value", "[s]\nk=\n", "s", "k", ""},
        {"double quotes removed", "[s]\nk=\"  x \"\n", "s", "k", "  x "},
        {"single quotes removed", "[s]\nk='x'\n", "s", "k", "x"},
        {"only one pair of quotes", "[s]\nk=\"\"x\"\"\n", "s", "k", "\"x\""},
        {"unmatched quotes kept", "[s]\nk=\"x'\n", "s", "k", "\"x'"},
        {"a lone quote kept", "[s]\nk=\"\n", "s", "k", "\""},
        {"value after the first equals sign", "[s]\na=b=c\n", "s", "a", "b=c"},
        {"first matching section wins", "[s]\na=1\n[S]\na=2\nb=3\n", "s", "a", "1"},
        {"later duplicate section not seen", "[s]\na=1\n[S]\na=2\nb=3\n", "s", "b", std::nullopt},
        {"first matching key wins", "[s]\na=1\nA=2\n", "s", "a", "1"},
        {"key before any section not seen", "a=1\n[s]\n", "s", "a", std::nullopt},
        {"key of another section not seen", "[t]\na=1\n[s]\nb=2\n", "s", "a", std::nullopt},
        {"comment is not a key", "[s]\n;a=1\n", "s", ";a", std::nullopt},
        {"missing section", "[s]\na=1\n", "t", "a", std::nullopt},
        {"empty text", "", "s", "a", std::nullopt},
        {"CRLF line ends", "[s]\r\na=1\r\n", "s", "a", "1"},
        {"no final line end", "[s]\na=1", "s", "a", "1"},
        {"byte-order mark before the first header", "\xEF\xBB\xBF[s]\na=1\n", "s", "a", "1"},
        {"section name holding a bracket", "[a]b]\nk=1\n", "a]b", "k", "1"},
        {"text after a header", "[s] ; note\nk=1\n", "s", "k", "1"},
        {"value cut to 254 bytes", "[s]\nk=" + std::string(300, 'x') + "\n", "s", "k", std::string(254, 'x')},
        {"254 bytes kept whole", "[s]\nk=" + std::string(254, 'x') + "\n", "s", "k", std::string(254, 'x')},
        {"quotes removed before the cut", "[s]\nk=\"" + std::string(300, 'x') + "\"\n", "s", "k",
         std::string(254, 'x')},
        {"two-byte characters cut whole", "[s]\nk=a" + Repeat("é", 127) + "\n", "s", "k", "a" + Repeat("é", 126)},
        {"three-byte characters cut whole", "[s]\nk=" + Repeat(katakana, 85) + "\n", "s", "k",
         Repeat(katakana, 84)},
        {"value ends at a NUL byte", "[s]\nk=x\0y\n"s, "s", "k", "x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IniGetText(c.text, c.section, c.key), c.expected) << c.what;
}

TEST(IniText, WritesChangeOnlyTheLineTheySet)
{
    struct Case {
        const char* what;
        std::string before;
        std::string section;
        std::string key;
        std::string value;
        std::string after;
    };
    const std::vector<Case> cases = {
        {"value replaced, comments and spelling kept", "; top\n[frmMain]\nTop = 100  \nLeft=5\n\n[Other]\nx=1\n",
         "FRMMAIN", "top", "1185", "; top\n[frmMain]\nTop = 1185\nLeft=5\n\n[Other]\nx=1\n"},
        {"key added after the section's last line", "[a]\nx=1\n\n[b]\ny=2\n", "a", "z", "3",
         "[a]\nx=1\nz=3\n\n[b]\ny=2\n"},
        {"comment before the next section stays with it", "[a]\nx=1\n\n; about b\n[b]\n", "a", "z", "3",
         "[a]\nx=1\nz=3\n\n; about b\n[b]\n"},
        {"key added to an empty section", "[a]\n[b]\n", "a", "x", "1", "[a]\nx=1\n[b]\n"},
        {"section added at the end", "[a]\nx=1\n", "b", "y", "2", "[a]\nx=1\n\n[b]\ny=2\n"},
        {"file text created", "", "b", "y", "2", "[b]\ny=2\n"},
        {"CRLF kept on replace", "[a]\r\nx=1\r\n", "a", "x", "5", "[a]\r\nx=5\r\n"},
        {"CRLF used for a new key", "[a]\r\nx=1\r\n", "a", "y", "2", "[a]\r\nx=1\r\ny=2\r\n"},
        {"CRLF used for a new section", "[a]\r\nx=1\r\n", "b", "y", "2", "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n"},
        {"no final line end: replace keeps it so", "[a]\nx=1", "a", "x", "7", "[a]\nx=7"},
        {"no final line end: new key", "[a]\nx=1", "a", "y", "2", "[a]\nx=1\ny=2\n"},
        {"no final line end: new section", "[a]\nx=1", "b", "y", "2", "[a]\nx=1\n\n[b]\ny=2\n"},
        {"header without line end", "[a]", "a", "x", "1", "[a]\nx=1\n"},
        // A file cut after the CR of its last CR LF: that CR ends the line as the reader sees it,
        // and must not end up inside the value once the line is completed.
        {"last line ending in CR only: new key", "[a]\r\nx=Clock\r", "a", "y", "2", "[a]\r\nx=Clock\r\ny=2\r\n"},
        {"last line ending in CR only: new section", "[a]\r\nx=Clock\r", "b", "y", "2",
         "[a]\r\nx=Clock\r\n\r\n[b]\r\ny=2\r\n"},
        {"first matching section and key", "[a]\nx=1\nX=3\n[A]\nx=2\n", "a", "x", "9", "[a]\nx=9\nX=3\n[A]\nx=2\n"},
        {"line breaks in a value become blanks", "[a]\n", "a", "x", "1\r\n[evil]\nk=v", "[a]\nx=1  [evil] k=v\n"},
        {"NUL in a value becomes a blank", "[a]\n", "a", "x", "p\0q"s, "[a]\nx=p q\n"},
        {"line breaks in names become blanks", "", "a\nb", "x\r\ny", "1", "[a b]\nx  y=1\n"},
        {"section name holding a bracket", "", "a]b", "k", "1", "[a]b]\nk=1\n"},
        {"key holding an equals sign refused", "[a]\n", "a", "x=y", "1", "[a]\n"},
        {"key looking like a header refused", "[a]\n", "a", "[b]", "1", "[a]\n"},
        {"key looking like a comment refused", "[a]\n", "a", ";x", "1", "[a]\n"},
    };
    for (const Case& c : cases) {
        const std::string after = IniSetText(c.before, c.section, c.key, c.value);
        // A text with no line end yet takes the platform's own.
        const bool hasLineEnd = c.before.find('\n') != std::string::npos;
        EXPECT_EQ(after, hasLineEnd ? c.after : test::AsNewFile(c.after)) << c.what;
        // The key written is the key found: writing the same again changes nothing, so a
        // reader that writes its default back never makes the file grow.
        EXPECT_EQ(IniSetText(after, c.section, c.key, c.value), after) << c.what;
    }
}

// Names as the file compares them (the plain ASCII names used below).
bool SameName(std::string a, std::string b)
{
    auto canon = [](std::string s) {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const auto first = s.find_first_not_of(" \t");
        return first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(" \t") - first + 1);
    };
    return canon(a) == canon(b);
}

// Random garbage with random edits: every write must be readable at once, and must leave
// every other key as it was.
TEST(IniText, RandomTextsKeepEveryOtherKeyAcrossWrites)
{
    std::mt19937 rng(20261208);
    const std::string alphabet = "ab[]=; \t\r\n\0\"x\xE3\x83"s;
    const std::vector<std::string> names = {"a", "A", " b", "x", "[", "a]", "ab", ""};
    const std::vector<std::string> values = {"1", "True", "", "a b", "é", "[x]", "k=v"};
    auto pick = [&](const auto& v) { return v[rng() % v.size()]; };
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int length = static_cast<int>(rng() % 60);
        for (int i = 0; i < length; ++i)
            text += alphabet[rng() % alphabet.size()];
        const std::string section = pick(names);
        const std::string key = pick(names);
        const std::string value = pick(values);
        const std::string after = IniSetText(text, section, key, value);
        if (!IniKeyIsStorable(key)) {
            EXPECT_EQ(after, text);
            continue;
        }
        ASSERT_EQ(IniGetText(after, section, key), value) << "text: " << testing::PrintToString(text);
        for (const std::string& otherSection : names)
            for (const std::string& otherKey : names) {
                if (SameName(otherSection, section) && SameName(otherKey, key))
                    continue;
                ASSERT_EQ(IniGetText(after, otherSection, otherKey), IniGetText(text, otherSection, otherKey))
                    << "text: " << testing::PrintToString(text) << " set " << section << "/" << key;
            }
    }
}

TEST(IniText, ListedNamesAreTheOnesAReaderSeesTrimmedAndInOrder)
{
    const std::string text = "\xEF\xBB\xBForphan=1\r\n[ frmMain ]\r\n; Top=0\r\n Top = 1\r\nno equals\r\n"
                             "top=2\r\n[Color] tail\r\nYear=\r\n[frmmain]\nLeft=3\n[broken\nx=4";
    const std::vector<IniSectionNames> names = IniListNames(text);
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0].name, "frmMain");
    EXPECT_EQ(names[0].keys, (std::vector<std::string>{"Top", "top"}));
    EXPECT_EQ(names[1].name, "Color");
    EXPECT_EQ(names[1].keys, (std::vector<std::string>{"Year"}));
    EXPECT_EQ(names[2].name, "frmmain");
    EXPECT_EQ(names[2].keys, (std::vector<std::string>{"Left", "x"})) << "a header without \"]\" is no header";
    EXPECT_TRUE(IniListNames("").empty());
}

TEST(IniText, HugeGarbageTextIsReadAndWrittenInLinearTime)
{
    std::mt19937 rng(7);
    std::string text;
    text.reserve(10u << 20);
    while (text.size() < (10u << 20)) {
        const char c = static_cast<char>(rng());
        text += c == '\n' ? 'x' : c; // one 10 MB line of random bytes, NULs and all
    }
    text += "\n[frmMain]\nTop=1185\n";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(IniGetText(text, "frmMain", "Top"), "1185");
    const std::string after = IniSetText(text, "frmMain", "Left", "-300");
    EXPECT_EQ(after.substr(0, text.size()), text);
    EXPECT_EQ(IniGetText(after, "frmMain", "Left"), "-300");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

} // namespace
} // namespace vx
