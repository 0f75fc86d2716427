#pragma once
// The thin layer over user32 and gdi32 that the windows share.

#include "app/launcher_layout.h"
#include "platform/handles_win.h"

#include <windows.h>

#include <string>

namespace corvantis::platform {

// The folder of the running program, without a trailing backslash.
std::u16string ProgramFolder();

unsigned WindowDpi(HWND window);

// Screen size in pixels of the primary screen.
SIZE ScreenPixels();

// SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags); the result is not examined.
void SetTopmost(HWND window, UINT flags);

COLORREF ToColorRef(app::Rgb colour);

void SetFont(HWND control, const UniqueFont& font);

UniqueFont CreateFontAt(const app::FontSpec& font, unsigned dpi);

// A control's rectangle in pixels from its place in twips.
RECT PixelRect(const app::TwipsRect& twips, unsigned dpi);

// MoveWindow with a rectangle in twips.
void PlaceControl(HWND control, const app::TwipsRect& twips, unsigned dpi);

std::wstring WindowText(HWND window);

// Moves and sizes the window to `rect` (screen pixels), as the system suggests on a DPI change.
void MoveToRect(HWND window, const RECT& rect);

// A child control at 0, 0, sized later by PlaceControl.
HWND CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, HWND parent, int id,
                   DWORD exStyle = 0);

HBITMAP LoadBitmapResource(int id);

HWND CreateTooltip(HWND owner);
void AddTooltip(HWND tooltip, HWND control, const wchar_t* text);

// An unfilled one-pixel rectangle, as a rectangle shape draws its border.
void DrawFrame(HDC dc, const RECT& rect, app::Rgb colour);

} // namespace corvantis::platform
