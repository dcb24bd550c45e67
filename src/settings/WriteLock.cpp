#include "settings/WriteLock.h"

#include "base/FileAccess.h"

#include <cerrno>
#include <chrono>
#include <thread>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace vx {

namespace fs = std::filesystem;

namespace {

// The hidden file beside the settings file whose lock keeps writers apart: ".velmorax.ini.lock".
fs::path LockPathFor(const fs::path& file)
{
    fs::path name = ".";
    name += file.filename();
    name += ".lock";
    return FolderOf(file) / name;
}

// Writes take milliseconds; a lock held longer than this belongs to a writer that is stuck.
constexpr auto kLockWait = std::chrono::seconds(1);
constexpr auto kLockPoll = std::chrono::milliseconds(2);

} // namespace

#ifdef _WIN32

WriteLock::WriteLock(const fs::path& file) : path_(LockPathFor(file))
{
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (;;) {
        // Deleted when the last writer lets go of it; waiting writers keep it alive meanwhile.
        const HANDLE handle = ::CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            OVERLAPPED whole{};
            if (::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
                handle_ = handle;
                return;
            }
            ::CloseHandle(handle);
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
    if (handle_ != nullptr) {
        OVERLAPPED whole{};
        ::UnlockFileEx(static_cast<HANDLE>(handle_), 0, 1, 0, &whole);
        ::CloseHandle(static_cast<HANDLE>(handle_));
    }
}

bool WriteLock::held() const
{
    return handle_ != nullptr;
}

#else

WriteLock::WriteLock(const fs::path& file) : path_(LockPathFor(file))
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

} // namespace vx
