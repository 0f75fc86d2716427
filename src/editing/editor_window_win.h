#pragma once
// The entry editor `Form2`: a small borderless, topmost, modeless dialog with a keyword box and a
// target box. It is loaded at each opening (boxes empty) and unloaded when it saves or closes.

#include "editing/entry_commands.h"
#include "platform/base_window_win.h"
#include "platform/drop_win.h"
#include "platform/handles_win.h"
#include "platform/panel_win.h"
#include "store/pubstr.h"

#include <string_view>

namespace corvantis::editing {

// The launcher as the editor sees it.
class EditorHost {
public:
    virtual EntryList& Entries() = 0;
    // Add mode: the launcher is hidden while the editor is open.
    virtual void HideForAdding() = 0;
    // The launcher's docking timer stops while the editor is loaded.
    virtual void SuspendDocking() = 0;
    // After a save or a close: the launcher is shown, its input box has the focus, docking runs.
    virtual void ReturnFromEditor() = 0;

protected:
    ~EditorHost() = default;
};

class EditorWindow : public platform::BaseWindow<EditorWindow> {
public:
    static constexpr wchar_t kClassName[] = L"CorvantisEditor";

    EditorWindow(EditorHost& host, store::Pubstr& pubstr);

    // "新增一个": add mode; an open editor keeps what its boxes hold.
    void OpenAdd();
    // "编辑它": edit mode on the item at SelIndex, boxes filled from it. Nothing happens when
    // SelIndex names no item.
    void OpenEdit();
    // A drop on the launcher's list: add mode with the dropped text as the target.
    void OpenWithTarget(std::u16string_view target);

    // Tab moves between the two boxes.
    bool PreTranslateMessage(const MSG& message);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void EnsureLoaded();
    void Load();
    void CreateControls();
    void Layout();
    void ShowModeless();
    void Save();
    void Close();
    void Unload();

    void OnCommand(int id, int code);
    LRESULT OnCtlColor(HDC dc, HWND control);
    void OnPaint();
    void OnMouseMove(WPARAM keys);
    void OnDpiChanged(unsigned dpi, const RECT& suggested);
    void OnDestroy();

    EditorHost& host_;
    store::Pubstr& pubstr_;
    unsigned dpi_ = USER_DEFAULT_SCREEN_DPI;

    platform::Panel picture1_;
    HWND text1_ = nullptr;
    HWND text2_ = nullptr;
    HWND label1_ = nullptr;
    HWND label2_ = nullptr;
    HWND label3_ = nullptr;
    HWND image3_ = nullptr;
    HWND title_ = nullptr;
    HWND tooltip_ = nullptr;
    platform::DropRegistration text2Drop_;

    platform::UniqueFont boxFont_;
    platform::UniqueFont labelFont_;
    platform::UniqueFont titleFont_;
    platform::UniqueBrush picture1Brush_;
    platform::UniqueBrush label3Brush_;
    platform::UniqueBitmap exitGlyph_;
};

} // namespace corvantis::editing
