#include "platform/file_lock.h"

#include "platform/file_win.h"
#include "platform/handles_win.h"

#include <windows.h>

namespace corvantis::platform {
namespace {

// How often a waiting writer looks whether the lock has come free.
constexpr DWORD kLockPollMs = 5;
// The byte that the lock of a file that several links name covers: far past any end of file,
// so that it keeps no one from reading.
constexpr ULONGLONG kLinkedLockOffset = 1ull << 62;

// Locks the file itself by the deadline, through a handle that shares everything.
UniqueFileHandle LockLinked(const std::wstring& target, ULONGLONG deadline) {
    UniqueFileHandle file(CreateFileW(target.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return file;
    }
    for (;;) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(kLinkedLockOffset);
        at.OffsetHigh = static_cast<DWORD>(kLinkedLockOffset >> 32);
        if (LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                       &at)) {
            return file; // let go as the handle closes
        }
        if (GetLastError() != ERROR_LOCK_VIOLATION || GetTickCount64() >= deadline) {
            return UniqueFileHandle(nullptr);
        }
        Sleep(kLockPollMs);
    }
}

} // namespace

struct FileLock::Held {
    UniqueFileHandle file;
    UniqueFileHandle linked; // the file itself, locked when other links name it too
};

FileLock::FileLock(std::unique_ptr<Held> held) : held_(std::move(held)) {}
FileLock::FileLock(FileLock&&) noexcept = default;
FileLock& FileLock::operator=(FileLock&&) noexcept = default;
FileLock::~FileLock() = default;

std::optional<FileLock> FileLock::Take(const std::u16string& path, std::chrono::milliseconds wait) {
    const std::wstring target = FinalPath(AsWide(path));
    const Existing existing = ExistingAt(target.c_str());
    if (existing.there && !existing.regular) {
        return std::nullopt; // nothing to write there, and no lock to leave beside a device
    }
    const std::wstring lockPath = target + std::wstring(kLockSuffix.begin(), kLockSuffix.end());
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(wait.count());
    for (;;) {
        // Shared with no one and removed when closed: holding it open is the lock, and a holder
        // that ends, however it ends, lets it go with its handles.
        UniqueFileHandle file(
            CreateFileW(lockPath.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (file) {
            // A file that other links name is written in place and keeps its identity: copies
            // that reach it through other links, with lock files of their own, meet at its own.
            UniqueFileHandle linked(nullptr);
            if (existing.links > 1 && !(linked = LockLinked(target, deadline))) {
                return std::nullopt;
            }
            return FileLock(std::make_unique<Held>(Held{std::move(file), std::move(linked)}));
        }
        // Held by another, or being removed as another lets it go.
        const DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) ||
            GetTickCount64() >= deadline) {
            return std::nullopt;
        }
        Sleep(kLockPollMs);
    }
}

} // namespace corvantis::platform
