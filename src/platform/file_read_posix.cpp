#include "platform/file.h"

#include "platform/codepage.h"
#include "platform/file_posix.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace corvantis::platform {
namespace {

class SetAsideDescriptor final : public SetAsideFile {
public:
    explicit SetAsideDescriptor(int fd) : file_(fd) {}
    FileContent Read() const override { return ContentOf(file_.get()); }

private:
    Descriptor file_;
};

} // namespace

FileContent ContentOf(int file) {
    FileContent content;
    struct stat before {};
    if (fstat(file, &before) != 0 || !S_ISREG(before.st_mode) || lseek(file, 0, SEEK_SET) != 0) {
        return content;
    }
    content.beingWritten = OpenForWriting(file);
    try {
        content.bytes.reserve(static_cast<size_t>(before.st_size));
        char buffer[1 << 16];
        for (;;) {
            const ssize_t count = read(file, buffer, sizeof buffer);
            if (count == 0) {
                break;
            }
            if (count < 0) {
                if (errno == EINTR) {
                    continue;
                }
                content.bytes.clear();
                return content;
            }
            content.bytes.append(buffer, static_cast<size_t>(count));
        }
    } catch (const std::bad_alloc&) {
        content.bytes = std::string(); // a file too big to hold is one that cannot be read
        return content;
    }
    struct stat after {};
    if (fstat(file, &after) != 0) {
        content.bytes.clear();
        return content;
    }
    content.status = ReadStatus::Read;
    content.stamp = StampFrom(after);
    content.changedWhileRead =
        StampFrom(before) != content.stamp || content.bytes.size() != content.stamp.size;
    return content;
}

std::unique_ptr<SetAsideFile> LateChange(Descriptor old, const std::optional<FileStamp>* expected) {
    struct stat status {};
    if (!old || fstat(old.get(), &status) != 0 || StampFrom(status) == **expected) {
        return nullptr;
    }
    return std::make_unique<SetAsideDescriptor>(old.Release());
}

FileContent ReadFileContent(const std::u16string& path) {
    // Without blocking: opening a pipe for reading would wait for a writer.
    const Descriptor file(
        open(EncodeUtf8(path).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file) {
        FileContent content;
        content.status = errno == ENOENT ? ReadStatus::Missing : ReadStatus::Unreadable;
        return content;
    }
    return ContentOf(file.get());
}

std::optional<FileStamp> StampOf(const std::u16string& path) {
    struct stat status {};
    if (stat(EncodeUtf8(path).c_str(), &status) != 0) {
        return std::nullopt;
    }
    return StampFrom(status);
}

bool WrittenWithin(const FileStamp& stamp, std::chrono::milliseconds span) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t nanoseconds =
        static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
    return nanoseconds - stamp.modified <
           std::chrono::duration_cast<std::chrono::nanoseconds>(span).count();
}

} // namespace corvantis::platform
