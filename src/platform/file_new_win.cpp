#include "platform/file.h"

#include "platform/file_win.h"
#include "platform/handles_win.h"

#include <windows.h>

#include <algorithm>
#include <new>

namespace corvantis::platform {
namespace {

std::uint64_t Join(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

FileStamp StampFrom(const BY_HANDLE_FILE_INFORMATION& info) {
    return {Join(info.nFileSizeHigh, info.nFileSizeLow),
            static_cast<std::int64_t>(
                Join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)),
            info.dwVolumeSerialNumber, Join(info.nFileIndexHigh, info.nFileIndexLow)};
}

} // namespace

std::optional<FileStamp> RegularStamp(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    return StampFrom(info);
}

void ContentOf(HANDLE file, FileContent& content) {
    // A pipe or a device is never read: it may never end, or never answer.
    const std::optional<FileStamp> before = RegularStamp(file);
    LARGE_INTEGER start{};
    if (!before || !SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) {
        return;
    }
    try {
        // In one piece as far as the size goes, then on for as long as the file has grown.
        content.bytes.resize(static_cast<size_t>(before->size));
        size_t done = 0;
        while (done < content.bytes.size()) {
            const DWORD chunk =
                static_cast<DWORD>(std::min<size_t>(content.bytes.size() - done, 1u << 30));
            DWORD read = 0;
            if (!ReadFile(file, content.bytes.data() + done, chunk, &read, nullptr)) {
                content.bytes.clear();
                return;
            }
            if (read == 0) {
                content.bytes.resize(done); // the file shrank while we read it
                break;
            }
            done += read;
        }
        char more[1 << 16];
        for (;;) {
            DWORD read = 0;
            if (!ReadFile(file, more, sizeof more, &read, nullptr)) {
                content.bytes.clear();
                return;
            }
            if (read == 0) {
                break;
            }
            content.bytes.append(more, read);
        }
    } catch (const std::bad_alloc&) {
        content.bytes = std::string(); // a file too big to hold is one that cannot be read
        return;
    }
    const std::optional<FileStamp> after = RegularStamp(file);
    if (!after) {
        content.bytes.clear();
        return;
    }
    content.status = ReadStatus::Read;
    content.stamp = *after;
    content.changedWhileRead = *before != *after || content.bytes.size() != after->size;
}

namespace {

class SetAsideHandle final : public SetAsideFile {
public:
    explicit SetAsideHandle(UniqueFileHandle file) : file_(std::move(file)) {}
    FileContent Read() const override {
        FileContent content;
        ContentOf(file_.get(), content);
        return content;
    }

private:
    UniqueFileHandle file_;
};

} // namespace

std::unique_ptr<SetAsideFile> LateChange(UniqueFileHandle old, const FileStamp& expected) {
    const std::optional<FileStamp> now = RegularStamp(old.get());
    if (!now || *now == expected) {
        return nullptr;
    }
    return std::make_unique<SetAsideHandle>(std::move(old));
}

WriteFault FaultOf(DWORD error, const std::wstring& target) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: {
        // Denied to a file that is not marked read-only: another program holds it, or the
        // folder takes no new file.
        const DWORD attributes = GetFileAttributesW(target.c_str());
        const bool readOnlyFile =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
        return readOnlyFile || error == ERROR_WRITE_PROTECT ? WriteFault::ReadOnly
                                                            : WriteFault::InUse;
    }
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
        return WriteFault::InUse;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return WriteFault::DiskFull;
    default:
        return WriteFault::Other;
    }
}

DWORD WriteAll(HANDLE file, std::string_view bytes) {
    for (size_t done = 0; done < bytes.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD count = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &count, nullptr)) {
            return GetLastError();
        }
        if (count != chunk) {
            return ERROR_DISK_FULL;
        }
        done += count;
    }
    return FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError();
}

bool WriteNewFile(const std::u16string& path, std::string_view bytes) {
    UniqueFileHandle file(CreateFileW(AsWide(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false; // CREATE_NEW: one that is there is never overwritten
    }
    const bool written = WriteAll(file.get(), bytes) == ERROR_SUCCESS;
    file = UniqueFileHandle(nullptr);
    if (!written) {
        DeleteFileW(AsWide(path));
    }
    return written;
}

} // namespace corvantis::platform
