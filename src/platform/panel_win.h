#pragma once
// A plain panel that holds controls: it fills itself with its colour, may draw a frame like a
// rectangle shape placed on it, and passes its controls' notifications and its own mouse moves
// on to its parent.

#include "platform/base_window_win.h"
#include "platform/handles_win.h"

namespace corvantis::platform {

// Sent to the panel's parent for every mouse move over the panel (and over labels on it, which
// let the mouse through). wParam and lParam as in WM_MOUSEMOVE.
inline constexpr UINT kPanelMouseMove = WM_APP + 1;

class Panel : public BaseWindow<Panel> {
public:
    static constexpr wchar_t kClassName[] = L"CorvantisPanel";

    // nullptr when the panel cannot be created.
    HWND Create(HWND parent, int id, Rgb background);
    using BaseWindow::SetDpi;
    using BaseWindow::SetFrame;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT ForwardToParent(UINT message, WPARAM wParam, LPARAM lParam);

    UniqueBrush background_;
};

} // namespace corvantis::platform
