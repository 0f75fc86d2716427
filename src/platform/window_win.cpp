#include "platform/window_win.h"

#include "app/twips.h"

#include <commctrl.h>

#include <cmath>

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

void SetTopmost(HWND window, UINT flags) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
}

COLORREF ToColorRef(app::Rgb colour) {
    return RGB(colour.r, colour.g, colour.b);
}

void SetFont(HWND control, const UniqueFont& font) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
}

UniqueFont CreateFontAt(const app::FontSpec& font, unsigned dpi) {
    const int height = -static_cast<int>(std::lround(font.points * dpi / 72.0f));
    return UniqueFont(CreateFontW(
        height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, static_cast<BYTE>(font.charset),
        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, font.face));
}

RECT PixelRect(const app::TwipsRect& twips, unsigned dpi) {
    const int left = app::TwipsToPixels(twips.left, dpi);
    const int top = app::TwipsToPixels(twips.top, dpi);
    return {left, top, left + app::TwipsToPixels(twips.width, dpi),
            top + app::TwipsToPixels(twips.height, dpi)};
}

void PlaceControl(HWND control, const app::TwipsRect& twips, unsigned dpi) {
    const RECT rect = PixelRect(twips, dpi);
    MoveWindow(control, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
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
    SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, 600); // long tips wrap
    return tooltip;
}

void AddTooltip(HWND tooltip, HWND control, const wchar_t* text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void DrawFrame(HDC dc, const RECT& rect, app::Rgb colour) {
    const UniquePen pen(CreatePen(PS_SOLID, 1, ToColorRef(colour)));
    const HGDIOBJ oldPen = SelectObject(dc, pen.get());
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

} // namespace corvantis::platform
