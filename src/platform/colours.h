#pragma once
// The colours the program paints with. Off high contrast, its own design's, exactly; with high
// contrast on, the system's: the theme's window text on its window colour, everywhere.

#include "platform/geometry.h"

#include <optional>

namespace corvantis::platform {

// How a control paints itself (WM_CTLCOLOR*): its text colour, if any, on its background, or its
// text over whatever lies below it with the background filling the rest.
struct ControlColours {
    std::optional<Rgb> text;
    Rgb background;
    bool transparent = false;
};

// What the system says about colours: whether high contrast is on, and its colours then.
struct SystemPalette {
    bool highContrast = false;
    Rgb windowText{};
    Rgb window{};
};

enum class ColourUse { Text, Background, Frame };

Rgb PaintColour(Rgb design, ColourUse use, const SystemPalette& palette);
ControlColours PaintColours(const ControlColours& design, const SystemPalette& palette);

} // namespace corvantis::platform
