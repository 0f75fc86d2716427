#pragma once
// What the file functions and the file lock share on POSIX: a descriptor's owner, where a path
// leads, and what is there.

#include <string>
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

} // namespace corvantis::platform
