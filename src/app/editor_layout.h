#pragma once
// Geometry, colours and fonts of the entry editor, in twips relative to each control's container.

#include "platform/geometry.h"

namespace corvantis::app::editor {

using platform::FontSpec;
using platform::Rgb;
using platform::TwipsRect;

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
// The frame covers the window but for a 7-twip inset at its top and left.
inline constexpr TwipsRect kFrame{7, 7, kWidth - 7, kHeight - 7};

inline constexpr Rgb kPanelBackground{0xFF, 0xC0, 0x80};
inline constexpr Rgb kOkBackground{0xFF, 0x80, 0x00};
inline constexpr Rgb kOkColour{0x40, 0x40, 0x40};
inline constexpr Rgb kTitleColour{0x40, 0x40, 0x40};
inline constexpr Rgb kFrameBorder{0xE0, 0xE0, 0xE0};

inline constexpr FontSpec kBoxFont{L"微软雅黑", 12, platform::kFontWeightNormal,
                                   platform::kCharsetGb2312};
inline constexpr FontSpec kCaptionFont{L"微软雅黑", 12, platform::kFontWeightNormal,
                                       platform::kCharsetGb2312};
// The default character set lets the system find glyphs for the Chinese caption.
inline constexpr FontSpec kTitleFont{L"Consolas", 12, platform::kFontWeightBold,
                                     platform::kCharsetDefault};

} // namespace corvantis::app::editor
