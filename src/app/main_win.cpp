// Corvantis: a keyword launcher. Creating the launcher window is the whole start of the program.

#include "app/launcher_window_win.h"
#include "app/summon_win.h"
#include "app/texts.h"
#include "core/launcher.h"
#include "platform/base_window_win.h"
#include "platform/instance_lock_win.h"
#include "platform/window_win.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace corvantis;
    // One copy runs per folder, that is per data.txt: a later start summons it and ends.
    std::u16string folder = platform::ProgramFolder();
    platform::InstanceLock lock(folder);
    switch (app::ClaimFolder(lock)) {
    case app::StartRole::Run:
        break;
    case app::StartRole::Summoned:
        return 0;
    case app::StartRole::NoAnswer:
        MessageBoxW(nullptr, app::texts::kRunningNoAnswer, app::texts::kAppTitle,
                    MB_OK | MB_ICONWARNING);
        return 1;
    }

    core::EntryFile file = core::EntryFile::InFolder(folder, GetACP());
    core::Launcher launcher(std::move(folder), std::move(file));
    app::LauncherWindow window(launcher);
    if (!window.Create()) {
        MessageBoxW(nullptr, app::texts::kStartFailed, app::texts::kAppTitle, MB_OK | MB_ICONERROR);
        return 1;
    }
    window.AnswerSummons(lock.Key());
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
