#include "platform/panel_win.h"

#include "platform/window_win.h"

namespace corvantis::platform {

HWND Panel::Create(HWND parent, int id, app::Rgb background) {
    background_.reset(CreateSolidBrush(ToColorRef(background)));
    return CreateBound(WS_EX_CONTROLPARENT, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0,
                       0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr);
}

void Panel::SetFrame(const app::TwipsRect& frame, app::Rgb colour) {
    frame_ = Frame{frame, colour};
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

void Panel::SetDpi(unsigned dpi) {
    dpi_ = dpi;
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

LRESULT Panel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(Hwnd(), &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, background_.get());
        return 1;
    }
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_MOUSEMOVE:
        return ForwardToParent(kPanelMouseMove, wParam, lParam);
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        return ForwardToParent(message, wParam, lParam);
    default:
        return Default(message, wParam, lParam);
    }
}

void Panel::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Hwnd(), &ps);
    if (frame_) {
        DrawFrame(dc, PixelRect(frame_->place, dpi_), frame_->colour);
    }
    EndPaint(Hwnd(), &ps);
}

LRESULT Panel::ForwardToParent(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(GetParent(Hwnd()), message, wParam, lParam);
}

} // namespace corvantis::platform
