#include "platform/gdi_win.h"

#include "platform/twips.h"

#include <cmath>

namespace corvantis::platform {

COLORREF ToColorRef(Rgb colour) {
    return RGB(colour.r, colour.g, colour.b);
}

UniqueFont CreateFontAt(const FontSpec& font, unsigned dpi) {
    const int height = -static_cast<int>(std::lround(font.points * dpi / 72.0f));
    UniqueFont created(CreateFontW(
        height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, static_cast<BYTE>(font.charset),
        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, font.face));
    if (!created) {
        Trace(L"CreateFontW failed: controls keep the system font");
    }
    return created;
}

void ControlFonts::Apply(std::span<const Use> uses, unsigned dpi) {
    std::vector<UniqueFont> fonts;
    fonts.reserve(uses.size());
    for (const Use& use : uses) {
        fonts.push_back(CreateFontAt(use.font, dpi));
        for (const HWND control : use.controls) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.back().get()), TRUE);
        }
    }
    fonts_ = std::move(fonts);
}

void DrawFrame(HDC dc, const RECT& rect, Rgb colour) {
    const UniquePen pen(CreatePen(PS_SOLID, 1, ToColorRef(colour)));
    const SelectScope penScope(dc, pen.get());
    const SelectScope brushScope(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

HBITMAP LoadBitmapResource(int id) {
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

} // namespace corvantis::platform
