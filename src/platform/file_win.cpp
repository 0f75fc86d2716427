#include "platform/file.h"

#include "platform/file_win.h"
#include "platform/handles_win.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <new>

namespace corvantis::platform {
namespace {

// A scanner or indexer that opens the file just written, without sharing its deletion, holds
// up the replace for a moment: it is tried again for this long, this often.
constexpr ULONGLONG kReplaceRetryMs = 1'000;
constexpr DWORD kReplaceRetryPollMs = 20;

bool NotFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool Matches(const Existing& now, const std::optional<FileStamp>& expected) {
    return expected ? now.regular == expected : !now.there;
}

bool ProcessRuns(DWORD pid) {
    const UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
    if (!process) {
        return GetLastError() == ERROR_ACCESS_DENIED; // there, but not ours to look at
    }
    return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
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

// Puts `temporary` in the place of `target`: 0, or the error that kept it out. ReplaceFileW keeps
// the target's attributes and security; its partial failures are undone so that the old file is
// there whole.
DWORD TakePlace(const std::wstring& temporary, const std::wstring& target) {
    if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)
                   ? ERROR_SUCCESS
                   : GetLastError();
    }
    const std::wstring backup = temporary + L".old";
    const ULONGLONG started = GetTickCount64();
    while (!ReplaceFileW(target.c_str(), temporary.c_str(), backup.c_str(),
                         REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                         nullptr)) {
        const DWORD error = GetLastError();
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 &&
            !MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            // The old file went to the backup name and could not come back: it stays there.
            Trace(L"ReplaceFileW failed halfway: the old data.txt is left beside it, *.old");
            return error;
        }
        // Both files keep their names after these, so the replace can simply be tried again.
        const bool heldOpen = error == ERROR_SHARING_VIOLATION ||
                              error == ERROR_UNABLE_TO_REMOVE_REPLACED ||
                              error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
                              (error == ERROR_ACCESS_DENIED &&
                               (GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_READONLY) == 0);
        if (!heldOpen || GetTickCount64() - started >= kReplaceRetryMs) {
            Trace(L"ReplaceFileW failed: data.txt is left as it was");
            return error;
        }
        Sleep(kReplaceRetryPollMs);
    }
    DeleteFileW(backup.c_str());
    return ERROR_SUCCESS;
}

} // namespace

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

Existing ExistingAt(const wchar_t* path) {
    // No access asked for: this open takes nothing from anyone, and no one's sharing refuses it.
    const UniqueFileHandle file(
        CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        return {!NotFound(GetLastError()), std::nullopt};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    return {true, RegularStamp(file.get()),
            GetFileInformationByHandle(file.get(), &info) ? info.nNumberOfLinks : 0};
}

Replace ReplaceBytes(const std::u16string& path, std::string_view bytes,
                     const std::optional<FileStamp>* expected) {
    const std::wstring target = FinalPath(AsWide(path));
    const Existing existing = ExistingAt(target.c_str());
    if (existing.there && !existing.regular) {
        return {ReplaceOutcome::Failed};
    }
    if (expected != nullptr && !Matches(existing, *expected)) {
        return {ReplaceOutcome::Changed};
    }
    if (existing.links > 1) {
        return WriteInPlace(target, bytes);
    }
    auto [file, temporary] = NewTemporary(target);
    if (!file) {
        return {ReplaceOutcome::Failed, FaultOf(GetLastError(), target)};
    }
    DWORD error = WriteAll(file.get(), bytes);
    file = UniqueFileHandle(nullptr); // closed before it moves
    // Looked at again as late as can be: a writer that takes no lock may have come in between.
    if (error == ERROR_SUCCESS && expected != nullptr &&
        !Matches(ExistingAt(target.c_str()), *expected)) {
        DeleteFileW(temporary.c_str());
        return {ReplaceOutcome::Changed};
    }
    // The old file, held through the replace (sharing everything, so that the replace may move
    // it): what a writer that had it open adds meanwhile.
    UniqueFileHandle old(expected != nullptr && *expected
                             ? CreateFileW(target.c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, 0, nullptr)
                             : INVALID_HANDLE_VALUE);
    if (error == ERROR_SUCCESS) {
        error = TakePlace(temporary, target);
    }
    if (error != ERROR_SUCCESS) {
        DeleteFileW(temporary.c_str());
        return {ReplaceOutcome::Failed, FaultOf(error, target)};
    }
    RemoveStaleTemporaries(target);
    return {ReplaceOutcome::Replaced, WriteFault::Other,
            old ? LateChange(std::move(old), **expected) : nullptr};
}

FileContent ReadFileContent(const std::u16string& path) {
    FileContent content;
    const auto open = [&](DWORD sharing) {
        return UniqueFileHandle(CreateFileW(AsWide(path), GENERIC_READ, sharing, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    };
    // Shared with no writer: refused while a program holds the file open for writing. Then it
    // is read all the same, as part-written.
    UniqueFileHandle file = open(FILE_SHARE_READ | FILE_SHARE_DELETE);
    if (!file && GetLastError() == ERROR_SHARING_VIOLATION) {
        file = open(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        content.beingWritten = static_cast<bool>(file);
        if (!file) {
            SetLastError(ERROR_SHARING_VIOLATION);
        }
    }
    if (!file) {
        const DWORD error = GetLastError();
        content.status = NotFound(error) ? ReadStatus::Missing : ReadStatus::Unreadable;
        content.taken = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
        return content;
    }
    ContentOf(file.get(), content);
    return content;
}

std::optional<FileStamp> StampOf(const std::u16string& path) {
    return ExistingAt(AsWide(path)).regular;
}

bool WrittenWithin(const FileStamp& stamp, std::chrono::milliseconds span) {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    constexpr std::int64_t kUnitsPerMillisecond = 10'000; // FILETIME counts 100 ns
    const ULARGE_INTEGER units{{now.dwLowDateTime, now.dwHighDateTime}};
    return static_cast<std::int64_t>(units.QuadPart) - stamp.modified <
           span.count() * kUnitsPerMillisecond;
}

} // namespace corvantis::platform
