#include "platform/window_win.h"

#include "platform/twips.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cmath>
#include <new>

namespace corvantis::platform {

std::u16string ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2); // long paths: grow until the name fits
    }
    const size_t slash = path.find_last_of(L"\\/");
    path.resize(slash == std::wstring::npos ? 0 : slash);
    return FromWide(path);
}

unsigned WindowDpi(HWND window) {
    const UINT dpi = GetDpiForWindow(window);
    return dpi != 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

SIZE ScreenPixels() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

std::vector<PixelRect> MonitorRects() {
    std::vector<PixelRect> monitors;
    // No exception may cross the system's enumeration: out of memory ends it with no monitors,
    // as a failed enumeration does.
    const auto add = [](HMONITOR monitor, HDC, LPRECT, LPARAM param) noexcept -> BOOL {
        MONITORINFO info{sizeof info};
        if (!GetMonitorInfoW(monitor, &info)) {
            return TRUE;
        }
        const RECT& r = info.rcMonitor;
        auto& list = *reinterpret_cast<std::vector<PixelRect>*>(param);
        const PixelRect rect{r.left, r.top, r.right, r.bottom};
        try {
            list.insert((info.dwFlags & MONITORINFOF_PRIMARY) != 0 ? list.begin() : list.end(),
                        rect);
        } catch (const std::bad_alloc&) {
            list.clear();
            return FALSE;
        }
        return TRUE;
    };
    if (!EnumDisplayMonitors(nullptr, nullptr, add, reinterpret_cast<LPARAM>(&monitors))) {
        Trace(L"EnumDisplayMonitors failed: the window neither docks nor hides");
        monitors.clear();
    }
    return monitors;
}

void SetTopmost(HWND window, UINT flags) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
}

COLORREF ToColorRef(Rgb colour) {
    return RGB(colour.r, colour.g, colour.b);
}

UniqueFont CreateFontAt(const FontSpec& font, unsigned dpi) {
    const int height = -static_cast<int>(std::lround(font.points * dpi / 72.0f));
    UniqueFont created(CreateFontW(
        height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, static_cast<BYTE>(font.charset),
        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, font.face));
    if (!created) {
        Trace(L"CreateFontW failed: controls keep the system font");
    }
    return created;
}

void ControlFonts::Apply(std::span<const Use> uses, unsigned dpi) {
    std::vector<UniqueFont> fonts;
    fonts.reserve(uses.size());
    for (const Use& use : uses) {
        fonts.push_back(CreateFontAt(use.font, dpi));
        for (const HWND control : use.controls) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.back().get()), TRUE);
        }
    }
    fonts_ = std::move(fonts);
}

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

void MoveToRect(HWND window, const RECT& rect) {
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, HWND parent, int id,
                   DWORD exStyle) {
    return CreateWindowExW(exStyle, className, text, WS_CHILD | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

HBITMAP LoadBitmapResource(int id) {
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
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

void DrawFrame(HDC dc, const RECT& rect, Rgb colour) {
    const UniquePen pen(CreatePen(PS_SOLID, 1, ToColorRef(colour)));
    const SelectScope penScope(dc, pen.get());
    const SelectScope brushScope(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
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
