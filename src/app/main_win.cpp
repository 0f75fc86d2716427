// Corvantis: a keyword launcher. Creating the launcher window is the whole start of the program.

#include "app/launcher_window_win.h"
#include "platform/handles_win.h"
#include "store/pubstr.h"

#include <windows.h>
#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const corvantis::platform::OleScope ole; // drag and drop
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    corvantis::store::Pubstr pubstr;
    corvantis::app::LauncherWindow launcher(pubstr);
    if (!launcher.Create()) {
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
