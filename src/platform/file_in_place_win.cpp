#include "platform/file.h"

#include "platform/file_win.h"
#include "platform/handles_win.h"

#include <windows.h>

#include <string>

namespace corvantis::platform {
namespace {

std::wstring JournalOf(const std::wstring& target) {
    return target + std::wstring(kJournalSuffix.begin(), kJournalSuffix.end());
}

// The journal's first line names the file it is for, as "<volume> <file number>": a journal
// left beside a name that now holds another file is not for it.
std::string JournalHeader(const FileStamp& stamp) {
    return std::to_string(stamp.volume) + " " + std::to_string(stamp.id) + "\n";
}

// Writes `bytes` over the open file from its start, cuts it there and flushes it: 0, or why not.
DWORD Overwrite(HANDLE file, std::string_view bytes) {
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) {
        return GetLastError();
    }
    const DWORD error = WriteAll(file, bytes);
    return error != ERROR_SUCCESS ? error : SetEndOfFile(file) ? ERROR_SUCCESS : GetLastError();
}

// The file at `target` opened for writing in place; readers may look on, as they do at a
// program that writes it.
UniqueFileHandle OpenInPlace(const std::wstring& target) {
    return UniqueFileHandle(CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace

Replace WriteInPlace(const std::wstring& target, std::string_view bytes) {
    // Opened first: a file that cannot be written gets no journal.
    const UniqueFileHandle file = OpenInPlace(target);
    const std::optional<FileStamp> stamp = file ? RegularStamp(file.get()) : std::nullopt;
    if (!stamp) {
        return {ReplaceOutcome::Failed, FaultOf(GetLastError(), target)};
    }
    // The journal is written whole under a name of its own, then named as the journal: one that
    // is there is whole.
    const std::wstring journal = JournalOf(target);
    const std::wstring temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) +
                                   L"-journal" +
                                   std::wstring(kTemporarySuffix.begin(), kTemporarySuffix.end());
    UniqueFileHandle copy(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_HIDDEN, nullptr));
    DWORD error = copy ? WriteAll(copy.get(), JournalHeader(*stamp)) : GetLastError();
    if (error == ERROR_SUCCESS) {
        error = WriteAll(copy.get(), bytes);
    }
    copy = UniqueFileHandle(nullptr);
    if (error == ERROR_SUCCESS &&
        !MoveFileExW(temporary.c_str(), journal.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
    }
    if (error != ERROR_SUCCESS) {
        DeleteFileW(temporary.c_str());
        return {ReplaceOutcome::Failed, FaultOf(error, target)};
    }
    error = Overwrite(file.get(), bytes);
    if (error != ERROR_SUCCESS) {
        // The journal stays: the next save, or the next start, finishes the write from it.
        return {ReplaceOutcome::Failed, FaultOf(error, target)};
    }
    DeleteFileW(journal.c_str());
    RemoveStaleTemporaries(target);
    return {ReplaceOutcome::Replaced};
}

bool CutShortWriteAt(const std::u16string& path) {
    return GetFileAttributesW(JournalOf(FinalPath(AsWide(path))).c_str()) !=
           INVALID_FILE_ATTRIBUTES;
}

bool FinishCutShortWrite(const std::u16string& path) {
    const std::wstring target = FinalPath(AsWide(path));
    const std::wstring journal = JournalOf(target);
    const std::u16string journalName(journal.begin(), journal.end());
    const FileContent content = ReadFileContent(journalName);
    if (content.status == ReadStatus::Missing) {
        return true;
    }
    const size_t headerEnd = content.bytes.find('\n');
    if (content.status != ReadStatus::Read || headerEnd == std::string::npos) {
        return false;
    }
    const std::string_view header(content.bytes.data(), headerEnd + 1);
    const UniqueFileHandle file = OpenInPlace(target);
    if (!file && GetLastError() != ERROR_FILE_NOT_FOUND) {
        return false; // there, but not to be written now
    }
    const std::optional<FileStamp> stamp = file ? RegularStamp(file.get()) : std::nullopt;
    if (stamp && header == JournalHeader(*stamp) &&
        Overwrite(file.get(), std::string_view(content.bytes).substr(headerEnd + 1)) !=
            ERROR_SUCCESS) {
        return false;
    }
    return DeleteFileW(journal.c_str()) != 0;
}

} // namespace corvantis::platform
