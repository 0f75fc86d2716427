#pragma once
// Conversion between twips (1/1440 inch), the unit of window positions and sizes, and screen
// pixels: pixels = twips * dpi / 1440, so one pixel is 15 twips at 96 dpi and 10 at 144 dpi.

#include <cmath>
#include <limits>

namespace corvantis::platform {

inline constexpr unsigned kTwipsPerInch = 1440;
// Stands in for a resolution of 0, which the window system never reports but a failed query
// could leave behind.
inline constexpr unsigned kDefaultDpi = 96;

inline double EffectiveDpi(unsigned dpi) {
    return dpi == 0 ? kDefaultDpi : dpi;
}

// Held in single precision like every window position; exact for any pixel count at the usual
// resolutions (96, 120, 144, 192 dpi).
inline float PixelsToTwips(int pixels, unsigned dpi) {
    return static_cast<float>(static_cast<double>(pixels) * kTwipsPerInch / EffectiveDpi(dpi));
}

// Rounded to the nearest pixel, halves away from zero: 7.5 twips at 96 dpi (half a pixel) gives 1,
// -7.5 gives -1. Values beyond the range of int are clamped to it; NaN gives 0.
inline int TwipsToPixels(float twips, unsigned dpi) {
    const double pixels =
        std::round(static_cast<double>(twips) * EffectiveDpi(dpi) / kTwipsPerInch);
    if (std::isnan(pixels)) {
        return 0;
    }
    if (pixels <= std::numeric_limits<int>::min()) {
        return std::numeric_limits<int>::min();
    }
    if (pixels >= std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(pixels);
}

} // namespace corvantis::platform
