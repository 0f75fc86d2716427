#pragma once
// What the launcher says when data.txt cannot be written, and the way out it offers when that
// stops the program from closing: the list kept in a new file of its own.

#include "core/entry_file.h"

#include <windows.h>

#include <string>

namespace corvantis::app {

// `text` with {path} (data.txt's full path), {cause} (why it could not be written) and {copy}
// filled in.
std::wstring FailureText(const wchar_t* text, const std::u16string& path, core::WriteFault fault,
                         const std::u16string& copy = {});

// Where the list goes when the program ends without writing data.txt: a new file named with the
// date and time, beside data.txt in `folder` when that folder takes new files, else in the
// user's local application data under Corvantis.
std::u16string CopyPath(const std::u16string& folder);

enum class CloseChoice { TryAgain, QuitUnsaved, KeepRunning };

// The question after a close failed to write data.txt at `path` for `fault`, with `copy` where
// the list would go: "重试", "不保存退出" or "取消", the last one the default.
CloseChoice AskAfterFailedClose(HWND owner, const std::u16string& path, core::WriteFault fault,
                                const std::u16string& copy);

} // namespace corvantis::app
