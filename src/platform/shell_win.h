#pragma once
// Opening a target through the shell.

#include <windows.h>

#include <string_view>

namespace corvantis::platform {

// The shell's "open" verb on `target`, shown normal, with no parameters, in `directory` as the
// working directory: a relative target is found there. The wide form keeps characters that the
// ANSI code page cannot hold. The result is not examined: the shell reports its own failures.
void ShellOpen(HWND owner, std::u16string_view target, std::u16string_view directory);

} // namespace corvantis::platform
