// Reads a running window's state from outside, for the end-to-end tests: it runs under the
// same Wine prefix as the launcher and prints one JSON object (UTF-8) per call.
//
//   probe rect  [window] [id]   screen rectangle of the window, or of its control with that id
//   probe state [window] [id]   visible, enabled and topmost flags of the window or the control
//   probe text  window id       the control's text, read with WM_GETTEXT
//   probe items window id       the launcher's entry list: its items as it shows them, asked for
//                               with the list's items request (src/app/entry_list_box_win.h),
//                               and checked against the list box's own count
//   probe focus [window]        id of the control that has the keyboard focus in the window's
//   thread
//   probe close [window]        posts WM_CLOSE to every top-level window with that text at once,
//                               as `taskkill` without /f does, and prints how many there were
//
// The window is found by its text (default "Form1"), the control by its id anywhere below it.
// Exit status: 0 done, 2 window not found, 3 control not found, 4 a message to it failed,
// 64 bad usage.

#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kExitWindowNotFound = 2;
constexpr int kExitControlNotFound = 3;
constexpr int kExitMessageFailed = 4;
constexpr int kExitUsage = 64;

// A hung target must not hang the test that asked.
constexpr UINT kMessageTimeoutMs = 5000;

std::string ToUtf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                        nullptr, nullptr);
    return result;
}

std::string JsonString(std::wstring_view text) {
    std::string out = "\"";
    for (const char c : ToUtf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            static const char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

// Builds one flat JSON object; values are already-encoded JSON.
class JsonObject {
public:
    JsonObject& Add(std::string_view key, const std::string& value) {
        text_ += text_.empty() ? "{" : ",";
        text_ += '"';
        text_ += key;
        text_ += "\":";
        text_ += value;
        return *this;
    }
    JsonObject& Add(std::string_view key, long long value) {
        return Add(key, std::to_string(value));
    }
    JsonObject& Add(std::string_view key, bool value) {
        return Add(key, std::string(value ? "true" : "false"));
    }
    JsonObject& Add(std::string_view key, std::wstring_view value) {
        return Add(key, JsonString(value));
    }
    std::string Text() const { return text_.empty() ? "{}" : text_ + "}"; }

private:
    std::string text_;
};

// Binary write: no CRT text-mode translation between the UTF-8 bytes and the pipe.
void Print(const std::string& line) {
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

int Fail(int status, std::wstring_view error, std::wstring_view window,
         std::optional<int> id = std::nullopt) {
    JsonObject json;
    json.Add("error", error);
    json.Add("window", window);
    if (id) {
        json.Add("id", static_cast<long long>(*id));
    }
    Print(json.Text());
    return status;
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchControlId(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ControlSearch*>(param);
    if (GetDlgCtrlID(child) == search->id) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

// EnumChildWindows walks every descendant, so controls inside containers are found too.
HWND FindControl(HWND window, int id) {
    ControlSearch search{id, nullptr};
    EnumChildWindows(window, MatchControlId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::optional<LRESULT> Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                             kMessageTimeoutMs, &result)) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(result);
}

// WM_GETTEXT, unlike GetWindowTextW, reads an edit control of another process.
std::optional<std::wstring> ControlText(HWND control) {
    const auto length = Send(control, WM_GETTEXTLENGTH, 0, 0);
    if (!length || *length < 0) {
        return std::nullopt;
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(*length) + 1, L'\0');
    const auto copied =
        Send(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    if (!copied || *copied < 0) {
        return std::nullopt;
    }
    return std::wstring(buffer.data(), static_cast<size_t>(*copied));
}

// The entry list draws its items from the launcher's entries and holds no text, so LB_GETTEXT
// cannot read it. It answers its items request instead with one WM_COPYDATA to a window given
// in wParam; these must match src/app/entry_list_box_win.h.
constexpr wchar_t kItemsRequest[] = L"Corvantis.EntryList.Items";
constexpr ULONG_PTR kItemsCopyData = 0x434C4954;

std::optional<std::vector<std::wstring>> g_received;

// Each item: its length in UTF-16 code units (32 bits, low half first), then those units.
std::optional<std::vector<std::wstring>> ParseItems(const wchar_t* units, size_t count) {
    std::vector<std::wstring> items;
    size_t at = 0;
    while (at < count) {
        if (count - at < 2) {
            return std::nullopt;
        }
        const size_t length = units[at] | (static_cast<size_t>(units[at + 1]) << 16);
        at += 2;
        if (count - at < length) {
            return std::nullopt;
        }
        items.emplace_back(units + at, length);
        at += length;
    }
    return items;
}

LRESULT CALLBACK ReceiveItems(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (copy->dwData == kItemsCopyData && copy->cbData % sizeof(wchar_t) == 0) {
            g_received = ParseItems(static_cast<const wchar_t*>(copy->lpData),
                                    copy->cbData / sizeof(wchar_t));
            return TRUE;
        }
        return FALSE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::optional<std::vector<std::wstring>> ListItems(HWND list) {
    WNDCLASSW receiver{};
    receiver.lpfnWndProc = ReceiveItems;
    receiver.hInstance = GetModuleHandleW(nullptr);
    receiver.lpszClassName = L"ProbeItemsReceiver";
    RegisterClassW(&receiver);
    const HWND window = CreateWindowExW(0, receiver.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, receiver.hInstance, nullptr);
    if (window == nullptr) {
        return std::nullopt;
    }
    // Not SMTO_BLOCK: the items arrive as a message to this thread while it waits.
    DWORD_PTR delivered = 0;
    const bool answered = SendMessageTimeoutW(list, RegisterWindowMessageW(kItemsRequest),
                                              reinterpret_cast<WPARAM>(window), 0, SMTO_ABORTIFHUNG,
                                              kMessageTimeoutMs, &delivered) != 0;
    DestroyWindow(window);
    const auto count = Send(list, LB_GETCOUNT, 0, 0);
    if (!answered || delivered != TRUE || !g_received || !count ||
        static_cast<size_t>(*count) != g_received->size()) {
        return std::nullopt;
    }
    return g_received;
}

std::optional<int> ParseId(const wchar_t* text) {
    wchar_t* end = nullptr;
    const long value = std::wcstol(text, &end, 10);
    if (end == text || *end != L'\0' || value < 0 || value > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

// Every top-level window with the text, in z-order.
std::vector<HWND> WindowsTitled(const std::wstring& title) {
    struct Search {
        const std::wstring* title;
        std::vector<HWND> found;
    } search{&title, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(data);
            wchar_t text[256] = {};
            GetWindowTextW(window, text, 256);
            if (*search.title == text) {
                search.found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int Usage() {
    const std::string text = "usage: probe rect|state [window] [id]\n"
                             "       probe text|items window id\n"
                             "       probe focus [window]\n"
                             "       probe close [window]\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
    return kExitUsage;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || argc > 4) {
        return Usage();
    }
    const std::wstring command = argv[1];
    const std::wstring title = argc >= 3 ? argv[2] : L"Form1";
    std::optional<int> id;
    if (argc == 4) {
        id = ParseId(argv[3]);
        if (!id) {
            return Usage();
        }
    }
    const bool needsId = command == L"text" || command == L"items";
    const bool takesId = needsId || command == L"rect" || command == L"state";
    if ((needsId && !id) || (!takesId && command != L"focus" && command != L"close") ||
        (!takesId && id)) {
        return Usage();
    }
    if (command == L"close") {
        const std::vector<HWND> windows = WindowsTitled(title);
        if (windows.empty()) {
            return Fail(kExitWindowNotFound, L"window not found", title);
        }
        for (const HWND window : windows) {
            if (!PostMessageW(window, WM_CLOSE, 0, 0)) {
                return Fail(kExitMessageFailed, L"PostMessageW failed", title);
            }
        }
        JsonObject json;
        json.Add("window", std::wstring_view(title));
        json.Add("closed", static_cast<long long>(windows.size()));
        Print(json.Text());
        return 0;
    }

    HWND window = FindWindowW(nullptr, title.c_str());
    if (!window) {
        return Fail(kExitWindowNotFound, L"window not found", title);
    }
    HWND target = window;
    if (id) {
        target = FindControl(window, *id);
        if (!target) {
            return Fail(kExitControlNotFound, L"control not found", title, id);
        }
    }

    JsonObject json;
    json.Add("window", std::wstring_view(title));
    if (id) {
        json.Add("id", static_cast<long long>(*id));
        json.Add("class", std::wstring_view(ClassOf(target)));
    }

    if (command == L"rect") {
        RECT rect{};
        GetWindowRect(target, &rect);
        json.Add("left", static_cast<long long>(rect.left))
            .Add("top", static_cast<long long>(rect.top))
            .Add("right", static_cast<long long>(rect.right))
            .Add("bottom", static_cast<long long>(rect.bottom))
            .Add("width", static_cast<long long>(rect.right - rect.left))
            .Add("height", static_cast<long long>(rect.bottom - rect.top));
    } else if (command == L"state") {
        const LONG_PTR exStyle = GetWindowLongPtrW(target, GWL_EXSTYLE);
        json.Add("visible", IsWindowVisible(target) != FALSE)
            .Add("enabled", IsWindowEnabled(target) != FALSE)
            .Add("topmost", (exStyle & WS_EX_TOPMOST) != 0);
    } else if (command == L"text") {
        const auto text = ControlText(target);
        if (!text) {
            return Fail(kExitMessageFailed, L"WM_GETTEXT failed", title, id);
        }
        json.Add("text", std::wstring_view(*text));
    } else if (command == L"items") {
        const auto items = ListItems(target);
        if (!items) {
            return Fail(kExitMessageFailed,
                        L"the list gave no items, or not as many as the list box counts", title,
                        id);
        }
        std::string array = "[";
        for (size_t i = 0; i < items->size(); ++i) {
            array += (i == 0 ? "" : ",") + JsonString((*items)[i]);
        }
        array += "]";
        json.Add("count", static_cast<long long>(items->size())).Add("items", array);
    } else { // focus
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        const DWORD thread = GetWindowThreadProcessId(window, nullptr);
        if (!GetGUIThreadInfo(thread, &info)) {
            return Fail(kExitMessageFailed, L"GetGUIThreadInfo failed", title);
        }
        HWND focus = info.hwndFocus;
        // The window itself carries no control id: 0 stands for it.
        json.Add("focus", focus ? std::to_string(focus == window ? 0 : GetDlgCtrlID(focus))
                                : std::string("null"));
        json.Add("focusClass", std::wstring_view(focus ? ClassOf(focus) : std::wstring()));
        json.Add("inWindow", focus != nullptr && (focus == window || IsChild(window, focus)));
        json.Add("active", info.hwndActive == window);
        json.Add("foreground", GetForegroundWindow() == window);
    }
    Print(json.Text());
    return 0;
}
