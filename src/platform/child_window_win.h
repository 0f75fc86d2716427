#pragma once
// Child controls: creating and placing them, their text, and their tips.

#include "platform/geometry.h"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace corvantis::platform {

// A control's rectangle in pixels from its place in twips.
RECT ToPixelRect(const TwipsRect& twips, unsigned dpi);

// MoveWindow with a rectangle in twips.
void PlaceControl(HWND control, const TwipsRect& twips, unsigned dpi);

// A child control at 0, 0, sized later by PlaceControl; nullptr when it cannot be created.
HWND CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, HWND parent, int id,
                   DWORD exStyle = 0);

std::u16string WindowText(HWND window);
void SetText(HWND window, std::u16string_view text);

// The selected text of a single-line edit control when `point` (client pixels) lies on one of
// its selected characters; nullopt when nothing is selected or the point is elsewhere.
std::optional<std::u16string> SelectionAt(HWND edit, POINT point);

// A tooltip window for `owner`'s controls; nullptr (traced) when it cannot be created, and
// AddTooltip then does nothing: tips are a help, not a function.
HWND CreateTooltip(HWND owner);
void AddTooltip(HWND tooltip, HWND control, const wchar_t* text);

} // namespace corvantis::platform
