#pragma once
// The inter-process lock that writers of one file take in turn.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace corvantis::platform {

// One writer at a time among the programs that take it for the same file, also when they reach
// that file through different links: the lock is a file beside the one the path names (through
// symbolic links), "<file name>.corvantis.lock", removed as it is let go; a file that several
// names link to is locked itself too. Released when the lock object goes, or with the process
// that holds it (a lock file such a process leaves is taken over).
class FileLock {
public:
    // Waits up to `wait` for the lock; nullopt when another holds it that long, when the lock
    // file cannot be made, or when the path names something other than a regular file.
    static std::optional<FileLock> Take(const std::u16string& path, std::chrono::milliseconds wait);

    FileLock(FileLock&&) noexcept;
    FileLock& operator=(FileLock&&) noexcept;
    ~FileLock();

private:
    struct Held;
    explicit FileLock(std::unique_ptr<Held> held);
    std::unique_ptr<Held> held_;
};

inline constexpr std::string_view kLockSuffix = ".corvantis.lock";

} // namespace corvantis::platform
