#pragma once
// What the file functions and the file lock share on Windows: where a path leads, and what is
// there.

#include "platform/file.h"

#include <optional>
#include <string>

namespace corvantis::platform {

// The file a path names, through any symbolic links; the path itself when nothing is there yet.
std::wstring FinalPath(const std::wstring& path);

// What is at a path: nothing, a regular file and its stamp, or something else.
struct Existing {
    bool there = false;
    std::optional<FileStamp> regular;
};

Existing ExistingAt(const wchar_t* path);

} // namespace corvantis::platform
