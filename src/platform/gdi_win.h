#pragma once
// Colours, fonts, frames and bitmaps: what the windows draw with.

#include "platform/geometry.h"
#include "platform/handles_win.h"

#include <windows.h>

#include <span>
#include <vector>

namespace corvantis::platform {

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

// An unfilled one-pixel rectangle, as a rectangle shape draws its border.
void DrawFrame(HDC dc, const RECT& rect, Rgb colour);

HBITMAP LoadBitmapResource(int id);

} // namespace corvantis::platform
