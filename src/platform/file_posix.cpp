#include "platform/file.h"

#include "platform/codepage.h"
#include "platform/file_posix.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <new>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace corvantis::platform {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// Like Windows' read-only attribute, which no one may write through: no write permission for
// anyone, which the kernel would let root override. For others, their own permission decides.
bool ReadOnly(const std::string& path, const struct stat& status) {
    return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(path.c_str(), W_OK) != 0;
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ProcessRuns(long pid) {
    return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH);
}

bool Matches(const Existing& now, const std::optional<FileStamp>& expected) {
    return expected ? now.there && StampFrom(now.status) == *expected : !now.there;
}

} // namespace

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

FileStamp StampFrom(const struct stat& status) {
    return {static_cast<std::uint64_t>(status.st_size),
            static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 +
                status.st_mtim.tv_nsec,
            static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

void FlushFolder(const std::string& folder) {
    const Descriptor dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) {
        fsync(dir.get());
    }
}

WriteFault FaultOf(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return WriteFault::ReadOnly;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return WriteFault::DiskFull;
    case EBUSY:
    case ETXTBSY:
        return WriteFault::InUse;
    default:
        return WriteFault::Other;
    }
}

bool WriteAll(int fd, std::string_view bytes) {
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t count = write(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        done += static_cast<size_t>(count);
    }
    return fsync(fd) == 0;
}

// The file a path names, through any symbolic links; the path itself when nothing is there yet.
std::string FinalPath(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

Existing ExistingAt(const std::string& target) {
    Existing existing;
    existing.there = stat(target.c_str(), &existing.status) == 0;
    existing.regular = existing.there && S_ISREG(existing.status.st_mode);
    return existing;
}

Replace ReplaceBytes(const std::u16string& path, std::string_view bytes,
                     const std::optional<FileStamp>* expected) {
    const std::string target = FinalPath(EncodeUtf8(path));
    const Existing existing = ExistingAt(target);
    if (existing.there && !existing.regular) {
        return {ReplaceOutcome::Failed};
    }
    if (existing.there && ReadOnly(target, existing.status)) {
        return {ReplaceOutcome::Failed, WriteFault::ReadOnly};
    }
    if (expected != nullptr && !Matches(existing, *expected)) {
        return {ReplaceOutcome::Changed};
    }
    if (existing.there && existing.status.st_nlink > 1) {
        return WriteInPlace(target, bytes);
    }

    // A name no earlier write can have left: O_EXCL refuses one that is taken.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = target + "." + std::to_string(getpid()) + "-" + std::to_string(attempt) +
                    std::string(kTemporarySuffix);
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return {ReplaceOutcome::Failed, FaultOf(errno)};
        }
    }
    if (fd < 0) {
        return {ReplaceOutcome::Failed};
    }
    Descriptor file(fd);
    const bool written =
        (!existing.there || fchmod(file.get(), existing.status.st_mode & 07777) == 0) &&
        WriteAll(file.get(), bytes);
    const WriteFault fault = FaultOf(errno);
    const bool closed = file.Close();
    // Looked at again as late as can be: a writer that takes no lock may have come in between.
    if (written && closed && expected != nullptr && !Matches(ExistingAt(target), *expected)) {
        std::remove(temporary.c_str());
        return {ReplaceOutcome::Changed};
    }
    // The old file, held through the rename: what a writer that had it open adds meanwhile.
    Descriptor old(expected != nullptr && *expected
                       ? open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)
                       : -1);
    if (!written || !closed || std::rename(temporary.c_str(), target.c_str()) != 0) {
        const WriteFault why = written && closed ? FaultOf(errno) : fault;
        std::remove(temporary.c_str());
        return {ReplaceOutcome::Failed, why};
    }
    FlushFolder(FolderOf(target));
    RemoveStaleTemporaries(target);
    return {ReplaceOutcome::Replaced, WriteFault::Other, LateChange(std::move(old), expected)};
}

bool WriteNewFile(const std::u16string& path, std::string_view bytes) {
    const std::string name = EncodeUtf8(path);
    Descriptor file(open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!file) {
        return false;
    }
    if (!WriteAll(file.get(), bytes) || !file.Close()) {
        std::remove(name.c_str());
        return false;
    }
    return true;
}

} // namespace corvantis::platform
