#include "platform/panel_win.h"
#include "platform/gdi_win.h"

namespace corvantis::platform {

HWND Panel::Create(HWND parent, int id, Rgb background) {
    background_.reset(CreateSolidBrush(ToColorRef(background)));
    return CreateBound(WS_EX_CONTROLPARENT, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, parent,
                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr);
}

LRESULT Panel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        RECT client;
        GetClientRect(Hwnd(), &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, background_.get());
        return 1;
    }
    return Default(message, wParam, lParam);
}

} // namespace corvantis::platform
