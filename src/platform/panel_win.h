#pragma once
// A plain panel that holds controls: it fills itself with its colour, may draw a frame like a
// rectangle shape placed on it, and passes its controls' notifications and its own mouse moves
// on to its parent.

#include "app/launcher_layout.h"
#include "platform/base_window_win.h"
#include "platform/handles_win.h"

#include <optional>

namespace corvantis::platform {

// Sent to the panel's parent for every mouse move over the panel (and over labels on it, which
// let the mouse through). wParam and lParam as in WM_MOUSEMOVE.
inline constexpr UINT kPanelMouseMove = WM_APP + 1;

class Panel : public BaseWindow<Panel> {
public:
    static constexpr wchar_t kClassName[] = L"CorvantisPanel";

    HWND Create(HWND parent, int id, app::Rgb background);
    void SetFrame(const app::TwipsRect& frame, app::Rgb colour);
    void SetDpi(unsigned dpi);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct Frame {
        app::TwipsRect place;
        app::Rgb colour;
    };

    void OnPaint();
    LRESULT ForwardToParent(UINT message, WPARAM wParam, LPARAM lParam);

    UniqueBrush background_;
    std::optional<Frame> frame_;
    unsigned dpi_ = USER_DEFAULT_SCREEN_DPI;
};

} // namespace corvantis::platform
