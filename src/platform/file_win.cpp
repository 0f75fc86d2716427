#include "platform/file.h"

#include "platform/handles_win.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

namespace corvantis::platform {
namespace {

// The file a path names, through any symbolic links; the path itself when nothing is there yet.
std::wstring FinalPath(const std::wstring& path) {
    const UniqueFileHandle file(
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        return path;
    }
    std::wstring final(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(file.get(), final.data(),
                                                       static_cast<DWORD>(final.size()), 0);
        if (length == 0) {
            return path;
        }
        if (length < final.size()) {
            final.resize(length);
            return final;
        }
        final.resize(length + 1);
    }
}

bool ProcessRuns(DWORD pid) {
    const UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
    if (!process) {
        return GetLastError() == ERROR_ACCESS_DENIED; // there, but not ours to look at
    }
    return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

// Removes temporaries of `target` whose writer is gone: killed or crashed writes leave them.
void RemoveStaleTemporaries(const std::wstring& target) {
    const size_t slash = target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
    const std::wstring prefix =
        (slash == std::wstring::npos ? target : target.substr(slash + 1)) + L".";
    const std::wstring suffix(kTemporarySuffix.begin(), kTemporarySuffix.end());
    WIN32_FIND_DATAW found{};
    const UniqueFindHandle search(
        FindFirstFileW((folder + prefix + L"*" + suffix).c_str(), &found));
    if (!search) {
        return;
    }
    do {
        const std::wstring name = found.cFileName;
        const auto pid =
            static_cast<DWORD>(std::wcstoul(name.c_str() + prefix.size(), nullptr, 10));
        if (pid == GetCurrentProcessId() || !ProcessRuns(pid)) {
            DeleteFileW((folder + name).c_str());
        }
    } while (FindNextFileW(search.get(), &found));
}

// A new file beside `target` that no earlier write can have left: CREATE_NEW refuses a taken name.
std::pair<UniqueFileHandle, std::wstring> NewTemporary(const std::wstring& target) {
    const std::wstring suffix(kTemporarySuffix.begin(), kTemporarySuffix.end());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring name = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(attempt) + suffix;
        UniqueFileHandle file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || GetLastError() != ERROR_FILE_EXISTS) {
            return {std::move(file), std::move(name)};
        }
    }
    return {UniqueFileHandle(nullptr), L""};
}

// Puts `temporary` in the place of `target`. ReplaceFileW keeps the target's attributes and
// security; its partial failures are undone so that the old file is there whole.
bool TakePlace(const std::wstring& temporary, const std::wstring& target) {
    if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    const std::wstring backup = temporary + L".old";
    if (ReplaceFileW(target.c_str(), temporary.c_str(), backup.c_str(),
                     REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                     nullptr)) {
        DeleteFileW(backup.c_str());
        return true;
    }
    if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // The old file went to the backup name and the new one did not follow: bring it back.
        MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    Trace(L"ReplaceFileW failed: data.txt is left as it was");
    return false;
}

} // namespace

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

bool PathExists(const std::u16string& path) {
    if (GetFileAttributesW(AsWide(path)) != INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

std::optional<FileStamp> StampOf(const std::u16string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(AsWide(path), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    const auto join = [](DWORD high, DWORD low) {
        return (static_cast<std::uint64_t>(high) << 32) | low;
    };
    return FileStamp{join(data.nFileSizeHigh, data.nFileSizeLow),
                     static_cast<std::int64_t>(join(data.ftLastWriteTime.dwHighDateTime,
                                                    data.ftLastWriteTime.dwLowDateTime))};
}

bool WriteFileAtomically(const std::u16string& path, std::string_view bytes) {
    const std::wstring target = FinalPath(AsWide(path));
    auto [file, temporary] = NewTemporary(target);
    if (!file) {
        return false;
    }
    bool written = true;
    size_t done = 0;
    while (written && done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD count = 0;
        written =
            WriteFile(file.get(), bytes.data() + done, chunk, &count, nullptr) && count == chunk;
        done += count;
    }
    written = written && FlushFileBuffers(file.get());
    file = UniqueFileHandle(nullptr); // closed before it moves
    if (!written || !TakePlace(temporary, target)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    RemoveStaleTemporaries(target);
    return true;
}

} // namespace corvantis::platform
