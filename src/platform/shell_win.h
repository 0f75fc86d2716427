#pragma once
// Opening a target through the shell.

#include <windows.h>

#include <string_view>

namespace corvantis::platform {

// The shell's "open" verb on `file` with `parameters` (empty for none), shown normal, in
// `directory` as the working directory: a relative file is found there. The wide form keeps
// characters that the ANSI code page cannot hold. As with ShellExecute, the shell shows no
// message of its own on failure, and the next target is opened all the same; a failure is
// traced.
void ShellOpen(HWND owner, std::u16string_view file, std::u16string_view parameters,
               std::u16string_view directory);

} // namespace corvantis::platform
