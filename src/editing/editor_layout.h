#pragma once
// Geometry, colours and fonts of the entry editor, in twips relative to each control's container.

#include "app/launcher_layout.h"

namespace corvantis::editing::editor {

using app::FontSpec;
using app::Rgb;
using app::TwipsRect;

inline constexpr float kWidth = 6510;
inline constexpr float kHeight = 2400;

inline constexpr TwipsRect kPicture1{60, 360, 6390, 1965};
// Inside Picture1.
inline constexpr TwipsRect kText2{1380, 810, 4380, 405};
inline constexpr TwipsRect kText1{1395, 255, 4365, 375};
inline constexpr TwipsRect kLabel3{1950, 1440, 2505, 375};
inline constexpr TwipsRect kLabel2{75, 795, 1170, 405};
inline constexpr TwipsRect kLabel1{60, 240, 1215, 390};
// On the window.
inline constexpr TwipsRect kImage3{6225, 60, 240, 240};
inline constexpr TwipsRect kTitle{75, 15, 840, 300};

inline constexpr Rgb kPicture1Background{0xFF, 0xC0, 0x80};
inline constexpr Rgb kLabel3Background{0xFF, 0x80, 0x00};
inline constexpr Rgb kLabel3Colour{0x40, 0x40, 0x40};
inline constexpr Rgb kTitleColour{0x40, 0x40, 0x40};
inline constexpr Rgb kFrameBorder{0xE0, 0xE0, 0xE0};

inline constexpr FontSpec kBoxFont{L"微软雅黑", 12, app::kFontWeightNormal, app::kCharsetGb2312};
inline constexpr FontSpec kLabelFont{L"微软雅黑", 12, app::kFontWeightNormal, app::kCharsetGb2312};
// The default character set lets the system find glyphs for the Chinese caption.
inline constexpr FontSpec kTitleFont{L"Consolas", 12, app::kFontWeightBold, app::kCharsetDefault};

} // namespace corvantis::editing::editor
