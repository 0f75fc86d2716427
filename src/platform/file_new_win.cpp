#include "platform/file.h"

#include "platform/file_win.h"
#include "platform/handles_win.h"

#include <windows.h>

#include <algorithm>

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

std::optional<std::string> LateChange(HANDLE old, const FileStamp& expected) {
    const std::optional<FileStamp> now = RegularStamp(old);
    LARGE_INTEGER start{};
    if (!now || *now == expected || !SetFilePointerEx(old, start, nullptr, FILE_BEGIN)) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        DWORD count = 0;
        if (!ReadFile(old, buffer, sizeof buffer, &count, nullptr)) {
            return std::nullopt;
        }
        if (count == 0) {
            return bytes;
        }
        bytes.append(buffer, count);
    }
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
