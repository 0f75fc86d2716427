#pragma once
// The launcher's title strip `pmenu`: a white panel that holds the input box, the glyphs and the
// title, and draws the frame Shape1 around the input box. Notifications of its controls go on
// to the launcher; mouse moves over it are reported to the launcher too (window dragging).

#include "app/base_window_win.h"

namespace corvantis::app {

// Sent to the strip's parent for every mouse move over the strip (and over the title label,
// which lets the mouse through). wParam and lParam as in WM_MOUSEMOVE.
inline constexpr UINT kStripMouseMove = WM_APP + 1;

class TitleStrip : public BaseWindow<TitleStrip> {
public:
    static constexpr wchar_t kClassName[] = L"CorvantisTitleStrip";

    HWND Create(HWND parent, int id);
    void SetDpi(unsigned dpi);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void OnPaint();
    LRESULT ForwardToParent(UINT message, WPARAM wParam, LPARAM lParam);

    unsigned dpi_ = USER_DEFAULT_SCREEN_DPI;
};

} // namespace corvantis::app
