#pragma once
// What the file functions and the file lock share on Windows: where a path leads, and what is
// there.

#include "platform/file.h"
#include "platform/handles_win.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace corvantis::platform {

// The file a path names, through any symbolic links; the path itself when nothing is there yet.
std::wstring FinalPath(const std::wstring& path);

// What is at a path: nothing, a regular file and its stamp, or something else.
struct Existing {
    bool there = false;
    std::optional<FileStamp> regular;
    DWORD links = 0; // how many names the file has
};

Existing ExistingAt(const wchar_t* path);

// A disk file's stamp; nullopt for a folder, a pipe or a device, or when it cannot be told.
std::optional<FileStamp> RegularStamp(HANDLE file);

// Reads the whole of the open file `file`, from its start, into `content`.
void ContentOf(HANDLE file, FileContent& content);

// The replaced file `old`, when it no longer has the stamp it was replaced as.
std::unique_ptr<SetAsideFile> LateChange(UniqueFileHandle old, const FileStamp& expected);

// Removes temporaries of `target` whose writer is gone: killed or crashed writes leave them.
void RemoveStaleTemporaries(const std::wstring& target);

// Writes `bytes` over the file `target` itself, which other links name too, so that it stays one
// file under all of them: crash-safe through a journal beside it (see FinishCutShortWrite).
Replace WriteInPlace(const std::wstring& target, std::string_view bytes);

// Why writing `target` failed with `error`.
WriteFault FaultOf(DWORD error, const std::wstring& target);

// Writes all of `bytes` to `file` and flushes them to the disk: 0, or the error that stopped it.
DWORD WriteAll(HANDLE file, std::string_view bytes);

} // namespace corvantis::platform
