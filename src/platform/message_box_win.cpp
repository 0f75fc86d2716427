#include "platform/message_box_win.h"

#include "platform/handles_win.h"

#include <algorithm>
#include <cwchar>
#include <utility>

namespace corvantis::platform {
namespace {

// The class of dialog boxes, the message box's among them.
constexpr wchar_t kDialogClass[] = L"#32770";
// Room left on each side of a button's text.
constexpr int kButtonPadding = 12;

// The texts for the box this thread is opening: a hook has no argument of its own.
thread_local std::span<const ButtonText> pendingTexts;

// Widens a button that its new text does not fit, keeping its centre: the box has room around
// its buttons, which it sized for the standard texts.
void FitText(HWND button, const wchar_t* text) {
    RECT place{};
    if (button == nullptr || !GetWindowRect(button, &place)) {
        return;
    }
    SIZE size{};
    {
        const WindowDcScope dc(button);
        const SelectScope font(dc.Dc(),
                               reinterpret_cast<HGDIOBJ>(SendMessageW(button, WM_GETFONT, 0, 0)));
        if (dc.Dc() == nullptr ||
            !GetTextExtentPoint32W(dc.Dc(), text, static_cast<int>(std::wcslen(text)), &size)) {
            return;
        }
    }
    const int width = place.right - place.left;
    const int wanted = size.cx + 2 * kButtonPadding;
    if (wanted <= width) {
        return;
    }
    MapWindowPoints(HWND_DESKTOP, GetParent(button), reinterpret_cast<POINT*>(&place), 2);
    SetWindowPos(button, nullptr, place.left - (wanted - width) / 2, place.top, wanted,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK RenameButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const auto box = reinterpret_cast<HWND>(wParam);
        wchar_t className[std::size(kDialogClass) + 1] = {};
        GetClassNameW(box, className, static_cast<int>(std::size(className)));
        if (std::wcscmp(className, kDialogClass) == 0) {
            for (const ButtonText& button : pendingTexts) {
                SetDlgItemTextW(box, button.id, button.text);
                FitText(GetDlgItem(box, button.id), button.text);
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A CBT hook on this thread for the lifetime of the scope.
class CbtHookScope : NoCopy {
public:
    CbtHookScope()
        : hook_(SetWindowsHookExW(WH_CBT, RenameButtons, nullptr, GetCurrentThreadId())) {
        if (hook_ == nullptr) {
            Trace(L"SetWindowsHookExW failed: the message box shows its standard buttons");
        }
    }
    ~CbtHookScope() {
        if (hook_ != nullptr) {
            UnhookWindowsHookEx(hook_);
        }
    }

private:
    HHOOK hook_;
};

} // namespace

int MessageBoxWithButtons(HWND owner, const wchar_t* text, const wchar_t* title, UINT style,
                          std::span<const ButtonText> buttons) {
    const std::span<const ButtonText> outer = std::exchange(pendingTexts, buttons);
    int answer = 0;
    {
        const CbtHookScope hook;
        answer = MessageBoxW(owner, text, title, style);
    }
    pendingTexts = outer;
    return answer;
}

} // namespace corvantis::platform
