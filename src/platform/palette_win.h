#pragma once
// The system's palette, as the colour choice (platform/colours.h) takes it: whether high
// contrast is on (SPI_GETHIGHCONTRAST), and the theme's window and window text colours.

#include "platform/colours.h"

namespace corvantis::platform {

// As read at first use, or at the last RefreshPalette.
const SystemPalette& CurrentPalette();
// Reads the palette again: the system's colours or its high contrast setting changed.
void RefreshPalette();

} // namespace corvantis::platform
