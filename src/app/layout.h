#pragma once
// Geometry, colours and fonts of the program's windows, in twips relative to each control's
// container.

#include "platform/geometry.h"

namespace corvantis::app {

using platform::FontSpec;
using platform::Rgb;
using platform::TwipsRect;

// Both windows: a thin frame covers each but for a 7-twip inset at its top and left; a bold
// title at its top left.
inline constexpr float kFrameInset = 7;
inline constexpr Rgb kFrameBorder{0xE0, 0xE0, 0xE0};
inline constexpr Rgb kWhite{0xFF, 0xFF, 0xFF};
inline constexpr FontSpec kTitleFont{L"Consolas", 12, platform::kFontWeightBold,
                                     platform::kCharsetDefault};

constexpr TwipsRect FrameRect(float windowWidth, float windowHeight) {
    return {kFrameInset, kFrameInset, windowWidth - kFrameInset, windowHeight - kFrameInset};
}

namespace launcher {

inline constexpr float kWidth = 7695;
inline constexpr float kHeight = 5850;

// The search button and the four list buttons lie outside the window: reachable by keyboard and
// by the program, never seen.
inline constexpr TwipsRect kSearchButton{6000, 3735, 1050, 450};
inline constexpr TwipsRect kTitleStrip{-15, 0, 9840, 375}; // design place; the load moves it
// Inside the title strip.
inline constexpr TwipsRect kRequestBox{3120, 75, 3735, 240};
inline constexpr TwipsRect kRequestBoxFrame{3090, 60, 3855, 285};
inline constexpr TwipsRect kKeepOnTopGlyph{7050, 60, 240, 240};
inline constexpr TwipsRect kCloseGlyph{7395, 60, 240, 240};
inline constexpr TwipsRect kTitleLabel{90, 45, 2895, 300};
// On the window.
inline constexpr TwipsRect kSpareButton{14115, 9120, 1575, 360};
inline constexpr TwipsRect kSaveButton{12195, 9120, 1335, 360};
inline constexpr TwipsRect kClearButton{10740, 9120, 1245, 375};
inline constexpr TwipsRect kReloadButton{8220, 9120, 2280, 390};
inline constexpr TwipsRect kEntryList{60, 405, 7575, 5385};
inline constexpr TwipsRect kWindowFrameDesign{0, 0, 75, 150}; // the load moves it

// Where the load puts the title strip, from the window's size.
inline constexpr float kStripInset = 10;
inline constexpr float kStripWidthMargin = 30;

inline constexpr Rgb kRequestBoxColour{0x0E, 0x97, 0xE7};
inline constexpr Rgb kRequestBoxBorder{0xC0, 0xC0, 0xC0};
inline constexpr Rgb kTitleColour{0x80, 0x80, 0x80};
inline constexpr Rgb kEntryListBackground{0xFF, 0xFF, 0xC0};
inline constexpr Rgb kEntryListColour{0x00, 0x00, 0x00};

inline constexpr FontSpec kWindowFont{L"Consolas", 9, platform::kFontWeightNormal,
                                      platform::kCharsetDefault};
inline constexpr FontSpec kRequestBoxFont{L"Consolas", 10.5f, platform::kFontWeightNormal,
                                          platform::kCharsetDefault};
inline constexpr FontSpec kEntryListFont = kRequestBoxFont;
inline constexpr FontSpec kButtonFont{L"宋体", 9, platform::kFontWeightNormal,
                                      platform::kCharsetGb2312};

// The title strip keeps its height and spans the window less 30 twips.
constexpr TwipsRect StripRect(float windowWidth) {
    return {kStripInset, kStripInset, windowWidth - kStripWidthMargin, kTitleStrip.height};
}

} // namespace launcher

namespace editor {

inline constexpr float kWidth = 6510;
inline constexpr float kHeight = 2400;

inline constexpr TwipsRect kPanel{60, 360, 6390, 1965};
// Inside the panel.
inline constexpr TwipsRect kTargetBox{1380, 810, 4380, 405};
inline constexpr TwipsRect kKeywordsBox{1395, 255, 4365, 375};
inline constexpr TwipsRect kOkLabel{1950, 1440, 2505, 375};
inline constexpr TwipsRect kTargetCaption{75, 795, 1170, 405};
inline constexpr TwipsRect kKeywordsCaption{60, 240, 1215, 390};
// On the window.
inline constexpr TwipsRect kCloseGlyph{6225, 60, 240, 240};
inline constexpr TwipsRect kTitleLabel{75, 15, 840, 300};

inline constexpr Rgb kPanelBackground{0xFF, 0xC0, 0x80};
inline constexpr Rgb kOkBackground{0xFF, 0x80, 0x00};
inline constexpr Rgb kOkColour{0x40, 0x40, 0x40};
inline constexpr Rgb kTitleColour{0x40, 0x40, 0x40};

inline constexpr FontSpec kBoxFont{L"微软雅黑", 12, platform::kFontWeightNormal,
                                   platform::kCharsetGb2312};
inline constexpr FontSpec kCaptionFont = kBoxFont;

} // namespace editor
} // namespace corvantis::app
