#include "platform/shell_win.h"

#include <shellapi.h>

#include <string>

namespace corvantis::platform {

void ShellOpen(HWND owner, std::u16string_view target, std::u16string_view directory) {
    const std::wstring file(reinterpret_cast<const wchar_t*>(target.data()), target.size());
    const std::wstring folder(reinterpret_cast<const wchar_t*>(directory.data()), directory.size());
    ShellExecuteW(owner, L"open", file.c_str(), L"", folder.c_str(), SW_SHOWNORMAL);
}

} // namespace corvantis::platform
