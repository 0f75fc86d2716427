// Corvantis: a keyword launcher. Creating the launcher window is the whole start of the program.

#include "app/launcher_window_win.h"
#include "app/summon_win.h"
#include "app/texts.h"
#include "core/launcher.h"
#include "platform/base_window_win.h"
#include "platform/handles_win.h"
#include "platform/instance_lock_win.h"
#include "platform/environment.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace corvantis;
    // Before anything else: every DLL loaded from now on, by the program (the delay-loaded ones)
    // or by a system DLL on its behalf (comctl32's theme DLL, the accessibility DLL), comes from
    // System32, never from the program's folder, where a DLL planted beside a download waits.
    if (!SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        platform::Trace(L"SetDefaultDllDirectories failed: DLLs are looked for beside the program");
    }
    // COM, apartment-threaded, before any window: a screen reader's first WM_GETOBJECT, a launch
    // or a drop may come as soon as one exists. It outlives the windows, whose drops go first.
    const platform::OleScope ole;
    // One copy runs per folder, that is per data.txt: a later start summons it and ends.
    std::u16string folder = platform::ProgramFolder();
    platform::InstanceLock lock(folder);
    switch (app::ClaimFolder(lock, app::LauncherWindow::kClassName)) {
    case app::StartRole::Run:
        break;
    case app::StartRole::Summoned:
        return 0;
    case app::StartRole::NoAnswer:
        // A copy run as administrator may not even be waited for: say so.
        MessageBoxW(nullptr,
                    lock.HeldElsewhere() ? app::texts::kRunningAsAdministrator
                                         : app::texts::kRunningNoAnswer,
                    app::texts::kAppTitle, MB_OK | MB_ICONWARNING);
        return 1;
    }

    core::EntryFile file = core::EntryFile::InFolder(folder, GetACP());
    core::Launcher launcher(std::move(folder), std::move(file));
    app::LauncherWindow window(launcher);
    if (!window.Create(lock.Key())) {
        // The half-made window's end posted WM_QUIT, which would close the box unseen.
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        MessageBoxW(nullptr, app::texts::kStartFailed, app::texts::kAppTitle, MB_OK | MB_ICONERROR);
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (platform::PreTranslate(message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
