#include "platform/colours.h"

namespace corvantis::platform {

Rgb PaintColour(Rgb design, ColourUse use, const SystemPalette& palette) {
    if (!palette.highContrast) {
        return design;
    }
    // A frame is drawn as lines, which the theme's text colour keeps visible on its background.
    return use == ColourUse::Background ? palette.window : palette.windowText;
}

ControlColours PaintColours(const ControlColours& design, const SystemPalette& palette) {
    if (!palette.highContrast) {
        return design;
    }
    // A control without a text colour of its own writes in black: under high contrast in the
    // theme's text colour, too.
    return {palette.windowText, palette.window, design.transparent};
}

} // namespace corvantis::platform
