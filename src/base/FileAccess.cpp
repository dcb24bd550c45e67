#include "base/FileAccess.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <thread>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#undef ReplaceFile // the system's macro, not ours
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace vx {

namespace fs = std::filesystem;

namespace {

// The platform's calls for reading and writing a file, in the shape the code below uses them: a
// descriptor, negative when the open failed (with errno set); the size of a regular file; a read
// that answers with the bytes it read or a negative number; a write of every byte; a cut to a
// length and a flush to disk that answer whether they succeeded.
#ifdef _WIN32

int ErrnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    default:
        return EIO;
    }
}

int OpenToRead(const fs::path& path)
{
    // Shared for deleting as well: a reader holding the file open (the C library's own open shares
    // only reading and writing) would make every replacement of it fail until it lets go.
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = ErrnoOf(::GetLastError());
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        errno = EIO;
    }
    return fd;
}

bool IsMissing(int error)
{
    return error == ENOENT;
}

bool RegularFileSize(int fd, unsigned long long& size, std::optional<FileStamp>* stamp)
{
    struct _stat64 st {};
    if (_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG)
        return false;
    size = static_cast<unsigned long long>(st.st_size);
    if (stamp)
        stamp->reset();
    return true;
}

long long ReadSome(int fd, char* to, std::size_t count)
{
    return _read(fd, to, static_cast<unsigned>(std::min<std::size_t>(count, 1u << 30)));
}

bool CloseFile(int fd)
{
    return _close(fd) == 0;
}

int OpenToWrite(const fs::path& path)
{
    return _wopen(path.c_str(), _O_WRONLY | _O_BINARY);
}

bool CutTo(int fd, std::size_t size)
{
    return _chsize_s(fd, static_cast<__int64>(size)) == 0;
}

// FlushFileBuffers underneath.
bool Flush(int fd)
{
    return _commit(fd) == 0;
}

int CreateNewFile(const fs::path& path)
{
    return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}

void RemoveFile(const fs::path& path)
{
    _wunlink(path.c_str());
}

bool WriteAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        const int n = _write(fd, bytes.data() + done, chunk);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

#else

int OpenToRead(const fs::path& path)
{
    // Non-blocking so that a path naming a pipe does not hang the clock; it is refused as no
    // regular file.
    int fd;
    do
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    while (fd < 0 && errno == EINTR);
    return fd;
}

bool IsMissing(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

FileStamp StampOfStat(const struct stat& st)
{
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::uint64_t>(st.st_size), static_cast<std::int64_t>(st.st_ctim.tv_sec),
            static_cast<long>(st.st_ctim.tv_nsec)};
}

bool RegularFileSize(int fd, unsigned long long& size, std::optional<FileStamp>* stamp)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    size = static_cast<unsigned long long>(st.st_size);
    if (stamp)
        *stamp = StampOfStat(st);
    return true;
}

long long ReadSome(int fd, char* to, std::size_t count)
{
    ssize_t n;
    do
        n = ::read(fd, to, count);
    while (n < 0 && errno == EINTR);
    return n;
}

bool CloseFile(int fd)
{
    return ::close(fd) == 0;
}

int OpenToWrite(const fs::path& path)
{
    int fd;
    do
        fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    while (fd < 0 && errno == EINTR);
    return fd;
}

bool CutTo(int fd, std::size_t size)
{
    return ::ftruncate(fd, static_cast<off_t>(size)) == 0;
}

bool Flush(int fd)
{
    return ::fsync(fd) == 0;
}

int CreateNewFile(const fs::path& path)
{
    int fd;
    do
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    while (fd < 0 && errno == EINTR);
    return fd;
}

void RemoveFile(const fs::path& path)
{
    ::unlink(path.c_str());
}

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

#endif

// The temporary file a new text is written to before it replaces the target: with the lock, one
// fixed name; without it, a name no other writer picks: the process, a counter and the clock.
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

// A file that could not be made for want of permission, not of space or of a name.
bool FolderRefuses(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

// A new temporary file beside the target, open for writing, and its path; a negative descriptor
// when none can be made there, with errno saying why.
int CreateTempFile(const fs::path& target, bool locked, fs::path& temp)
{
    if (locked)
        RemoveFile(TempPathFor(target, true));
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = TempPathFor(target, locked && attempt == 0);
        fd = CreateNewFile(temp);
        if (fd < 0 && errno != EEXIST)
            return -1;
    }
    return fd;
}

} // namespace

fs::path PathFromUtf8(const std::string& utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

fs::path FolderOf(const fs::path& file)
{
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

namespace {

// The stamp of the regular file of that name, links followed; never on Windows, whose files keep
// no change time.
std::optional<FileStamp> StampOfName([[maybe_unused]] const char* name)
{
#ifdef _WIN32
    return std::nullopt;
#else
    struct stat st {};
    if (::stat(name, &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return StampOfStat(st);
#endif
}

} // namespace

std::optional<FileStamp> StampOf(const fs::path& path)
{
#ifdef _WIN32
    (void)path;
    return std::nullopt;
#else
    return StampOfName(path.c_str());
#endif
}

std::optional<FileStamp> StampOfUtf8(const std::string& utf8)
{
    // A file name here is its bytes, as a path object would hand them on.
    return StampOfName(utf8.c_str());
}

FileResult ReadWholeFile(const fs::path& path, std::string& bytes, std::size_t maxBytes,
                         std::optional<FileStamp>* stamp)
{
    if (stamp)
        stamp->reset();
    const int fd = OpenToRead(path);
    if (fd < 0)
        return IsMissing(errno) ? FileResult::Missing : FileResult::Failed;
    unsigned long long size = 0;
    if (!RegularFileSize(fd, size, stamp) || size > maxBytes) {
        if (stamp)
            stamp->reset();
        CloseFile(fd);
        return FileResult::Failed;
    }
    // One byte more than the size sees the end of the file in a single read: a regular file
    // returns less than was asked only at its end, so the usual settings read is one open, one
    // read and one close. A file that grew meanwhile is read on to its new end.
    bytes.resize(static_cast<std::size_t>(size) + 1);
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (bytes.size() > maxBytes) {
                CloseFile(fd);
                return FileResult::Failed;
            }
            bytes.resize(bytes.size() + 65536);
        }
        const std::size_t asked = bytes.size() - got;
        const long long n = ReadSome(fd, bytes.data() + got, asked);
        if (n < 0) {
            CloseFile(fd);
            return FileResult::Failed;
        }
        got += static_cast<std::size_t>(n);
        if (static_cast<std::size_t>(n) < asked)
            break;
    }
    CloseFile(fd);
    bytes.resize(got);
    return FileResult::Done;
}

bool MayWrite(const fs::path& target)
{
#ifdef _WIN32
    std::error_code ec;
    return (fs::status(target, ec).permissions() & fs::perms::owner_write) != fs::perms::none;
#else
    return ::access(target.c_str(), W_OK) == 0;
#endif
}

#ifdef _WIN32

FileResult ReplaceFile(const fs::path& target, std::string_view bytes, bool oldExists, bool locked)
{
    fs::path temp;
    const int fd = CreateTempFile(target, locked, temp);
    if (fd < 0)
        return FolderRefuses(errno) ? FileResult::Refused : FileResult::Failed;
    bool ok = WriteAll(fd, bytes);
    ok = ok && Flush(fd);
    ok = CloseFile(fd) && ok;
    std::error_code ec;
    if (ok && oldExists) {
        const fs::perms perms = fs::status(target, ec).permissions();
        if (!ec)
            fs::permissions(temp, perms, ec);
    }
    if (ok) {
        // Write-through makes the rename itself durable. Another program that has the file open
        // without sharing its deletion (an editor, a virus scanner) refuses the replacement for as
        // long as it holds it: wait for it a while, as for the write lock.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        for (;;) {
            ok = ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
            const DWORD error = ok ? ERROR_SUCCESS : ::GetLastError();
            if (ok || ErrnoOf(error) != EACCES || std::chrono::steady_clock::now() >= deadline)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    if (!ok)
        fs::remove(temp, ec);
    return ok ? FileResult::Done : FileResult::Failed;
}

#else

FileResult ReplaceFile(const fs::path& target, std::string_view bytes, bool oldExists, bool locked)
{
    struct stat old {};
    if (oldExists && ::stat(target.c_str(), &old) != 0)
        return FileResult::Failed;
    const fs::path folder = FolderOf(target);
    fs::path temp;
    const int fd = CreateTempFile(target, locked, temp);
    if (fd < 0)
        return FolderRefuses(errno) ? FileResult::Refused : FileResult::Failed;
    bool ok = true;
    if (oldExists) {
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
        // Only root can hand the file back to its owner; anyone else keeps their own file anyway.
        if (ok && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
            (void)!::fchown(fd, old.st_uid, old.st_gid);
    }
    ok = ok && WriteAll(fd, bytes);
    ok = ok && Flush(fd);
    ok = CloseFile(fd) && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        RemoveFile(temp);
        return FileResult::Failed;
    }
    // Make the rename itself durable.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        (void)::fsync(dirFd);
        ::close(dirFd);
    }
    return FileResult::Done;
}

#endif

FileResult WriteInPlace(const fs::path& file, std::string_view bytes)
{
    const int fd = OpenToWrite(file);
    if (fd < 0)
        return FileResult::Failed;
    bool ok = WriteAll(fd, bytes);
    ok = ok && CutTo(fd, bytes.size());
    ok = ok && Flush(fd);
    ok = CloseFile(fd) && ok;
    return ok ? FileResult::Done : FileResult::Failed;
}

} // namespace vx
