#pragma once
// Top-level windows: keeping on top, placing, owning, activating, dragging and moving the focus
// among their controls.

#include "platform/handles_win.h"

#include <windows.h>

#include <span>

namespace corvantis::platform {

// SetWindowPos flags: made topmost and shown, or put back on top with nothing else changed.
inline constexpr UINT kShowTopmost = SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW;
inline constexpr UINT kKeepTopmost = SWP_NOSIZE | SWP_NOMOVE;

// SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags); the result is not examined.
void SetTopmost(HWND window, UINT flags);

// Moves and sizes the window to `rect` (screen pixels), as the system suggests on a DPI change.
void MoveToRect(HWND window, const RECT& rect);

// A window that is never shown, to own a top-level window kept off the taskbar: a window manager
// on Linux takes the owned window for a dialog, to which it hands the keyboard back when a
// window above it closes (one with no owner it passes over). Empty, traced, when it cannot be made.
UniqueWindow CreateHiddenOwner();

// The pop-up last active among the windows `window` belongs with (a message box it waits on)
// comes to the front; false when that is `window` itself or there is none.
bool ForwardActivePopup(HWND window);

// Lets the window system move `window` with the pointer, as if its caption had been pressed.
// A maximised window stays where it is.
void DragWindow(HWND window);

// Moves the focus to the next (or previous) window of `order`, from the one that has it; to the
// first when none of them has it.
void MoveFocusAlong(std::span<const HWND> order, bool backwards);

} // namespace corvantis::platform
