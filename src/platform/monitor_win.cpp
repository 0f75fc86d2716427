#include "platform/monitor_win.h"

#include "platform/handles_win.h"

#include <new>

namespace corvantis::platform {

unsigned WindowDpi(HWND window) {
    const UINT dpi = GetDpiForWindow(window);
    return dpi != 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

SIZE ScreenPixels() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

std::vector<PixelRect> MonitorRects() {
    std::vector<PixelRect> monitors;
    // No exception may cross the system's enumeration: out of memory ends it with no monitors,
    // as a failed enumeration does.
    const auto add = [](HMONITOR monitor, HDC, LPRECT, LPARAM param) noexcept -> BOOL {
        MONITORINFO info{sizeof info};
        if (!GetMonitorInfoW(monitor, &info)) {
            return TRUE;
        }
        const RECT& r = info.rcMonitor;
        auto& list = *reinterpret_cast<std::vector<PixelRect>*>(param);
        const PixelRect rect{r.left, r.top, r.right, r.bottom};
        try {
            list.insert((info.dwFlags & MONITORINFOF_PRIMARY) != 0 ? list.begin() : list.end(),
                        rect);
        } catch (const std::bad_alloc&) {
            list.clear();
            return FALSE;
        }
        return TRUE;
    };
    if (!EnumDisplayMonitors(nullptr, nullptr, add, reinterpret_cast<LPARAM>(&monitors))) {
        Trace(L"EnumDisplayMonitors failed: the window neither docks nor hides");
        monitors.clear();
    }
    return monitors;
}

} // namespace corvantis::platform
