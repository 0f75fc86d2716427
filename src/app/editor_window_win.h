#pragma once
// The entry editor: a small borderless, topmost, modeless dialog with a keyword box and a target
// box. It is created at each opening (boxes empty) and destroyed when it saves or closes; it
// raises the save of its line and its closing.

#include "app/editor_controls_win.h"
#include "core/entry_line.h"
#include "core/entry_list.h"
#include "platform/base_window_win.h"

#include <functional>
#include <optional>
#include <string_view>

namespace corvantis::app {

class EditorWindow : public platform::BaseWindow<EditorWindow> {
public:
    static constexpr wchar_t kClassName[] = L"CorvantisEditor";

    using AddEvent = std::function<void(std::u16string_view line)>;
    using EditEvent = std::function<void(core::EntryList::Id, std::u16string_view line)>;

    // A save in add mode: the line of a new entry.
    void OnAdd(AddEvent onAdd) { onAdd_ = std::move(onAdd); }
    // A save in edit mode: the line of the entry the editor was opened on.
    void OnEdit(EditEvent onEdit) { onEdit_ = std::move(onEdit); }
    // The editor has saved or closed.
    void OnClosed(std::function<void()> onClosed) { onClosed_ = std::move(onClosed); }

    // The launcher, which owns the editor: on a Linux desktop the window manager gives the
    // keyboard to the window of a program that the program's own active window owns.
    void SetOwner(HWND owner) { owner_ = owner; }

    // "新增一个": add mode; an open editor keeps what its boxes hold. Each opening is false when
    // the editor is not open and cannot be created.
    bool OpenAdd();
    // "编辑它": edit mode on entry `id`, the boxes filled with its parts.
    bool OpenEdit(core::EntryList::Id id, const core::EntryParts& parts);
    // A drop on the launcher's list: add mode with the dropped text as the target.
    bool OpenWithTarget(std::u16string_view target);

    bool IsOpen() const { return Hwnd() != nullptr; }
    // Shows the open editor in front, the focus in one of its boxes.
    void Show();
    // The open editor, or a message box it waits on, comes to the front; false when it is not
    // open.
    bool ComeForward();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend BaseWindow;

    // False when the window is not there and could not be created.
    bool EnsureOpen();
    bool CreateControls();
    void Layout();
    void Save();
    void Close();

    // Tab moves between the two boxes and 好, which Space or Enter presses.
    bool PreTranslateMessage(const MSG& message) override;

    HWND owner_ = nullptr;
    AddEvent onAdd_;
    EditEvent onEdit_;
    std::function<void()> onClosed_;
    // The entry being edited; none in add mode.
    std::optional<core::EntryList::Id> editing_;
    // Made anew for each window: a control's object outlives its window until the next opening,
    // as it may be destroyed from within its own click.
    std::optional<EditorControls> controls_;
};

} // namespace corvantis::app
