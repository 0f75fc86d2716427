#pragma once
// What the file functions and the file lock share on POSIX: a descriptor's owner, where a path
// leads, what is there, and the steps of reading and writing.

#include "platform/file.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace corvantis::platform {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Descriptor(Descriptor&& other) noexcept : fd_(other.Release()) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int Release() { return std::exchange(fd_, -1); }
    // Closes now, reporting whether the close succeeded.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

private:
    int fd_;
};

// The file a path names, through any symbolic links; the path itself when nothing is there yet.
std::string FinalPath(const std::string& path);

// What is at the target before it is replaced: nothing, a regular file, or something else.
struct Existing {
    bool there = false;
    bool regular = false;
    struct stat status {};
};

Existing ExistingAt(const std::string& target);

// Whether a program has `file` open for writing: a read lease, taken and given back at once, is
// refused then. A system or file system without leases tells nothing.
bool OpenForWriting(int file);

FileStamp StampFrom(const struct stat& status);

std::string FolderOf(const std::string& path);

// A rename is part of its folder: flushed with it, the new file is the one found after a crash.
// The file is in its place either way, so a folder that cannot be flushed fails nothing.
void FlushFolder(const std::string& folder);

// Removes temporaries of `target` whose writer is gone: killed or crashed writes leave them.
void RemoveStaleTemporaries(const std::string& target);

WriteFault FaultOf(int error);

// Writes all of `bytes` from where the file stands and flushes them to the disk; errno tells why
// when it fails.
bool WriteAll(int fd, std::string_view bytes);

// The whole content of the open file `file`, from its start.
FileContent ContentOf(int file);

// The replaced file `old`, when it no longer has the stamp `expected` it was replaced as.
std::unique_ptr<SetAsideFile> LateChange(Descriptor old, const std::optional<FileStamp>* expected);

// Writes `bytes` over the file `target` itself, which other links name too, so that it stays one
// file under all of them: crash-safe through a journal beside it (see FinishCutShortWrite).
Replace WriteInPlace(const std::string& target, std::string_view bytes);

} // namespace corvantis::platform
