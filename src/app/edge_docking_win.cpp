#include "app/edge_docking_win.h"

#include "core/docking.h"
#include "platform/handles_win.h"
#include "platform/twips.h"
#include "platform/monitor_win.h"

namespace corvantis::app {
namespace {

// The window's place and the pointer, read afresh. A failed read leaves zeros, and the step
// goes on with them.
core::DockInput ReadPlace(HWND window, unsigned dpi, RECT& rect) {
    using platform::PixelsToTwips;
    POINT pointer{};
    GetCursorPos(&pointer);
    GetWindowRect(window, &rect);
    core::DockInput input;
    input.pointer = {pointer.x, pointer.y};
    input.rect = {rect.left, rect.top, rect.right, rect.bottom};
    input.left = PixelsToTwips(rect.left, dpi);
    input.top = PixelsToTwips(rect.top, dpi);
    input.width = PixelsToTwips(rect.right - rect.left, dpi);
    input.height = PixelsToTwips(rect.bottom - rect.top, dpi);
    input.monitors = platform::MonitorRects();
    input.dpi = dpi;
    input.minimised = IsIconic(window) != FALSE;
    return input;
}

void Carry(HWND window, unsigned dpi, const RECT& rect, const core::DockAction& action) {
    if (action.newLeft || action.newTop) {
        const int x = action.newLeft ? platform::TwipsToPixels(*action.newLeft, dpi) : rect.left;
        const int y = action.newTop ? platform::TwipsToPixels(*action.newTop, dpi) : rect.top;
        SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (action.show) {
        ShowWindow(window, SW_SHOW);
    }
}

} // namespace

void EdgeDocking::Start(HWND window) const {
    if (SetTimer(window, timer_, core::kDockTickMs, nullptr) == 0) {
        platform::Trace(L"SetTimer failed: the window neither docks nor follows data.txt");
    }
}

void EdgeDocking::Tick(HWND window, unsigned dpi, bool busy) const {
    if (held_ || busy) {
        return;
    }
    RECT rect{};
    const core::DockInput input = ReadPlace(window, dpi, rect);
    Carry(window, dpi, rect, core::DockStep(input));
}

void EdgeDocking::Reveal(HWND window, unsigned dpi) {
    RECT rect{};
    const core::DockInput input = ReadPlace(window, dpi, rect);
    Carry(window, dpi, rect, core::DockReveal(input));
}

} // namespace corvantis::app
