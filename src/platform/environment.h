#pragma once
// What the system around the program knows: where the program is, environment variables, and
// the files, folders and programs that a target's words may name.

#include <optional>
#include <string>
#include <string_view>

namespace corvantis::platform {

// The folder of the running program, without a trailing separator.
std::u16string ProgramFolder();

// The value of environment variable `name` (on Windows in any case); nullopt when it is not set.
std::optional<std::u16string> EnvironmentVariable(std::u16string_view name);

enum class NameKind {
    Nothing,
    Folder,
    File, // a file, or a program the shell finds by this name
};

// What `name` reaches as the shell opens it from `folder`, the working folder it is given:
//   - a path to a file or folder; a relative path is taken in `folder`;
//   - on Windows, a path without extension to a program with one of the executable extensions
//     (PATHEXT) added;
//   - a bare name (no folder part) of a program on the search path: on Windows `folder`, the
//     system folders and PATH, with the executable extensions, or one registered under
//     "App Paths"; on POSIX an executable file in a folder of PATH.
NameKind FindName(std::u16string_view name, const std::u16string& folder);

} // namespace corvantis::platform
