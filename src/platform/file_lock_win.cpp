#include "platform/file_lock.h"

#include "platform/file_win.h"
#include "platform/handles_win.h"

#include <windows.h>

namespace corvantis::platform {
namespace {

// How often a waiting writer looks whether the lock has come free.
constexpr DWORD kLockPollMs = 5;

} // namespace

struct FileLock::Held {
    UniqueFileHandle file;
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
            return FileLock(std::make_unique<Held>(Held{std::move(file)}));
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
