#include "platform/shell_win.h"

#include <shellapi.h>

#include <string>

namespace corvantis::platform {

void ShellOpen(HWND owner, std::u16string_view target) {
    const std::wstring file(reinterpret_cast<const wchar_t*>(target.data()), target.size());
    ShellExecuteW(owner, L"open", file.c_str(), L"", L"", SW_SHOWNORMAL);
}

void DragWindow(HWND window) {
    if (IsZoomed(window)) {
        return;
    }
    ReleaseCapture();
    POINT pointer{};
    GetCursorPos(&pointer);
    SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pointer.x, pointer.y));
}

} // namespace corvantis::platform
