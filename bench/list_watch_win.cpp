// Watches the launcher's entry list for bench/startup.py, from a Wine process of its own that
// stays up while the script works (a new Wine process would take a few hundred milliseconds to
// start, longer than what is measured):
//
//   list_watch <window> <control id>
//
// It reads one command a line from its standard input and answers each with one line:
//   count      "count N": the list box's item count now; "none" when the window is not there
//   wait N     waits until the list box counts N items, then until every window of the
//              launcher has painted what it had to (RedrawWindow with RDW_UPDATENOW sends them
//              WM_PAINT and returns once they are done); then "done"; "none" as above
//   text ID    "text T": the text of control ID of the window (WM_GETTEXT, UTF-8), once the
//              window's thread answers, however long it takes; "none" as above
// The list box answers LB_GETCOUNT only between two messages of its thread, so "wait" ends
// once the command that changed the list has run and its result is on the screen.

#include "e2e/tool_win.h"

#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

constexpr UINT kMessageTimeoutMs = 5000;
constexpr DWORD kPollMs = 1;
constexpr DWORD kWaitLimitMs = 120000;
constexpr int kTextMax = 256;

bool ReadLine(std::string& line) {
    line.clear();
    char c = 0;
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &read, nullptr) && read == 1) {
        if (c == '\n') {
            return true;
        }
        if (c != '\r') {
            line += c;
        }
    }
    return !line.empty();
}

class Watch {
public:
    Watch(const wchar_t* title, int id) : title_(title), id_(id) {}

    // The list box's count; -1 when the window or the list box is not there.
    long Count() {
        if (!IsWindow(list_)) {
            window_ = FindWindowW(nullptr, title_);
            list_ = window_ != nullptr ? corvantis::tool::FindControl(window_, id_) : nullptr;
            if (list_ == nullptr) {
                return -1;
            }
        }
        DWORD_PTR count = 0;
        if (!SendMessageTimeoutW(list_, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                 kMessageTimeoutMs, &count)) {
            return -1;
        }
        return static_cast<long>(count);
    }

    bool WaitFor(long count) {
        const DWORD start = GetTickCount();
        while (Count() != count) {
            if (GetTickCount() - start > kWaitLimitMs) {
                return false;
            }
            Sleep(kPollMs);
        }
        RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        return true;
    }

    // The text of control `id`; nullopt when the window or the control is not there.
    std::optional<std::wstring> Text(int id) const {
        const HWND window = FindWindowW(nullptr, title_);
        const HWND control = window != nullptr ? corvantis::tool::FindControl(window, id) : nullptr;
        wchar_t text[kTextMax] = {};
        DWORD_PTR copied = 0;
        if (control == nullptr ||
            !SendMessageTimeoutW(control, WM_GETTEXT, kTextMax, reinterpret_cast<LPARAM>(text),
                                 SMTO_BLOCK, kWaitLimitMs, &copied)) {
            return std::nullopt;
        }
        return std::wstring(text, copied);
    }

private:
    const wchar_t* title_;
    int id_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        corvantis::tool::Print("usage: list_watch <window> <control id>");
        return 64;
    }
    Watch watch(argv[1], static_cast<int>(std::wcstol(argv[2], nullptr, 10)));
    corvantis::tool::Print("ready");
    std::string command;
    while (ReadLine(command)) {
        if (command == "count") {
            const long count = watch.Count();
            corvantis::tool::Print(count < 0 ? "none" : "count " + std::to_string(count));
        } else if (command.rfind("wait ", 0) == 0) {
            corvantis::tool::Print(
                watch.WaitFor(std::strtol(command.c_str() + 5, nullptr, 10)) ? "done" : "none");
        } else if (command.rfind("text ", 0) == 0) {
            const auto text =
                watch.Text(static_cast<int>(std::strtol(command.c_str() + 5, nullptr, 10)));
            corvantis::tool::Print(text ? L"text " + *text : std::wstring(L"none"));
        } else {
            corvantis::tool::Print("unknown command");
        }
    }
    return 0;
}
