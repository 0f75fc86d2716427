#pragma once
// A plain panel that holds controls: it fills itself with its colour and may draw a frame like a
// rectangle shape placed on it. Its controls' notifications are reflected to them, as on every
// window of the program.

#include "platform/base_window_win.h"
#include "platform/handles_win.h"

namespace corvantis::platform {

class Panel : public BaseWindow<Panel> {
public:
    static constexpr wchar_t kClassName[] = L"CorvantisPanel";

    // nullptr when the panel cannot be created.
    HWND Create(HWND parent, int id, Rgb background);
    using BaseWindow::DragByBackground;
    using BaseWindow::SetDpi;
    using BaseWindow::SetFrame;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    UniqueBrush background_;
};

} // namespace corvantis::platform
