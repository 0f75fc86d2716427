#pragma once
// The launcher window: borderless, topmost, off the taskbar; the title strip with the request box
// across its top and the entry list below.

#include "app/editor_window_win.h"
#include "app/entry_menu_win.h"
#include "app/launcher_controls_win.h"
#include "core/entry_file.h"
#include "core/entry_list.h"
#include "core/launcher_state.h"
#include "platform/base_window_win.h"
#include "platform/handles_win.h"

#include <optional>

namespace corvantis::app {

class LauncherWindow : public platform::BaseWindow<LauncherWindow>, EditorHost {
public:
    static constexpr wchar_t kClassName[] = L"CorvantisLauncher";

    LauncherWindow(core::LauncherState& state, core::EntryFile entryFile);

    // Creates the window and runs its load: centred, list filled, shown topmost, focus in the
    // request box. False when the window or one of its controls cannot be created.
    bool Create();

    // Sees every key of the window's controls before they do (key preview), and moves the focus
    // along the window's tab order. True when the message was used up.
    bool PreTranslateMessage(const MSG& message);

    static HICON ClassIcon(HINSTANCE instance);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend BaseWindow;

    // How the editor reaches the launcher.
    core::EntryList& Entries() override { return entries_; }
    void HideForAdding() override;
    void SuspendDocking() override;
    void ReturnFromEditor() override;

    void Load();
    // What nothing visible needs at start (drag and drop, tooltips): done once the window has
    // shown and painted itself, so that it appears sooner.
    void FinishStart();
    void Layout() { controls_.Layout(Hwnd(), stripPlace_, Dpi()); }

    // Resolves the request box's text against the entry file and opens every match.
    void RunRequest();
    // The entry file's lines added to the list again ("载入").
    void ReloadList();
    // Rewrites the entry file from the list; false, the file left as it was, when it cannot.
    bool SaveList();
    // Writes a changed list back, then ends the program. When the write fails the program keeps
    // running with its list, so that nothing is lost: the user is told and can close again.
    void CloseAndSave();
    void OnListClick();
    void RunMenuCommand(MenuCommand command);

    void OnCommand(int id, int code);
    void OnActivate(WPARAM wParam);
    void OnSetFocus();

    std::optional<platform::OleScope> ole_; // the last member to go: drops are revoked first
    core::LauncherState& state_;
    const core::EntryFile entryFile_;
    LauncherControls controls_;
    core::EntryList entries_{controls_.entryList};
    platform::TwipsRect stripPlace_;
    HWND lastFocus_ = nullptr;
    EntryMenu menu_;
    EditorWindow editor_;
};

} // namespace corvantis::app
