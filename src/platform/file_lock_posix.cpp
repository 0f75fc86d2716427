#include "platform/file_lock.h"

#include "platform/codepage.h"
#include "platform/file_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace corvantis::platform {
namespace {

// How often a waiting writer looks whether the lock has come free.
constexpr auto kLockPoll = std::chrono::milliseconds(5);

// Takes `fd`'s own lock by the deadline.
bool LockBy(int fd, std::chrono::steady_clock::time_point deadline) {
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kLockPoll);
    }
    return true;
}

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
    std::optional<Descriptor> linked; // the file itself, locked when other links name it too
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
    std::unique_ptr<Held> held;
    while (!held) {
        Descriptor file(open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
        if (!file || !LockBy(file.get(), deadline)) {
            return std::nullopt;
        }
        struct stat locked {};
        struct stat named {};
        if (fstat(file.get(), &locked) == 0 && stat(lockPath.c_str(), &named) == 0 &&
            locked.st_dev == named.st_dev && locked.st_ino == named.st_ino) {
            held = std::make_unique<Held>(lockPath, file.Release());
        } // else its holder let it go and removed it: take the one at the path now
    }
    // A file that other links name is written in place and keeps its identity: copies that
    // reach it through other links, with lock files of their own, meet at the file's own lock.
    if (existing.there && existing.status.st_nlink > 1) {
        const Descriptor& linked =
            held->linked.emplace(open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        if (!linked || !LockBy(linked.get(), deadline)) {
            return std::nullopt;
        }
    }
    return FileLock(std::move(held));
}

} // namespace corvantis::platform
