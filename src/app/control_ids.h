#pragma once
// Control identifiers of the launcher and the editor. End-to-end tests find controls by them.

namespace corvantis::app::ids {

// Launcher window "Form1".
inline constexpr int kCommand1 = 1001; // "载入", reload the list
inline constexpr int kCommand2 = 1002; // "清空", clear the list
inline constexpr int kCommand3 = 1003; // "保存", save the list
inline constexpr int kCommand4 = 1004;
inline constexpr int kCommand5 = 1005; // "搜索", run the request
inline constexpr int kPmenu = 1100;    // title strip
inline constexpr int kText1 = 1101;    // keyword input box, inside the title strip
inline constexpr int kImage1 = 1102;   // keep on top
inline constexpr int kImage3 = 1103;   // exit
inline constexpr int kTitle = 1104;
inline constexpr int kList1 = 1200;

// Editor window "Form2".
inline constexpr int kEditorPicture1 = 2100;
inline constexpr int kEditorText1 = 2101;  // keywords
inline constexpr int kEditorText2 = 2102;  // target
inline constexpr int kEditorLabel3 = 2103; // "好", save
inline constexpr int kEditorLabel2 = 2104;
inline constexpr int kEditorLabel1 = 2105;
inline constexpr int kEditorImage3 = 2106; // close
inline constexpr int kEditorTitle = 2107;

} // namespace corvantis::app::ids
