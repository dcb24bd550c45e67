#include "settings/IniFile.h"
#include "base/Text.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <sys/types.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace vx {
namespace {

namespace fs = std::filesystem;

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
    const auto space = [](char c) { return IsBlank(c) || IsLineBreaker(c); };
    while (!s.empty() && space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && space(s.back()))
        s.remove_suffix(1);
    return s;
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
            out.append(eol);
        out.append(key).append("=").append(value).append(eol);
        out.append(text.substr(insertAfter.end));
        return out;
    }
    out.append(text);
    if (!text.empty()) {
        if (text.back() != '\n')
            out.append(eol);
        if (!lastLineBlank)
            out.append(eol); // a blank line between sections, as a person would write it
    }
    out.append("[").append(section).append("]").append(eol);
    out.append(key).append("=").append(value).append(eol);
    return out;
}

// ---- Files ----

fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

enum class ReadStatus { Ok, Missing, Failed };

#ifdef _WIN32

ReadStatus ReadFileBytes(const fs::path& path, std::string& out)
{
    const int fd = _wopen(path.c_str(), _O_RDONLY | _O_BINARY);
    if (fd < 0)
        return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
    struct _stat64 st {};
    if (_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG
        || static_cast<unsigned long long>(st.st_size) > kMaxIniFileBytes) {
        _close(fd);
        return ReadStatus::Failed;
    }
    out.resize(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t got = 0;
    for (;;) {
        if (got == out.size()) {
            if (out.size() > kMaxIniFileBytes) {
                _close(fd);
                return ReadStatus::Failed;
            }
            out.resize(out.size() + 65536);
        }
        const int n = _read(fd, out.data() + got, static_cast<unsigned>(out.size() - got));
        if (n < 0) {
            _close(fd);
            return ReadStatus::Failed;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    _close(fd);
    out.resize(got);
    return ReadStatus::Ok;
}

#else

ReadStatus ReadFileBytes(const fs::path& path, std::string& out)
{
    // Non-blocking so that a path naming a pipe does not hang the clock; it is refused below.
    int fd;
    do
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Failed;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)
        || static_cast<unsigned long long>(st.st_size) > kMaxIniFileBytes) {
        ::close(fd);
        return ReadStatus::Failed;
    }
    // One byte more than the size sees the end of the file in a single read: a regular file
    // returns less than was asked only at its end, so the usual settings read is one open, one
    // read and one close. A file that grew meanwhile is read on to its new end.
    out.resize(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t got = 0;
    for (;;) {
        if (got == out.size()) {
            if (out.size() > kMaxIniFileBytes) {
                ::close(fd);
                return ReadStatus::Failed;
            }
            out.resize(out.size() + 65536);
        }
        const std::size_t asked = out.size() - got;
        const ssize_t n = ::read(fd, out.data() + got, asked);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return ReadStatus::Failed;
        }
        got += static_cast<std::size_t>(n);
        if (static_cast<std::size_t>(n) < asked)
            break;
    }
    ::close(fd);
    out.resize(got);
    return ReadStatus::Ok;
}

#endif

fs::path FolderOf(const fs::path& target)
{
    return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

// The hidden file beside the target whose lock keeps writers apart: ".velmorax.ini.lock".
fs::path LockPathFor(const fs::path& target)
{
    fs::path name = ".";
    name += target.filename();
    name += ".lock";
    return FolderOf(target) / name;
}

// The temporary file a new text is written to before it replaces the target. A writer holding the
// lock uses one fixed name and clears what a writer killed halfway left there, so crashes leave at
// most one stray file. Without the lock, a name no other writer picks: the process, a counter and
// the clock.
fs::path TempPathFor(const fs::path& target, bool locked)
{
    fs::path name = ".";
    name += target.filename();
    if (locked) {
        name += ".tmp";
        return FolderOf(target) / name;
    }
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const long long pid = _getpid();
#else
    const long long pid = ::getpid();
#endif
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    name += ".tmp-" + std::to_string(pid) + "-" + std::to_string(counter.fetch_add(1)) + "-"
            + std::to_string(ticks % 1000000007);
    return FolderOf(target) / name;
}

// Two copies of the program share one settings file, and each write is a read, a change and a
// rename: without a lock around the three, the later rename drops the other copy's change. The
// lock is advisory and bounded: a writer that cannot have it in time (a folder it may not write
// to, a holder that hangs) goes on without it rather than wait for ever.
class WriteLock {
public:
    explicit WriteLock(const fs::path& target);
    ~WriteLock();
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

    bool held() const;

private:
    fs::path path_;
#ifdef _WIN32
    HANDLE handle_ = INVALID_HANDLE_VALUE;
#else
    int fd_ = -1;
#endif
};

// Writes take milliseconds; a lock held longer than this belongs to a writer that is stuck.
constexpr auto kLockWait = std::chrono::seconds(1);
constexpr auto kLockPoll = std::chrono::milliseconds(2);

#ifdef _WIN32

WriteLock::WriteLock(const fs::path& target) : path_(LockPathFor(target))
{
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (;;) {
        // Deleted when the last writer lets go of it; waiting writers keep it alive meanwhile.
        handle_ = ::CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (handle_ != INVALID_HANDLE_VALUE) {
            OVERLAPPED whole{};
            if (::LockFileEx(handle_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole))
                return;
            ::CloseHandle(handle_);
            handle_ = INVALID_HANDLE_VALUE;
        } else if (::GetLastError() != ERROR_ACCESS_DENIED && ::GetLastError() != ERROR_SHARING_VIOLATION) {
            return; // no lock file can be made here (a folder the user may not write to): go on without
        }
        // Denied access also means the last holder's file is being deleted: try again.
        if (std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(kLockPoll);
    }
}

WriteLock::~WriteLock()
{
    if (handle_ != INVALID_HANDLE_VALUE) {
        OVERLAPPED whole{};
        ::UnlockFileEx(handle_, 0, 1, 0, &whole);
        ::CloseHandle(handle_);
    }
}

bool WriteLock::held() const
{
    return handle_ != INVALID_HANDLE_VALUE;
}

#else

WriteLock::WriteLock(const fs::path& target) : path_(LockPathFor(target))
{
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    while (fd_ < 0) {
        int fd;
        do
            fd = ::open(path_.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, 0666);
        while (fd < 0 && errno == EINTR);
        if (fd < 0)
            return; // no lock file can be made here (a folder the user may not write to): go on without
        for (;;) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                // The holder before removes the file as it lets go; a lock on a removed file keeps
                // nobody out, so it counts only while the name still leads to the same file.
                struct stat locked {}, named {};
                if (::fstat(fd, &locked) == 0 && ::stat(path_.c_str(), &named) == 0 && locked.st_dev == named.st_dev
                    && locked.st_ino == named.st_ino)
                    fd_ = fd;
                else
                    ::close(fd);
                break;
            }
            if (errno != EWOULDBLOCK && errno != EINTR) {
                ::close(fd);
                return;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                ::close(fd);
                return;
            }
            std::this_thread::sleep_for(kLockPoll);
        }
        if (fd_ < 0 && std::chrono::steady_clock::now() >= deadline)
            return;
    }
}

WriteLock::~WriteLock()
{
    if (fd_ >= 0) {
        // Removed while still held, so that no one can lock the old file and think it current.
        ::unlink(path_.c_str());
        ::close(fd_);
    }
}

bool WriteLock::held() const
{
    return fd_ >= 0;
}

#endif

#ifdef _WIN32

bool ReplaceAtomically(const fs::path& target, std::string_view bytes, bool oldExists, bool locked)
{
    fs::path temp;
    int fd = -1;
    if (locked)
        _wunlink(TempPathFor(target, true).c_str());
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = TempPathFor(target, locked && attempt == 0);
        fd = _wopen(temp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        const int n = _write(fd, bytes.data() + done, chunk);
        if (n <= 0)
            ok = false;
        else
            done += static_cast<std::size_t>(n);
    }
    ok = ok && _commit(fd) == 0; // FlushFileBuffers underneath
    ok = (_close(fd) == 0) && ok;
    std::error_code ec;
    if (ok && oldExists) {
        const fs::perms perms = fs::status(target, ec).permissions();
        if (!ec)
            fs::permissions(temp, perms, ec);
    }
    if (ok) {
        fs::rename(temp, target, ec); // MoveFileEx with replace-existing
        ok = !ec;
    }
    if (!ok)
        fs::remove(temp, ec);
    return ok;
}

#else

bool WriteAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool ReplaceAtomically(const fs::path& target, std::string_view bytes, bool oldExists, bool locked)
{
    struct stat old {};
    if (oldExists && ::stat(target.c_str(), &old) != 0)
        return false;
    const fs::path folder = FolderOf(target);
    fs::path temp;
    int fd = -1;
    if (locked)
        ::unlink(TempPathFor(target, true).c_str());
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = TempPathFor(target, locked && attempt == 0);
        do
            fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        while (fd < 0 && errno == EINTR);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    bool ok = true;
    if (oldExists) {
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
        // Only root can hand the file back to its owner; anyone else keeps their own file anyway.
        if (ok && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
            (void)!::fchown(fd, old.st_uid, old.st_gid);
    }
    ok = ok && WriteAll(fd, bytes);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        (void)::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

#endif

bool MayWrite(const fs::path& target)
{
#ifdef _WIN32
    std::error_code ec;
    return (fs::status(target, ec).permissions() & fs::perms::owner_write) != fs::perms::none;
#else
    return ::access(target.c_str(), W_OK) == 0;
#endif
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

std::string IniSetText(std::string_view text, std::string_view section, std::string_view key, std::string_view value)
{
    std::optional<std::string> out = SetText(text, section, key, value);
    return out ? std::move(*out) : std::string(text);
}

std::optional<std::string> IniGet(const std::string& path, std::string_view section, std::string_view key)
{
    if (path.empty())
        return std::nullopt;
    try {
        std::string bytes;
        if (ReadFileBytes(PathOf(path), bytes) != ReadStatus::Ok)
            return std::nullopt;
        return IniGetText(bytes, section, key);
    } catch (...) {
        return std::nullopt;
    }
}

bool IniSet(const std::string& path, std::string_view section, std::string_view key, std::string_view value)
{
    if (path.empty())
        return false;
    try {
        fs::path target = PathOf(path);
        std::error_code ec;
        // Write through a link to the file it names instead of replacing the link.
        if (fs::is_symlink(target, ec)) {
            const fs::path resolved = fs::canonical(target, ec);
            if (!ec)
                target = resolved;
        }
        // Read, change and replace under the lock, so that another writer's change is read first.
        const WriteLock lock(target);
        std::string old;
        const ReadStatus status = ReadFileBytes(target, old);
        if (status == ReadStatus::Failed)
            return false; // rewriting what could not be read would lose it
        const bool oldExists = status == ReadStatus::Ok;
        const std::optional<std::string> updated = SetText(old, section, key, value);
        if (!updated)
            return false;
        if (oldExists && *updated == old)
            return true;
        if (oldExists && !MayWrite(target))
            return false; // a read-only settings file is kept as it is
        return ReplaceAtomically(target, *updated, oldExists, lock.held());
    } catch (...) {
        return false;
    }
}

} // namespace vx
