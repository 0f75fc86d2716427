#pragma once
// Every text the user sees, in one place.

namespace corvantis::app::texts {

inline constexpr wchar_t kAppTitle[] = L"Corvantis";
inline constexpr wchar_t kLauncherWindow[] = L"Form1";
inline constexpr wchar_t kEditorWindow[] = L"Form2";

inline constexpr wchar_t kReloadCaption[] = L"载入";
inline constexpr wchar_t kClearCaption[] = L"清空";
inline constexpr wchar_t kSaveCaption[] = L"保存";
inline constexpr wchar_t kSpareCaption[] = L"Command4";
inline constexpr wchar_t kSearchCaption[] = L"搜索";
inline constexpr wchar_t kTitle[] = L"Corvantis";

inline constexpr wchar_t kRequestBoxTip[] =
    L"输入触发关键字,按enter键执行.备注：多个关键字用空格隔开";
inline constexpr wchar_t kKeepOnTopTip[] = L"置顶";
inline constexpr wchar_t kCloseTip[] = L"退出";
// What screen readers call the entry list.
inline constexpr wchar_t kEntryListName[] = L"条目列表";

inline constexpr wchar_t kStartFailed[] = L"无法创建 Corvantis 的窗口，程序无法启动。";
inline constexpr wchar_t kRunningNoAnswer[] =
    L"这个文件夹里的 Corvantis 已在运行，但没有响应。\n请稍后再启动一次。";
inline constexpr wchar_t kRunningAsAdministrator[] =
    L"这个文件夹里的 Corvantis 已以管理员身份运行，没有响应这次启动。\n"
    L"请切换到它的窗口，或者也以管理员身份启动。";

// Failed writes of data.txt: {path} is its full path, {cause} one of the causes below, {copy}
// the full path of the new file that keeps the list.
inline constexpr wchar_t kCloseSaveFailed[] =
    L"无法保存 {path}：{cause}。修改尚未写入。\n\n"
    L"重试：解决后再保存一次。\n"
    L"不保存退出：data.txt 保持原样，列表另存为新文件 {copy}，然后退出。\n"
    L"取消：继续运行，列表保留。";
inline constexpr wchar_t kSaveFailed[] =
    L"无法保存 {path}：{cause}。修改尚未写入。\n请解决后再试一次。";
inline constexpr wchar_t kCopyFailed[] = L"无法把列表另存为 {copy}，程序继续运行，列表保留。";
inline constexpr wchar_t kCauseReadOnly[] = L"文件或其所在文件夹是只读的";
inline constexpr wchar_t kCauseInUse[] = L"文件正被其他程序占用";
inline constexpr wchar_t kCauseDiskFull[] = L"磁盘已满";
inline constexpr wchar_t kCauseOther[] = L"写入时出错";
inline constexpr wchar_t kRetryButton[] = L"重试";
inline constexpr wchar_t kQuitUnsavedButton[] = L"不保存退出";
inline constexpr wchar_t kCancelButton[] = L"取消";
// The folder under the user's local application data that keeps the list when data.txt's own
// folder cannot, and the name of the file that keeps it: {time} is the date and time.
inline constexpr wchar_t kCopyFolder[] = L"Corvantis";
inline constexpr wchar_t kCopyName[] = L"data-{time}.txt";
inline constexpr wchar_t kUnreadableAtStart[] =
    L"无法读取 data.txt，列表暂时为空。\n文件中的条目不会丢失：文件可以读取后，列表会显示它们。";
inline constexpr wchar_t kDeleteAllFailed[] =
    L"无法清空 {path}：{cause}。所有条目都还在。\n请解决后再试一次。";

// The entry editor.
inline constexpr wchar_t kEditorTitle[] = L"添加";
inline constexpr wchar_t kKeywordsCaption[] = L"触发关键字";
inline constexpr wchar_t kTargetCaption[] = L"路径/网址";
inline constexpr wchar_t kOkCaption[] = L"好";
inline constexpr wchar_t kEditorCloseTip[] = L"Exit";
inline constexpr wchar_t kEmptyKeyword[] = L"触发关键字不能为空";
inline constexpr wchar_t kEmptyTarget[] = L"路径或者网址不能为空";
inline constexpr wchar_t kKeywordLineBreak[] = L"触发关键字不能包含换行符";
inline constexpr wchar_t kKeywordColon[] = L"触发关键字不能包含冒号";
inline constexpr wchar_t kTargetLineBreak[] = L"路径或者网址不能包含换行符";

// The entry menu.
inline constexpr wchar_t kMenuAddOne[] = L"新增一个";
inline constexpr wchar_t kMenuEditIt[] = L"编辑它";
inline constexpr wchar_t kMenuDelete[] = L"删除它";
inline constexpr wchar_t kMenuDeleteAll[] = L"删除所有";
inline constexpr wchar_t kDeleteAllQuestion[] = L"Do you want to delete all ?";
inline constexpr wchar_t kDeleteAllTitle[] = L"Tips";

} // namespace corvantis::app::texts
