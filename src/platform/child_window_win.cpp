#include "platform/child_window_win.h"

#include "platform/handles_win.h"
#include "platform/twips.h"

#include <commctrl.h>
#include <windowsx.h>

namespace corvantis::platform {

RECT ToPixelRect(const TwipsRect& twips, unsigned dpi) {
    const int left = TwipsToPixels(twips.left, dpi);
    const int top = TwipsToPixels(twips.top, dpi);
    return {left, top, left + TwipsToPixels(twips.width, dpi),
            top + TwipsToPixels(twips.height, dpi)};
}

void PlaceControl(HWND control, const TwipsRect& twips, unsigned dpi) {
    const RECT rect = ToPixelRect(twips, dpi);
    MoveWindow(control, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

HWND CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, HWND parent, int id,
                   DWORD exStyle) {
    return CreateWindowExW(exStyle, className, text, WS_CHILD | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

std::u16string WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return FromWide(text);
}

void SetText(HWND window, std::u16string_view text) {
    SetWindowTextW(window, AsWide(std::u16string(text)));
}

std::optional<std::u16string> SelectionAt(HWND edit, POINT point) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const LRESULT nearest = SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(point.x, point.y));
    if (start >= end || nearest == -1) {
        return std::nullopt;
    }
    const std::u16string text = WindowText(edit);
    // EM_CHARFROMPOS gives the character boundary nearest the point in 16 bits only. The point
    // lies in the visible text, which starts at the first visible character.
    const auto first = static_cast<size_t>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    size_t under = first + ((static_cast<size_t>(LOWORD(nearest)) - first) & 0xFFFF);
    // The character under the point is the one that starts at that boundary, or the one before.
    const bool beforeBoundary =
        under >= text.size() ||
        point.x < GET_X_LPARAM(SendMessageW(edit, EM_POSFROMCHAR, static_cast<WPARAM>(under), 0));
    if (beforeBoundary) {
        if (under == 0) {
            return std::nullopt;
        }
        --under;
    }
    if (under < start || under >= end || end > text.size()) {
        return std::nullopt;
    }
    return text.substr(start, end - start);
}

HWND CreateTooltip(HWND owner) {
    const HWND tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                         WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                                         nullptr, GetModuleHandleW(nullptr), nullptr);
    if (tooltip == nullptr) {
        Trace(L"no tooltip window: the tips are not shown");
        return nullptr;
    }
    SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, 600); // long tips wrap
    return tooltip;
}

void AddTooltip(HWND tooltip, HWND control, const wchar_t* text) {
    if (tooltip == nullptr) {
        return;
    }
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    if (!SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
        Trace(L"TTM_ADDTOOL failed");
    }
}

} // namespace corvantis::platform
