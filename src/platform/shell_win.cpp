#include "platform/shell_win.h"

#include <shellapi.h>

#include <string>

namespace corvantis::platform {

void ShellOpen(HWND owner, std::u16string_view target) {
    const std::wstring file(reinterpret_cast<const wchar_t*>(target.data()), target.size());
    ShellExecuteW(owner, L"open", file.c_str(), L"", L"", SW_SHOWNORMAL);
}

} // namespace corvantis::platform
