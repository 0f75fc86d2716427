#include "platform/file.h"

#include "platform/handles_win.h"

#include <windows.h>

#include <algorithm>

namespace corvantis::platform {

std::optional<std::string> ReadFileBytes(const std::u16string& path) {
    UniqueFileHandle file(CreateFileW(AsWide(path), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size)) {
        return std::nullopt;
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr)) {
            return std::nullopt;
        }
        if (read == 0) {
            bytes.resize(done); // the file shrank while we read it
            break;
        }
        done += read;
    }
    return bytes;
}

bool WriteFileAtomically(const std::u16string& path, std::string_view bytes) {
    const std::wstring target(AsWide(path));
    const std::wstring temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    bool written = false;
    {
        UniqueFileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return false;
        }
        written = true;
        size_t done = 0;
        while (written && done < bytes.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
            DWORD count = 0;
            written = WriteFile(file.get(), bytes.data() + done, chunk, &count, nullptr) &&
                      count == chunk;
            done += count;
        }
        written = written && FlushFileBuffers(file.get());
    }
    // MoveFileEx, not ReplaceFile: on failure it leaves both files as they were.
    if (!written || !MoveFileExW(temporary.c_str(), target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace corvantis::platform
