#pragma once
// The launcher window: borderless, topmost, off the taskbar; the title strip with the request box
// across its top and the entry list below. It shows the launcher's session and raises what the
// user does to it.

#include "app/edge_docking_win.h"
#include "app/editor_window_win.h"
#include "app/entry_menu_win.h"
#include "app/launcher_controls_win.h"
#include "app/summon_win.h"
#include "app/texts.h"
#include "core/launcher.h"
#include "platform/base_window_win.h"
#include "platform/handles_win.h"
#include "platform/shell_win.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace corvantis::app {

class LauncherWindow : public platform::BaseWindow<LauncherWindow> {
public:
    static constexpr wchar_t kClassName[] = L"CorvantisLauncher";

    explicit LauncherWindow(core::Launcher& launcher);

    // Creates the window and runs its load: centred, list filled, shown topmost, focus in the
    // request box. False when the window or one of its controls cannot be created.
    //
    // From its creation on, a later start from the folder of `summonKey` summons this window
    // (even while a warning of the load waits): it is revealed from its docked strip, shown
    // topmost and activated, with the focus in the request box and its text selected.
    bool Create(std::uint64_t summonKey);

    static HICON ClassIcon(HINSTANCE instance);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend BaseWindow;

    bool CreateControls();
    void Layout();
    void Load();
    // What nothing visible needs at start (drag and drop, tooltips): done once the window has
    // shown and painted itself, so that it appears sooner.
    void FinishStart();

    // Key preview: Enter anywhere in the window runs the request, Tab moves along the tab order.
    bool PreTranslateMessage(const MSG& message) override;

    // Matches the request box's text against the entry file; the launch thread opens every match.
    void RunRequest();
    // Writes a marked list back, then ends the program. When the write fails the program keeps
    // running with its list, so that nothing is lost: the user is told and can close again.
    void CloseAndSave();
    // The entry menu for the item `selected` (-1 for none), at `at` or else at the pointer.
    void PopUpMenu(int selected, std::optional<POINT> at);
    // Runs `wait` (the launcher's own menu or message boxes) with docking held, as the pointer is
    // on what it shows, and following the file held.
    template <class Wait> auto WhileWaiting(Wait&& wait) {
        struct Count {
            int& count;
            ~Count() { --count; }
        } waiting{++waiting_};
        return wait();
    }
    // Whether the launcher waits on a window of its own: its menu, a message box, or a message
    // or prompt of the shell about a launch.
    bool Waiting() const { return waiting_ > 0 || (launches_ && launches_->ShowsWindow()); }
    int Ask(const wchar_t* text, const wchar_t* title, UINT buttons) {
        return WhileWaiting([&] { return MessageBoxW(Hwnd(), text, title, buttons); });
    }
    void Warn(const wchar_t* text) { Ask(text, texts::kAppTitle, MB_OK | MB_ICONWARNING); }
    // Opens the editor; adding hides the launcher while it is open. Docking holds meanwhile.
    void OpenEditor(bool adding, const std::function<bool()>& open);
    // Opens the editor, adding, with the last drop's text as its target.
    void OpenDropped();
    void ReturnFromEditor();
    void Summon();

    platform::UniqueWindow hiddenOwner_; // goes after the launcher it owns
    core::Launcher& launcher_;
    LauncherControls controls_;
    platform::TwipsRect stripPlace_;
    // How many things of its own the launcher waits on (see WhileWaiting).
    int waiting_ = 0;
    // From the window's creation on; reset at the close, which drops what has not begun.
    std::optional<platform::ShellLauncher> launches_;
    // What was dropped on the list, until the editor opens on it.
    std::optional<std::u16string> dropped_;
    SummonListener summons_;
    EdgeDocking docking_;
    EntryMenu menu_;
    EditorWindow editor_;
};

} // namespace corvantis::app
