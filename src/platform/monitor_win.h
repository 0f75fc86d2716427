#pragma once
// The screens: their rectangles, and the resolution a window is shown at.

#include "platform/geometry.h"

#include <windows.h>

#include <vector>

namespace corvantis::platform {

unsigned WindowDpi(HWND window);

// Screen size in pixels of the primary screen.
SIZE ScreenPixels();

// Every monitor's whole rectangle in screen pixels, the primary first; empty, traced, when they
// cannot be read.
std::vector<PixelRect> MonitorRects();

} // namespace corvantis::platform
