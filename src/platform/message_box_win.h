#pragma once
// A system message box whose buttons carry the program's own texts: a standard set of buttons,
// renamed as the box opens. The box stays the system's own, to keyboards, screen readers and
// tools alike.

#include <windows.h>

#include <span>

namespace corvantis::platform {

struct ButtonText {
    int id; // the standard button's command: IDABORT, IDRETRY, ...
    const wchar_t* text;
};

// MessageBoxW with `style` (which chooses the standard buttons), each of `buttons` renamed;
// returns the command of the button chosen, as MessageBoxW does.
int MessageBoxWithButtons(HWND owner, const wchar_t* text, const wchar_t* title, UINT style,
                          std::span<const ButtonText> buttons);

} // namespace corvantis::platform
