#pragma once
// What the small Win32 programs of the end-to-end tests and the benchmarks share: lines printed
// to their standard output, controls found by id, and a plain window of their own.

#include <windows.h>

#include <string>
#include <string_view>

namespace corvantis::tool {

inline std::string ToUtf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                        nullptr, nullptr);
    return utf8;
}

// One line on standard output, written as bytes: no text-mode translation on the way to the
// pipe the test reads.
inline void Print(std::string_view line) {
    const std::string text = std::string(line) + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

inline void Print(std::wstring_view line) {
    Print(std::string_view(ToUtf8(line)));
}

// The control with `id` anywhere below `window` (EnumChildWindows walks every descendant, so
// controls inside containers are found too); nullptr when there is none.
inline HWND FindControl(HWND window, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM param) -> BOOL {
            auto* search = reinterpret_cast<Search*>(param);
            if (GetDlgCtrlID(child) != search->id) {
                return TRUE;
            }
            search->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A small bordered topmost window off the taskbar, titled `title`, at `position` (screen pixels)
// with its own class; nullptr when it cannot be made.
inline HWND CreateToolWindow(const wchar_t* className, const wchar_t* title, WNDPROC procedure,
                             POINT position, SIZE size, DWORD exStyle = 0, void* param = nullptr) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    return CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | exStyle, className, title,
                           WS_POPUP | WS_BORDER | WS_VISIBLE, position.x, position.y, size.cx,
                           size.cy, nullptr, nullptr, windowClass.hInstance, param);
}

inline void RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace corvantis::tool
