#include "platform/file.h"

#include "platform/codepage.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvantis::platform {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
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
std::string FinalPath(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ProcessRuns(long pid) {
    return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH);
}

// Removes temporaries of `target` whose writer is gone: killed or crashed writes leave them.
void RemoveStaleTemporaries(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::string prefix = NameOf(target) + ".";
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) {
        return;
    }
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix) || !name.ends_with(kTemporarySuffix)) {
            continue;
        }
        const long pid = std::strtol(std::string(name.substr(prefix.size())).c_str(), nullptr, 10);
        if (pid == getpid() || !ProcessRuns(pid)) {
            std::remove((folder + "/" + std::string(name)).c_str());
        }
    }
}

} // namespace

std::optional<std::string> ReadFileBytes(const std::u16string& path) {
    UniqueFile file(std::fopen(EncodeUtf8(path).c_str(), "rb"));
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    struct stat status {};
    if (fstat(fileno(file.get()), &status) == 0 && status.st_size > 0) {
        bytes.reserve(static_cast<size_t>(status.st_size));
    }
    char buffer[1 << 16];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, count);
    }
    if (std::ferror(file.get())) {
        return std::nullopt;
    }
    return bytes;
}

bool PathExists(const std::u16string& path) {
    struct stat status {};
    return stat(EncodeUtf8(path).c_str(), &status) == 0 || errno != ENOENT;
}

std::optional<FileStamp> StampOf(const std::u16string& path) {
    struct stat status {};
    if (stat(EncodeUtf8(path).c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileStamp{static_cast<std::uint64_t>(status.st_size),
                     static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 +
                         status.st_mtim.tv_nsec};
}

bool WriteFileAtomically(const std::u16string& path, std::string_view bytes) {
    const std::string target = FinalPath(EncodeUtf8(path));
    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;

    // A name no earlier write can have left: O_EXCL refuses one that is taken.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = target + "." + std::to_string(getpid()) + "-" + std::to_string(attempt) +
                    std::string(kTemporarySuffix);
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }
    Descriptor file(fd);
    bool written = !exists || fchmod(file.get(), existing.st_mode & 07777) == 0;
    for (size_t done = 0; written && done < bytes.size();) {
        const ssize_t count = write(file.get(), bytes.data() + done, bytes.size() - done);
        written = count > 0;
        done += written ? static_cast<size_t>(count) : 0;
    }
    written = written && fsync(file.get()) == 0;
    written = file.Close() && written;
    if (!written || std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    RemoveStaleTemporaries(target);
    return true;
}

} // namespace corvantis::platform
