#pragma once
// The thin layer over user32 and gdi32 that the windows share.

#include "platform/geometry.h"
#include "platform/handles_win.h"

#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace corvantis::platform {

// SetWindowPos flags: made topmost and shown, or put back on top with nothing else changed.
inline constexpr UINT kShowTopmost = SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW;
inline constexpr UINT kKeepTopmost = SWP_NOSIZE | SWP_NOMOVE;

// The folder of the running program, without a trailing backslash.
std::u16string ProgramFolder();

unsigned WindowDpi(HWND window);

// Screen size in pixels of the primary screen.
SIZE ScreenPixels();

// Every monitor's whole rectangle in screen pixels, the primary first; empty, traced, when they
// cannot be read.
std::vector<PixelRect> MonitorRects();

// SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags); the result is not examined.
void SetTopmost(HWND window, UINT flags);

COLORREF ToColorRef(Rgb colour);

UniqueFont CreateFontAt(const FontSpec& font, unsigned dpi);

// The fonts of a window's controls at one resolution. Each new font reaches its controls before
// the font it replaces is deleted.
class ControlFonts {
public:
    struct Use {
        FontSpec font;
        std::vector<HWND> controls;
    };
    void Apply(std::span<const Use> uses, unsigned dpi);

private:
    std::vector<UniqueFont> fonts_;
};

// A control's rectangle in pixels from its place in twips.
RECT ToPixelRect(const TwipsRect& twips, unsigned dpi);

// MoveWindow with a rectangle in twips.
void PlaceControl(HWND control, const TwipsRect& twips, unsigned dpi);

std::u16string WindowText(HWND window);
void SetText(HWND window, std::u16string_view text);

// The selected text of a single-line edit control when `point` (client pixels) lies on one of
// its selected characters; nullopt when nothing is selected or the point is elsewhere.
std::optional<std::u16string> SelectionAt(HWND edit, POINT point);

// Moves and sizes the window to `rect` (screen pixels), as the system suggests on a DPI change.
void MoveToRect(HWND window, const RECT& rect);

// A child control at 0, 0, sized later by PlaceControl; nullptr when it cannot be created.
HWND CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, HWND parent, int id,
                   DWORD exStyle = 0);

HBITMAP LoadBitmapResource(int id);

// A tooltip window for `owner`'s controls; nullptr (traced) when it cannot be created, and
// AddTooltip then does nothing: tips are a help, not a function.
HWND CreateTooltip(HWND owner);
void AddTooltip(HWND tooltip, HWND control, const wchar_t* text);

// An unfilled one-pixel rectangle, as a rectangle shape draws its border.
void DrawFrame(HDC dc, const RECT& rect, Rgb colour);

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
