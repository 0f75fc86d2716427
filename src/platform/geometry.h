#pragma once
// The vocabulary of window design: places and sizes in twips (1/1440 inch: 15 twips make one
// pixel at 96 dpi), relative to a control's container; pointer and window rectangles in screen
// pixels; colours and fonts.

#include <cstdint>

namespace corvantis::platform {

struct TwipsRect {
    float left, top, width, height;
};

struct TwipsPoint {
    float x, y;
};

struct PixelPoint {
    int x = 0;
    int y = 0;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct Rgb {
    std::uint8_t r, g, b;
};

struct FontSpec {
    const wchar_t* face;
    float points;
    int weight;
    int charset;
};

inline constexpr int kFontWeightNormal = 400;
inline constexpr int kFontWeightBold = 700;
inline constexpr int kCharsetDefault = 1;
inline constexpr int kCharsetGb2312 = 134;

// Left and top that centre a window on the screen, in single precision as the window system
// keeps them; nothing keeps the window inside a screen smaller than itself.
constexpr TwipsPoint CentreOnScreen(float screenWidth, float screenHeight, float width,
                                    float height) {
    return {screenWidth / 2 - width / 2, screenHeight / 2 - height / 2};
}

} // namespace corvantis::platform
