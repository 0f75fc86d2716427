#pragma once
// Geometry, colours and fonts of the launcher window. Positions and sizes are in twips
// (1/1440 inch: 15 twips make one pixel at 96 dpi), relative to the control's container.

#include <cstdint>

namespace corvantis::app {

struct TwipsRect {
    float left, top, width, height;
};

struct TwipsPoint {
    float x, y;
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

namespace launcher {

inline constexpr float kWidth = 7695;
inline constexpr float kHeight = 5850;

inline constexpr TwipsRect kCommand5{6000, 3735, 1050, 450};
inline constexpr TwipsRect kPmenu{-15, 0, 9840, 375}; // design place; the load moves it
inline constexpr TwipsRect kText1{3120, 75, 3735, 240};
inline constexpr TwipsRect kShape1{3090, 60, 3855, 285};
inline constexpr TwipsRect kImage1{7050, 60, 240, 240};
inline constexpr TwipsRect kImage3{7395, 60, 240, 240};
inline constexpr TwipsRect kTitle{90, 45, 2895, 300};
inline constexpr TwipsRect kCommand4{14115, 9120, 1575, 360};
inline constexpr TwipsRect kCommand3{12195, 9120, 1335, 360};
inline constexpr TwipsRect kCommand2{10740, 9120, 1245, 375};
inline constexpr TwipsRect kCommand1{8220, 9120, 2280, 390};
inline constexpr TwipsRect kList1{60, 405, 7575, 5385};

// Where the load puts the window frame s2 and the title strip, from the window's size.
inline constexpr float kFrameInset = 7;
inline constexpr float kStripInset = 10;
inline constexpr float kStripWidthMargin = 30;

inline constexpr Rgb kStripBackground{0xFF, 0xFF, 0xFF};
inline constexpr Rgb kText1Background{0xFF, 0xFF, 0xFF};
inline constexpr Rgb kText1Colour{0x0E, 0x97, 0xE7};
inline constexpr Rgb kShape1Border{0xC0, 0xC0, 0xC0};
inline constexpr Rgb kTitleColour{0x80, 0x80, 0x80};
inline constexpr Rgb kList1Background{0xFF, 0xFF, 0xC0};
inline constexpr Rgb kList1Colour{0x00, 0x00, 0x00};
inline constexpr Rgb kFrameBorder{0xE0, 0xE0, 0xE0};

inline constexpr FontSpec kWindowFont{L"Consolas", 9, kFontWeightNormal, kCharsetDefault};
inline constexpr FontSpec kText1Font{L"Consolas", 10.5f, kFontWeightNormal, kCharsetDefault};
inline constexpr FontSpec kTitleFont{L"Consolas", 12, kFontWeightBold, kCharsetDefault};
inline constexpr FontSpec kList1Font{L"Consolas", 10.5f, kFontWeightNormal, kCharsetDefault};
inline constexpr FontSpec kButtonFont{L"宋体", 9, kFontWeightNormal, kCharsetGb2312};

} // namespace launcher

// Left and top that centre a window on the screen, in single precision as the window system
// keeps them; nothing keeps the window inside a screen smaller than itself.
constexpr TwipsPoint CentreOnScreen(float screenWidth, float screenHeight, float width,
                                    float height) {
    return {screenWidth / 2 - width / 2, screenHeight / 2 - height / 2};
}

// The window frame s2 covers the window but for a 7-twip inset at its top and left.
constexpr TwipsRect FrameRect(float windowWidth, float windowHeight) {
    using namespace launcher;
    return {kFrameInset, kFrameInset, windowWidth - kFrameInset, windowHeight - kFrameInset};
}

// The title strip keeps its height and spans the window less 30 twips.
constexpr TwipsRect StripRect(float windowWidth) {
    using namespace launcher;
    return {kStripInset, kStripInset, windowWidth - kStripWidthMargin, kPmenu.height};
}

} // namespace corvantis::app
