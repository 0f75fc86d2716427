#include "platform/file.h"

#include "platform/file_system_win.h"
#include "platform/handles_win.h"

#include <windows.h>

#include <algorithm>

namespace corvantis::platform {

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
