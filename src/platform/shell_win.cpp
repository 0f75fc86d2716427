#include "platform/shell_win.h"

#include "platform/handles_win.h"

#include <shellapi.h>

#include <string>

namespace corvantis::platform {

void ShellOpen(HWND owner, std::u16string_view file, std::u16string_view parameters,
               std::u16string_view directory) {
    const std::wstring wideFile = ToWide(file);
    const std::wstring wideParameters = ToWide(parameters);
    const std::wstring folder = ToWide(directory);
    SHELLEXECUTEINFOW open{};
    open.cbSize = sizeof open;
    // What ShellExecute asks for: no message box that would hold back the next target.
    open.fMask = SEE_MASK_FLAG_NO_UI;
    open.hwnd = owner;
    open.lpVerb = L"open";
    open.lpFile = wideFile.c_str();
    open.lpParameters = wideParameters.c_str();
    open.lpDirectory = folder.c_str();
    open.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&open)) {
        Trace(L"ShellExecuteExW could not open a target");
    }
}

} // namespace corvantis::platform
