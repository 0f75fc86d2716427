#pragma once
// One tick of edge docking for a window: its place and the pointer read afresh, the step of the
// portable rule carried out.

#include <windows.h>

namespace corvantis::app {

void DockingTick(HWND window, unsigned dpi);

// The tick's reveal, as if the pointer were over the window: a docked window comes back into view.
void DockingReveal(HWND window, unsigned dpi);

} // namespace corvantis::app
