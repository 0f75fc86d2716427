// A drag source for the end-to-end tests: a small topmost window, titled "DragSource", that
// starts an OLE drag of the data its command line names when the left button goes down on it.
// When the drag ends it prints the effect the target chose (none, copy, move or link) and exits.
//
//   dragsource text <text> [x y]                   CF_UNICODETEXT and CF_TEXT
//   dragsource lines <line> [<line>...] --at x y    the same, the lines joined by CR LF
//   dragsource files <path> [<path>...] [--at x y]  CF_HDROP, wide paths
//   dragsource none [x y]                           only a private clipboard format
//
// x y: the window's top-left corner on the screen, in pixels (default 0 0). The drag allows
// copy, move and link, as the shell's does. Exit status: 0 after a drag, 64 bad usage.

#include "platform/drag_source_win.h"
#include "platform/handles_win.h"
#include "tool_win.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using corvantis::platform::ClipData;

constexpr int kExitUsage = 64;
constexpr int kWidth = 120;
constexpr int kHeight = 80;

struct Drag {
    std::wstring label;
    std::vector<ClipData> formats;
};

std::string Utf16Bytes(std::wstring_view text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

// DROPFILES followed by each path and its NUL, and one more NUL to end the list.
ClipData FileList(const std::vector<std::wstring>& paths) {
    DROPFILES header{};
    header.pFiles = sizeof header;
    header.fWide = TRUE;
    std::string block(reinterpret_cast<const char*>(&header), sizeof header);
    for (const std::wstring& path : paths) {
        block += Utf16Bytes(path);
        block.append(sizeof(wchar_t), '\0');
    }
    block.append(sizeof(wchar_t), '\0');
    return {CF_HDROP, std::move(block)};
}

const wchar_t* EffectName(DWORD effect) {
    if ((effect & DROPEFFECT_COPY) != 0) {
        return L"copy";
    }
    if ((effect & DROPEFFECT_MOVE) != 0) {
        return L"move";
    }
    if ((effect & DROPEFFECT_LINK) != 0) {
        return L"link";
    }
    return L"none";
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        break;
    }
    case WM_LBUTTONDOWN: {
        auto* drag = reinterpret_cast<Drag*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        const DWORD effect = corvantis::platform::DragOut(
            std::move(drag->formats), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
        corvantis::tool::Print(EffectName(effect));
        DestroyWindow(window);
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        const auto* drag = reinterpret_cast<const Drag*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        RECT client;
        GetClientRect(window, &client);
        DrawTextW(dc, drag->label.c_str(), -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Takes "--at x y" out of the arguments, or else a trailing "x y" when `trailing` allows it.
bool TakePosition(std::vector<std::wstring>& args, bool trailing, POINT& position) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == L"--at") {
            if (i + 3 != args.size()) {
                return false;
            }
            position = {_wtoi(args[i + 1].c_str()), _wtoi(args[i + 2].c_str())};
            args.resize(i);
            return true;
        }
    }
    if (trailing && args.size() >= 2) {
        position = {_wtoi(args[args.size() - 2].c_str()), _wtoi(args.back().c_str())};
        args.resize(args.size() - 2);
    }
    return true;
}

// The drag the command line asks for; false on bad usage.
bool ParseCommandLine(Drag& drag, POINT& position) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr) {
        return false;
    }
    std::vector<std::wstring> args(argv + 1, argv + argc);
    LocalFree(argv);
    if (args.empty()) {
        return false;
    }
    const std::wstring mode = args.front();
    args.erase(args.begin());
    drag.label = mode;
    if (mode == L"text") {
        if (!TakePosition(args, args.size() == 3, position) || args.size() != 1) {
            return false;
        }
        const std::u16string text = corvantis::platform::FromWide(args.front());
        drag.formats = corvantis::platform::TextClipData(text);
        return true;
    }
    if (mode == L"lines") {
        if (!TakePosition(args, false, position) || args.empty()) {
            return false;
        }
        std::wstring text;
        for (const std::wstring& line : args) {
            text += (text.empty() ? L"" : L"\r\n") + line;
        }
        drag.formats = corvantis::platform::TextClipData(corvantis::platform::FromWide(text));
        return true;
    }
    if (mode == L"files") {
        if (!TakePosition(args, false, position) || args.empty()) {
            return false;
        }
        drag.formats.push_back(FileList(args));
        return true;
    }
    if (mode == L"none") {
        if (!TakePosition(args, true, position) || !args.empty()) {
            return false;
        }
        const auto privateFormat =
            static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Corvantis.E2E.Private"));
        drag.formats.push_back({privateFormat, "private"});
        return true;
    }
    return false;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    Drag drag;
    POINT position{};
    if (!ParseCommandLine(drag, position)) {
        corvantis::tool::Print(
            L"usage: dragsource text <text> [x y] | files <path>... [--at x y] | none [x y]");
        return kExitUsage;
    }
    const corvantis::platform::OleScope ole;

    if (corvantis::tool::CreateToolWindow(L"CorvantisDragSource", L"DragSource", WindowProc,
                                          position, {kWidth, kHeight}, 0, &drag) == nullptr) {
        return EXIT_FAILURE;
    }
    corvantis::tool::RunMessageLoop();
    return EXIT_SUCCESS;
}
