#pragma once
// Every text the user sees, in one place.

namespace corvantis::app::texts {

inline constexpr wchar_t kAppTitle[] = L"Corvantis";
inline constexpr wchar_t kLauncherWindow[] = L"Form1";
inline constexpr wchar_t kEditorWindow[] = L"Form2";

inline constexpr wchar_t kCommand1[] = L"载入";
inline constexpr wchar_t kCommand2[] = L"清空";
inline constexpr wchar_t kCommand3[] = L"保存";
inline constexpr wchar_t kCommand4[] = L"Command4";
inline constexpr wchar_t kCommand5[] = L"搜索";
inline constexpr wchar_t kTitle[] = L"Corvantis";

inline constexpr wchar_t kText1Tip[] = L"输入触发关键字,按enter键执行.备注：多个关键字用空格隔开";
inline constexpr wchar_t kImage1Tip[] = L"置顶";
inline constexpr wchar_t kImage3Tip[] = L"退出";

} // namespace corvantis::app::texts
