// Our settings store against Windows' own INI functions (GetPrivateProfileStringA,
// WritePrivateProfileStringA), run under Wine in `make wintest`. Seeded random sequences of reads
// and writes go through both, each on its own copy of the same file: names in odd letter case and
// with blanks, values with blanks and quotes, duplicate sections and keys, comment lines, CRLF and
// LF files, missing files. After every operation what each read returns is compared, and after
// every write the set of sections and of the keys a reader can reach in each. Byte layout is not
// compared: the platform's writer rewrites the whole file in its own form, ours changes one line.
//
// Every difference is counted under its cause. One that no accepted cause explains fails the test
// and ends its sequence (what follows would only repeat it). The one difference that remains,
// settled on purpose:
//
// - "256-byte quoted value": a value of 254 bytes in quotes, 256 with them. The platform's
//   reader takes off the opening quote, copies what fits its 255-byte buffer (254 bytes: the
//   text) and, seeing the closing quote would have fitted, takes off the buffer's last byte
//   instead: it returns 253 bytes of the text, one lost. Ours takes off the pair of quotes, then
//   cuts to 254 bytes, and returns the whole text. The design sees "at most 254 bytes of a
//   value" through a buffer of 255, and quotes are the value's form, not its text: ours keeps
//   every byte it can. Quoted values of other lengths read the same in both.
//
// Section headers with blanks inside the brackets ("[ frmMain ]"), duplicate sections and keys,
// comments, lines without "=", key lines before any section, CRLF and LF, a byte-order mark, a
// missing file and a last line without a line end all read and list the same in both.
//
// Anything else found fails the test with the seed, the file and the operations that led to it.

#include "settings/Ini.h"
#include "settings/IniFile.h"
#include "settings/IniText.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace vx {
namespace {

constexpr unsigned kSequences = 80;
constexpr int kOperationsPerSequence = 30;

const std::vector<std::string> kSections = {"frmMain", "Setting", "TaskTray", "Color", "Two Words", "x"};
const std::vector<std::string> kKeys = {"Top", "Left", "NowSize", "YearOrClock", "Year", "Tuika 1", "k", "a b c"};
const std::vector<std::string> kValues = {
    "1185", "True", "false", "-300", "41152", "a b", "  padded  ", "\"quoted\"", "\" spaced quote \"", "'single'",
    "\"unbalanced", "it's", "a=b", "x;y", "say \"hi\" twice", "", "   ", "\"\"", "'", std::string(300, 'v'),
    "\"" + std::string(300, 'q') + "\"", "\"" + std::string(253, 'e') + "\"", "\"" + std::string(254, 'f') + "\"",
};

std::string Fold(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// What a file says to a reader: the sections by name (folded), each with the keys of its first
// appearance (folded), as the first appearance is the one both readers use.
using NameSets = std::map<std::string, std::set<std::string>>;

std::string Describe(const NameSets& names)
{
    std::ostringstream out;
    for (const auto& [section, keys] : names) {
        out << "[" << section << "]";
        for (const std::string& key : keys)
            out << " " << key;
        out << "; ";
    }
    return out.str();
}

std::vector<std::string> SplitDoubleNul(const std::vector<char>& buffer, DWORD size)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (buffer[i] == '\0') {
            if (i > start)
                out.emplace_back(buffer.data() + start, i - start);
            start = i + 1;
        }
    }
    return out;
}

// The platform's side.
struct Platform {
    std::string path;

    std::optional<std::string> Get(const std::string& section, const std::string& key) const
    {
        static const char kAbsent[] = "\x7f<absent>";
        char buffer[255] = {};
        const DWORD n = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), kAbsent, buffer, sizeof buffer,
                                                   path.c_str());
        const std::string value(buffer, n);
        if (value == kAbsent)
            return std::nullopt;
        return value;
    }
    bool Set(const std::string& section, const std::string& key, const std::string& value) const
    {
        return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != 0;
    }
    // The design's ReadIni on the platform's calls: empty default, then the default written back.
    std::string ReadIni(const std::string& section, const std::string& key, const std::string& def) const
    {
        char buffer[255] = {};
        const DWORD n =
            ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof buffer, path.c_str());
        std::string value(buffer, n);
        if (value.empty()) {
            Set(section, key, def);
            value = def;
        }
        return value;
    }
    NameSets Names() const
    {
        std::vector<char> buffer(1 << 16);
        NameSets names;
        const DWORD n = ::GetPrivateProfileSectionNamesA(buffer.data(), static_cast<DWORD>(buffer.size()),
                                                         path.c_str());
        for (const std::string& section : SplitDoubleNul(buffer, n)) {
            if (names.count(Fold(section)))
                continue;
            std::set<std::string>& keys = names[Fold(section)];
            const DWORD k = ::GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(),
                                                       static_cast<DWORD>(buffer.size()), path.c_str());
            for (const std::string& key : SplitDoubleNul(buffer, k))
                keys.insert(Fold(key));
        }
        return names;
    }
};

// Ours, through the store's own calls.
struct Ours {
    std::string path;

    std::optional<std::string> Get(const std::string& section, const std::string& key) const
    {
        return IniGet(path, section, key);
    }
    bool Set(const std::string& section, const std::string& key, const std::string& value) const
    {
        return ini::WriteIni(section, key, value, path) != 0;
    }
    std::string ReadIni(const std::string& section, const std::string& key, const std::string& def) const
    {
        return ini::ReadIni(section, key, def, path);
    }
    NameSets Names() const
    {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        std::string text;
        if (f) {
            char chunk[4096];
            for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, f)) > 0;)
                text.append(chunk, got);
            std::fclose(f);
        }
        NameSets names;
        for (const IniSectionNames& section : IniListNames(text)) {
            if (names.count(Fold(section.name)))
                continue;
            std::set<std::string>& keys = names[Fold(section.name)];
            for (const std::string& key : section.keys)
                keys.insert(Fold(key));
        }
        return names;
    }
};

class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool Chance(int percent) { return Below(100) < percent; }
    const std::string& Pick(const std::vector<std::string>& from) { return from[static_cast<std::size_t>(Below(static_cast<int>(from.size())))]; }

    std::string OddCase(const std::string& name)
    {
        std::string out = name;
        for (char& c : out)
            if (Chance(30))
                c = static_cast<char>(std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c) : std::toupper(c));
        return out;
    }
    std::string Blanks() { return Chance(70) ? "" : std::string(static_cast<std::size_t>(1 + Below(2)), Chance(80) ? ' ' : '\t'); }
    std::string Section() { return OddCase(Pick(kSections)); }
    std::string Key() { return OddCase(Pick(kKeys)); }
    // A name as a caller passes it: odd case, sometimes with blanks around.
    std::string CallName(const std::vector<std::string>& from) { return Blanks() + OddCase(Pick(from)) + Blanks(); }
    std::string Value() { return Pick(kValues); }

    // A settings file as a person or another program may have left it; nullopt for none at all.
    std::optional<std::string> File()
    {
        if (Chance(10))
            return std::nullopt;
        const std::string eol = Chance(50) ? "\r\n" : "\n";
        std::string text;
        if (Chance(10))
            text += "\xEF\xBB\xBF";
        if (Chance(20))
            text += "; written by hand" + eol;
        if (Chance(10))
            text += Key() + "=before any section" + eol;
        const int sections = Below(6);
        for (int s = 0; s < sections; ++s) {
            if (Chance(30))
                text += eol;
            const std::string pad = Chance(20) ? " " : "";
            text += "[" + pad + Section() + pad + "]" + (Chance(10) ? " ; note" : "") + eol;
            const int lines = Below(7);
            for (int l = 0; l < lines; ++l) {
                switch (Below(10)) {
                case 0:
                    text += "; " + Key() + "=commented out" + eol;
                    break;
                case 1:
                    text += "no equals sign here" + eol;
                    break;
                case 2:
                    text += eol;
                    break;
                default:
                    text += Blanks() + Key() + Blanks() + "=" + Blanks() + Value() + eol;
                }
            }
        }
        if (!text.empty() && Chance(15))
            text.resize(text.size() - eol.size()); // no line end after the last line
        return text;
    }

private:
    std::mt19937 rng_;
};

// What each reader returns for a value stored as it stands: ours by our own text model; the
// platform's as observed (see the top of the file).
std::optional<std::string> OursSeen(const std::string& stored)
{
    return IniGetText("[s]\nk=" + stored + "\n", "s", "k");
}
std::string PlatformSeen(const std::string& stored)
{
    const bool quoted = stored.size() >= 2 && (stored.front() == '"' || stored.front() == '\'') && stored.back() == stored.front();
    if (!quoted)
        return stored.substr(0, kMaxValueBytes);
    const std::string inner = stored.substr(1);
    std::string seen = inner.substr(0, kMaxValueBytes);
    if (inner.size() <= kMaxValueBytes + 1)
        seen.pop_back();
    return seen;
}

// The accepted cause that explains two different answers, or "" when none does.
std::string AcceptedCause(const std::optional<std::string>& ours, const std::optional<std::string>& platform)
{
    if (!ours || !platform)
        return {};
    for (const std::string& v : kValues)
        if (v.size() == kMaxValueBytes + 2 && OursSeen(v) == ours && PlatformSeen(v) == *platform)
            return "256-byte quoted value";
    return {};
}

struct Figures {
    unsigned sequences = 0;
    unsigned long reads = 0;
    unsigned long writes = 0;
    unsigned long nameComparisons = 0;
    std::map<std::string, unsigned> accepted;
    std::map<std::string, std::string> example; // the first difference of each accepted cause
    std::vector<std::string> unexplained;
};

void RunSequence(unsigned seed, Generator& gen, Figures& figures)
{
    test::TempDir dir;
    const std::string oursPath = dir.file("ours.ini");
    const std::string platformPath = dir.file("platform.ini");
    const std::optional<std::string> file = gen.File();
    if (file) {
        dir.write("ours.ini", *file);
        dir.write("platform.ini", *file);
    }
    const Ours ours{oursPath};
    const Platform platform{platformPath};
    ++figures.sequences;
    std::string history = "seed " + std::to_string(seed) + ", file " + (file ? testing::PrintToString(*file) : "none");

    // Settles one difference: counted under an accepted cause, and the sequence goes on; or kept
    // as unexplained, and the sequence ends.
    const auto differ = [&](const std::string& cause, const std::string& what) {
        if (cause.empty()) {
            figures.unexplained.push_back(history + "\n  " + what);
            return false;
        }
        if (++figures.accepted[cause] == 1)
            figures.example[cause] = what;
        return true;
    };

    const auto compareReads = [&](const std::string& section, const std::string& key) -> bool {
        ++figures.reads;
        const std::optional<std::string> a = ours.Get(section, key);
        const std::optional<std::string> b = platform.Get(section, key);
        if (a == b)
            return true;
        return differ(AcceptedCause(a, b), "read [" + section + "] " + key + ": ours " + testing::PrintToString(a)
                                               + ", platform " + testing::PrintToString(b));
    };
    const auto compareNames = [&]() -> bool {
        ++figures.nameComparisons;
        const NameSets a = ours.Names();
        const NameSets b = platform.Names();
        if (a == b)
            return true;
        return differ("", "names: ours " + Describe(a) + "platform " + Describe(b));
    };

    for (int op = 0; op < kOperationsPerSequence; ++op) {
        const std::string section = gen.CallName(kSections);
        const std::string key = gen.CallName(kKeys);
        const int kind = gen.Below(100);
        if (kind < 45) {
            history += "\n  read [" + section + "] " + key;
            if (!compareReads(section, key))
                return;
        } else if (kind < 60) {
            const std::string def = gen.Value();
            history += "\n  ReadIni [" + section + "] " + key + " default " + testing::PrintToString(def);
            ++figures.reads;
            const std::string a = ours.ReadIni(section, key, def);
            const std::string b = platform.ReadIni(section, key, def);
            if (a != b && !differ(AcceptedCause(a, b), "ReadIni: ours " + testing::PrintToString(a) + ", platform "
                                                            + testing::PrintToString(b)))
                return;
            if (!compareNames())
                return;
        } else {
            const std::string value = gen.Value();
            history += "\n  write [" + section + "] " + key + " = " + testing::PrintToString(value);
            ++figures.writes;
            const bool a = ours.Set(section, key, value);
            const bool b = platform.Set(section, key, value);
            if (a != b) {
                differ("", std::string("write succeeded: ours ") + (a ? "yes" : "no") + ", platform " + (b ? "yes" : "no"));
                return;
            }
            if (!compareReads(section, key) || !compareNames())
                return;
            // Every name either side knows, read through both.
            for (const auto& [s, keys] : ours.Names())
                for (const std::string& k : keys)
                    if (!compareReads(s, k))
                        return;
        }
    }
}

void Report(const char* title, const Figures& f)
{
    std::printf("%s: %u sequences, %lu operations compared (%lu reads, %lu writes, %lu name sets); "
                "%zu differences unexplained",
                title, f.sequences, f.reads + f.writes + f.nameComparisons, f.reads, f.writes, f.nameComparisons,
                f.unexplained.size());
    for (const auto& [cause, count] : f.accepted)
        std::printf("; %u settled as \"%s\"", count, cause.c_str());
    std::printf("\n");
    for (const auto& [cause, what] : f.example)
        std::printf("  first \"%s\": %s\n", cause.c_str(), what.c_str());
}

TEST(IniAgainstThePlatform, RandomSequencesReadAndListTheSameAsTheSystemsOwnFunctions)
{
    Figures figures;
    for (unsigned seed = 1; seed <= kSequences; ++seed) {
        Generator gen(seed);
        RunSequence(seed, gen, figures);
    }
    Report("settings store against the platform", figures);
    for (std::size_t i = 0; i < std::min<std::size_t>(figures.unexplained.size(), 5); ++i)
        ADD_FAILURE() << figures.unexplained[i];
    EXPECT_TRUE(figures.unexplained.empty()) << figures.unexplained.size() << " differences unexplained";
}

} // namespace
} // namespace vx
