#pragma once
// What screen readers and automation tools read of a control that the system's accessible object
// describes but cannot name: an edit box by its label, a picture by what it does.

#include <windows.h>

#include <optional>
#include <string>

namespace corvantis::platform {

// The system's accessible object of a control, but named `name`. nullopt for another object than
// the client area, or when the object cannot be handed out.
std::optional<LRESULT> AnswerNamedObject(HWND control, WPARAM wParam, LPARAM lParam,
                                         const std::u16string& name);

} // namespace corvantis::platform
