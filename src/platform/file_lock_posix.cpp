#include "platform/file_lock.h"

#include "platform/codepage.h"
#include "platform/file_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace corvantis::platform {
namespace {

// How often a waiting writer looks whether the lock has come free.
constexpr auto kLockPoll = std::chrono::milliseconds(5);

} // namespace

struct FileLock::Held {
    Held(std::string lockPath, int fd) : path(std::move(lockPath)), file(fd) {}
    ~Held() {
        // Removed while still held: a waiter that then gets the lock of the removed file sees
        // that it is no longer the one at the path, and takes the lock anew.
        unlink(path.c_str());
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

    std::string path;
    Descriptor file;
};

FileLock::FileLock(std::unique_ptr<Held> held) : held_(std::move(held)) {}
FileLock::FileLock(FileLock&&) noexcept = default;
FileLock& FileLock::operator=(FileLock&&) noexcept = default;
FileLock::~FileLock() = default;

std::optional<FileLock> FileLock::Take(const std::u16string& path, std::chrono::milliseconds wait) {
    const std::string target = FinalPath(EncodeUtf8(path));
    const Existing existing = ExistingAt(target);
    if (existing.there && !existing.regular) {
        return std::nullopt; // nothing to write there, and no lock to leave beside a device
    }
    const std::string lockPath = target + std::string(kLockSuffix);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        Descriptor file(open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
        if (!file) {
            return std::nullopt;
        }
        if (flock(file.get(), LOCK_EX | LOCK_NB) == 0) {
            struct stat locked {};
            struct stat named {};
            if (fstat(file.get(), &locked) == 0 && stat(lockPath.c_str(), &named) == 0 &&
                locked.st_dev == named.st_dev && locked.st_ino == named.st_ino) {
                return FileLock(std::make_unique<Held>(lockPath, file.Release()));
            }
            continue; // its holder let it go and removed it: take the one at the path now
        }
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(kLockPoll);
    }
}

} // namespace corvantis::platform
