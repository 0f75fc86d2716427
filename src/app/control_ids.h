#pragma once
// Control identifiers of the launcher and the editor. End-to-end tests find controls by them.

namespace corvantis::app::ids {

// The launcher window.
inline constexpr int kReloadButton = 1001; // "载入": the file's lines added to the list again
inline constexpr int kClearButton = 1002;  // "清空": the list emptied, the file untouched
inline constexpr int kSaveButton = 1003;   // "保存": the list written to the file
inline constexpr int kSpareButton = 1004;  // no action
inline constexpr int kSearchButton = 1005; // "搜索": runs the request
inline constexpr int kTitleStrip = 1100;
inline constexpr int kRequestBox = 1101; // inside the title strip
inline constexpr int kKeepOnTopGlyph = 1102;
inline constexpr int kCloseGlyph = 1103;
inline constexpr int kTitleLabel = 1104;
inline constexpr int kFocusCue = 1105; // the caption of an unseen button that has the focus
inline constexpr int kEntryList = 1200;

// The editor window.
inline constexpr int kEditorPanel = 2100;
inline constexpr int kKeywordsBox = 2101;
inline constexpr int kTargetBox = 2102;
inline constexpr int kOkLabel = 2103; // "好": saves
inline constexpr int kTargetCaption = 2104;
inline constexpr int kKeywordsCaption = 2105;
inline constexpr int kEditorCloseGlyph = 2106;
inline constexpr int kEditorTitleLabel = 2107;

} // namespace corvantis::app::ids
