#pragma once
// The entry editor: a small borderless, topmost, modeless dialog with a keyword box and a target
// box. It is created at each opening (boxes empty) and destroyed when it saves or closes.

#include "core/entry_list.h"
#include "core/launcher_state.h"
#include "platform/base_window_win.h"
#include "platform/drop_target_win.h"
#include "platform/handles_win.h"
#include "platform/panel_win.h"
#include "platform/window_win.h"

#include <string_view>

namespace corvantis::app {

// The launcher as the editor sees it.
class EditorHost {
public:
    virtual core::EntryList& Entries() = 0;
    // Add mode: the launcher is hidden while the editor is open.
    virtual void HideForAdding() = 0;
    // The launcher's docking timer stops while the editor is open.
    virtual void SuspendDocking() = 0;
    // After a save or a close: the launcher is shown, its input box has the focus, docking runs.
    virtual void ReturnFromEditor() = 0;

protected:
    ~EditorHost() = default;
};

class EditorWindow : public platform::BaseWindow<EditorWindow> {
public:
    static constexpr wchar_t kClassName[] = L"CorvantisEditor";

    EditorWindow(EditorHost& host, core::LauncherState& state);

    // "新增一个": add mode; an open editor keeps what its boxes hold.
    void OpenAdd();
    // "编辑它": edit mode on the selected item, boxes filled from it. Nothing happens when the
    // selection names no item.
    void OpenEdit();
    // A drop on the launcher's list: add mode with the dropped text as the target.
    void OpenWithTarget(std::u16string_view target);

    // Shows the open editor in front, the focus in one of its boxes.
    void Show();

    // Tab moves between the two boxes; a press on the target box's selection may drag it out.
    bool PreTranslateMessage(const MSG& message);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend BaseWindow;

    // False when the window is not there and could not be created.
    bool EnsureOpen();
    bool Create();
    bool CreateControls();
    void Layout();
    void Save();
    void Close();

    // A press on the target box's selection that moves past the system's drag distance drags
    // the selected text out; one released sooner is the click it was. False when the press is
    // not on the selection and belongs to the box.
    bool DragSelectionOut(const MSG& press);

    void OnCommand(int id, int code);
    LRESULT OnCtlColor(HDC dc, HWND control);
    void OnMouseMove(WPARAM keys);
    void OnDestroy();

    EditorHost& host_;
    core::LauncherState& state_;

    platform::Panel panel_;
    HWND keywordsBox_ = nullptr;
    HWND targetBox_ = nullptr;
    HWND keywordsCaption_ = nullptr;
    HWND targetCaption_ = nullptr;
    HWND okLabel_ = nullptr;
    HWND closeGlyph_ = nullptr;
    HWND titleLabel_ = nullptr;
    platform::DropRegistration targetDrops_;
    bool draggingOut_ = false; // a drag of the target box's own text is under way

    platform::ControlFonts fonts_;
    platform::UniqueBrush panelBrush_;
    platform::UniqueBrush okBrush_;
    platform::UniqueBitmap closeBitmap_;
};

} // namespace corvantis::app
