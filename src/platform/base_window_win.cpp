#include "platform/base_window_win.h"

#include <algorithm>
#include <vector>

namespace corvantis::platform {
namespace {

// Every bound window of the program. A handful: a look-up is a few comparisons, with no call into
// the window system (under Wine a window property costs a round trip to its server).
std::vector<WindowBase*>& Bound() {
    static std::vector<WindowBase*> windows;
    return windows;
}

// The control a notification is about, or nullptr.
HWND Concerned(UINT message, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
        return reinterpret_cast<HWND>(lParam);
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item != nullptr && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    default:
        return nullptr;
    }
}

} // namespace

WindowBase* WindowBase::Of(HWND window) {
    if (window == nullptr) {
        return nullptr;
    }
    const auto& windows = Bound();
    const auto found =
        std::find_if(windows.begin(), windows.end(),
                     [window](const WindowBase* bound) { return bound->hwnd_ == window; });
    return found == windows.end() ? nullptr : *found;
}

void WindowBase::ForgetDestroyed() noexcept {
    auto& windows = Bound();
    std::erase_if(windows, [](WindowBase* bound) {
        if (IsWindow(bound->hwnd_)) {
            return false;
        }
        bound->hwnd_ = nullptr;
        return true;
    });
}

void WindowBase::Bind(HWND window) {
    Unbind();
    Bound().push_back(this);
    hwnd_ = window;
}

void WindowBase::Unbind() noexcept {
    if (hwnd_ == nullptr) {
        return;
    }
    auto& windows = Bound();
    windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
    hwnd_ = nullptr;
}

void WindowBase::PaletteChanged() {
    RefreshPalette();
    for (WindowBase* window : Bound()) {
        window->FollowPalette();
        InvalidateRect(window->Hwnd(), nullptr, TRUE);
    }
}

bool PreTranslate(const MSG& message) {
    for (HWND window = message.hwnd; window != nullptr; window = GetParent(window)) {
        WindowBase* const bound = WindowBase::Of(window);
        if (bound != nullptr && bound->PreTranslateMessage(message)) {
            return true;
        }
        // A top-level window's "parent" is its owner: the walk ends at the top-level window, so
        // that a message box's keys never reach the window that owns it.
        if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) == 0) {
            return false;
        }
    }
    return false;
}

std::optional<LRESULT> Reflect(UINT message, WPARAM wParam, LPARAM lParam) {
    WindowBase* const control = WindowBase::Of(Concerned(message, lParam));
    return control != nullptr ? control->OnReflected(message, wParam, lParam) : std::nullopt;
}

} // namespace corvantis::platform
