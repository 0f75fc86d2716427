#include "platform/shell_win.h"

#include "platform/handles_win.h"

#include <shellapi.h>

#include <string>

namespace corvantis::platform {
namespace {

// ShellExecute's result is an error code up to this value, success above it.
constexpr INT_PTR kShellExecuteFailedAtMost = 32;

} // namespace

void ShellOpen(HWND owner, std::u16string_view target, std::u16string_view directory) {
    const std::wstring file(reinterpret_cast<const wchar_t*>(target.data()), target.size());
    const std::wstring folder(reinterpret_cast<const wchar_t*>(directory.data()), directory.size());
    // The shell tells the user of a failure itself; the trace is for whoever looks into it.
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, L"open", file.c_str(), L"", folder.c_str(), SW_SHOWNORMAL));
    if (result <= kShellExecuteFailedAtMost) {
        Trace(L"ShellExecuteW could not open a target");
    }
}

} // namespace corvantis::platform
