// Corvantis: a keyword launcher. Creating the launcher window is the whole start of the program.

#include "app/launcher_window_win.h"
#include "app/texts.h"
#include "core/entry_file.h"
#include "core/launcher_state.h"
#include "platform/window_win.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace corvantis;
    core::LauncherState state;
    app::LauncherWindow launcher(state,
                                 core::EntryFile::InFolder(platform::ProgramFolder(), GetACP()));
    if (!launcher.Create()) {
        MessageBoxW(nullptr, app::texts::kStartFailed, app::texts::kAppTitle, MB_OK | MB_ICONERROR);
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (launcher.PreTranslateMessage(message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
