#include "platform/palette_win.h"

#include <windows.h>

namespace corvantis::platform {
namespace {

Rgb SystemColour(int index) {
    const COLORREF colour = GetSysColor(index);
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

SystemPalette ReadPalette() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    const bool on = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
                    (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
    return {on, SystemColour(COLOR_WINDOWTEXT), SystemColour(COLOR_WINDOW)};
}

SystemPalette& Palette() {
    static SystemPalette palette = ReadPalette();
    return palette;
}

} // namespace

const SystemPalette& CurrentPalette() {
    return Palette();
}

void RefreshPalette() {
    Palette() = ReadPalette();
}

} // namespace corvantis::platform
