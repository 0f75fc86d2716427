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

#include <cstdint>
#include <optional>

namespace corvantis::app {

class LauncherWindow : public platform::BaseWindow<LauncherWindow>, EditorHost {
public:
    static constexpr wchar_t kClassName[] = L"CorvantisLauncher";

    LauncherWindow(core::LauncherState& state, core::EntryFile entryFile);

    // Creates the window and runs its load: centred, list filled, shown topmost, focus in the
    // request box. False when the window or one of its controls cannot be created.
    bool Create();

    // From now on a later start from the folder of `key` summons this window: it is revealed
    // from its docked strip, shown topmost and activated, with the focus in the request box and
    // its text selected.
    void AnswerSummons(std::uint64_t key);

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
    // Writes the list's changes to the entry file, merged with what it holds now; false, the file
    // left as it was, when it cannot.
    bool SaveList();
    // Writes a changed list back, then ends the program. When the write fails the program keeps
    // running with its list, so that nothing is lost: the user is told and can close again.
    void CloseAndSave();
    void OnListClick();
    // Shift+F10 or the context-menu key in the list: the menu for the selected item, below it.
    void OnListMenuKey();
    void OnTick();
    void RunMenuCommand(MenuCommand command);

    LRESULT OnSummon(WPARAM wParam, LPARAM lParam);
    void Summon();

    void OnCommand(int id, int code);
    void OnActivate(WPARAM wParam);
    void OnSetFocus();

    std::optional<platform::OleScope> ole_; // the last member to go: drops are revoked first
    core::LauncherState& state_;
    core::EntryFile entryFile_;
    LauncherControls controls_;
    core::EntryList entries_{controls_.entryList};
    platform::TwipsRect stripPlace_;
    HWND lastFocus_ = nullptr;
    bool menuOpen_ = false;
    std::optional<std::uint64_t> summonKey_;
    UINT summonMessage_ = 0;
    // Docking holds off while a summoned launcher stays active, so that it can be typed into.
    bool dockingHeld_ = false;
    EntryMenu menu_;
    EditorWindow editor_;
};

} // namespace corvantis::app
