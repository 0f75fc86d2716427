#include "app/title_strip_win.h"

#include "app/launcher_layout.h"
#include "platform/window_win.h"

namespace corvantis::app {

HWND TitleStrip::Create(HWND parent, int id) {
    return CreateBound(WS_EX_CONTROLPARENT, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0,
                       0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                       static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void TitleStrip::SetDpi(unsigned dpi) {
    dpi_ = dpi;
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

LRESULT TitleStrip::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_MOUSEMOVE:
        return ForwardToParent(kStripMouseMove, wParam, lParam);
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        return ForwardToParent(message, wParam, lParam);
    default:
        return Default(message, wParam, lParam);
    }
}

void TitleStrip::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Hwnd(), &ps);
    platform::DrawFrame(dc, platform::PixelRect(launcher::kShape1, dpi_), launcher::kShape1Border);
    EndPaint(Hwnd(), &ps);
}

LRESULT TitleStrip::ForwardToParent(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(GetParent(Hwnd()), message, wParam, lParam);
}

} // namespace corvantis::app
