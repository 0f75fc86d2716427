#include "app/edge_docking_win.h"

#include "core/docking.h"
#include "platform/twips.h"
#include "platform/window_win.h"

namespace corvantis::app {

void DockingTick(HWND window, unsigned dpi) {
    using platform::PixelsToTwips;
    // A failed read leaves zeros, and the step goes on with them.
    POINT pointer{};
    RECT rect{};
    GetCursorPos(&pointer);
    GetWindowRect(window, &rect);
    core::DockInput input;
    input.pointer = {pointer.x, pointer.y};
    input.rect = {rect.left, rect.top, rect.right, rect.bottom};
    input.left = PixelsToTwips(rect.left, dpi);
    input.top = PixelsToTwips(rect.top, dpi);
    input.width = PixelsToTwips(rect.right - rect.left, dpi);
    input.height = PixelsToTwips(rect.bottom - rect.top, dpi);
    input.screenWidth = PixelsToTwips(platform::ScreenPixels().cx, dpi);
    input.minimised = IsIconic(window) != FALSE;

    const core::DockAction action = core::DockStep(input);
    if (action.newLeft || action.newTop) {
        const int x = action.newLeft ? platform::TwipsToPixels(*action.newLeft, dpi) : rect.left;
        const int y = action.newTop ? platform::TwipsToPixels(*action.newTop, dpi) : rect.top;
        SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (action.show) {
        ShowWindow(window, SW_SHOW);
    }
}

} // namespace corvantis::app
