#include "platform/window_win.h"

#include <commctrl.h>

namespace corvantis::platform {

void SetTopmost(HWND window, UINT flags) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
}

void MoveToRect(HWND window, const RECT& rect) {
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

UniqueWindow CreateHiddenOwner() {
    UniqueWindow owner(CreateWindowExW(0, WC_STATICW, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr));
    if (!owner) {
        Trace(L"no hidden owner: a window manager may not hand the keyboard back to its window");
    }
    return owner;
}

bool ForwardActivePopup(HWND window) {
    // The system answers only for the root of an ownership chain: for an owned window it gives
    // that window back.
    const HWND root = GetAncestor(window, GA_ROOTOWNER);
    const HWND popup = GetLastActivePopup(root);
    if (popup == nullptr || popup == window || popup == root || !IsWindowVisible(popup)) {
        return false;
    }
    SetForegroundWindow(popup);
    return true;
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

void MoveFocusAlong(std::span<const HWND> order, bool backwards) {
    if (order.empty()) {
        return;
    }
    const HWND focus = GetFocus();
    size_t current = 0;
    while (current < order.size() && order[current] != focus) {
        ++current;
    }
    const size_t count = order.size();
    const size_t next = current == count ? 0
                        : backwards      ? (current + count - 1) % count
                                         : (current + 1) % count;
    SetFocus(order[next]);
}

} // namespace corvantis::platform
