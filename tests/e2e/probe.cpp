// Reads a running window's state from outside, for the end-to-end tests: it runs under the
// same Wine prefix as the launcher and prints one JSON object (UTF-8) per call.
//
//   probe rect  [window] [id]   screen rectangle of the window, or of its control with that id
//   probe state [window] [id]   visible, enabled and topmost flags of the window or the control
//   probe text  window id       the control's text, read with WM_GETTEXT
//   probe items window id       a list as a screen reader reads it (its accessible object): its
//                               name and role, each item's name, and which items are selected,
//                               focused and offscreen, its first and last child, where it is
//                               against its client area, and whether its border is outside it
//   probe name  window id       a control's accessible name and role
//   probe focus [window]        id of the control that has the keyboard focus in the window's
//   thread
//   probe close [window]        posts WM_CLOSE to every top-level window with that text at once,
//                               as `taskkill` without /f does, and prints how many there were
//
// The window is found by its text (default "Form1"), the control by its id anywhere below it.
// Exit status: 0 done, 2 window not found, 3 control not found, 4 a message to it failed,
// 64 bad usage.

#include "tool_win.h"

#include <windows.h>
#include <oleacc.h>

#include <cstdlib>
#include <cwchar>
#include <memory>
#include <utility>
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

std::string JsonString(std::wstring_view text) {
    std::string out = "\"";
    for (const char c : corvantis::tool::ToUtf8(text)) {
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

int Fail(int status, std::wstring_view error, std::wstring_view window,
         std::optional<int> id = std::nullopt) {
    JsonObject json;
    json.Add("error", error);
    json.Add("window", window);
    if (id) {
        json.Add("id", static_cast<long long>(*id));
    }
    corvantis::tool::Print(json.Text());
    return status;
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

// Spelled out: MinGW's import library gives IID_IAccessible as a thunk, not as the GUID.
constexpr IID kIidAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

struct Release {
    void operator()(IUnknown* object) const { object->Release(); }
};

// What a screen reader reads of a control: its client area's accessible object.
struct Accessible {
    std::unique_ptr<IAccessible, Release> object;

    static std::optional<Accessible> Of(HWND window) {
        IAccessible* object = nullptr;
        if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                              kIidAccessible, reinterpret_cast<void**>(&object))) ||
            object == nullptr) {
            return std::nullopt;
        }
        return Accessible{std::unique_ptr<IAccessible, Release>(object)};
    }

    static VARIANT Child(long id) {
        VARIANT child;
        VariantInit(&child);
        child.vt = VT_I4;
        child.lVal = id;
        return child;
    }

    std::optional<std::wstring> Name(long id) const {
        BSTR name = nullptr;
        if (FAILED(object->get_accName(Child(id), &name))) {
            return std::nullopt;
        }
        std::wstring text = name != nullptr ? std::wstring(name, SysStringLen(name)) : L"";
        SysFreeString(name);
        return text;
    }

    long Number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long id) const {
        VARIANT value;
        VariantInit(&value);
        if (FAILED((object.get()->*get)(Child(id), &value)) || value.vt != VT_I4) {
            return -1;
        }
        return value.lVal;
    }
    // The child accNavigate reaches from the list itself: 0 for S_FALSE with VT_EMPTY, as for
    // nothing that way; -1 for any other answer.
    long Navigate(long direction) const {
        VARIANT end;
        VariantInit(&end);
        const HRESULT result = object->accNavigate(direction, Child(CHILDID_SELF), &end);
        return result == S_FALSE && end.vt == VT_EMPTY ? 0
               : result == S_OK && end.vt == VT_I4     ? end.lVal
                                                       : -1;
    }
    long Role(long id) const { return Number(&IAccessible::get_accRole, id); }
    long State(long id) const { return Number(&IAccessible::get_accState, id); }
};

std::string JsonNumbers(const std::vector<long>& numbers) {
    std::string array = "[";
    for (size_t i = 0; i < numbers.size(); ++i) {
        array += (i == 0 ? "" : ",") + std::to_string(numbers[i]);
    }
    return array + "]";
}

// The control's accessible name and role, and for a list every item's name and the indexes of
// the items in each state that a reader announces.
std::optional<JsonObject> ReadAccessible(HWND control, bool items) {
    const auto accessible = Accessible::Of(control);
    if (!accessible) {
        return std::nullopt;
    }
    const auto name = accessible->Name(CHILDID_SELF);
    if (!name) {
        return std::nullopt;
    }
    JsonObject json;
    json.Add("name", std::wstring_view(*name));
    json.Add("role", static_cast<long long>(accessible->Role(CHILDID_SELF)));
    if (!items) {
        return json;
    }
    long count = 0;
    if (FAILED(accessible->object->get_accChildCount(&count))) {
        return std::nullopt;
    }
    std::string names = "[";
    std::vector<long> selected;
    std::vector<long> focused;
    std::vector<long> offscreen;
    for (long child = 1; child <= count; ++child) {
        const auto itemName = accessible->Name(child);
        if (!itemName) {
            return std::nullopt;
        }
        names += (child == 1 ? "" : ",") + JsonString(*itemName);
        const long state = accessible->State(child);
        const long index = child - 1;
        for (auto [flag, list] : {std::pair{STATE_SYSTEM_SELECTED, &selected},
                                  std::pair{STATE_SYSTEM_FOCUSED, &focused},
                                  std::pair{STATE_SYSTEM_OFFSCREEN, &offscreen}}) {
            if (state >= 0 && (state & flag) != 0) {
                list->push_back(index);
            }
        }
    }
    json.Add("count", static_cast<long long>(count)).Add("items", names + "]");
    json.Add("itemRole", static_cast<long long>(accessible->Role(1)));
    json.Add("selected", JsonNumbers(selected));
    json.Add("focused", JsonNumbers(focused)).Add("offscreen", JsonNumbers(offscreen));
    json.Add("first", static_cast<long long>(accessible->Navigate(NAVDIR_FIRSTCHILD)));
    json.Add("last", static_cast<long long>(accessible->Navigate(NAVDIR_LASTCHILD)));
    // Where the list says it is, against its client area on screen; and what it answers for a
    // point on its border.
    long left = 0, top = 0, width = 0, height = 0;
    accessible->object->accLocation(&left, &top, &width, &height, Accessible::Child(CHILDID_SELF));
    RECT client{};
    GetClientRect(control, &client);
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&client), 2);
    json.Add("location", JsonNumbers({left, top, width, height}));
    json.Add("client", JsonNumbers({client.left, client.top, client.right - client.left,
                                    client.bottom - client.top}));
    RECT window{};
    GetWindowRect(control, &window);
    VARIANT hit;
    VariantInit(&hit);
    json.Add("borderHit", accessible->object->accHitTest(window.left, window.top, &hit) == S_FALSE);
    return json;
}

// COM for the calls on accessible objects, for the life of the probe.
struct Com {
    Com() { CoInitialize(nullptr); }
    ~Com() { CoUninitialize(); }
};

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
                             "       probe text|items|name window id\n"
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
    const Com com;
    const std::wstring command = argv[1];
    const std::wstring title = argc >= 3 ? argv[2] : L"Form1";
    std::optional<int> id;
    if (argc == 4) {
        id = ParseId(argv[3]);
        if (!id) {
            return Usage();
        }
    }
    const bool needsId = command == L"text" || command == L"items" || command == L"name";
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
        corvantis::tool::Print(json.Text());
        return 0;
    }

    HWND window = FindWindowW(nullptr, title.c_str());
    if (!window) {
        return Fail(kExitWindowNotFound, L"window not found", title);
    }
    HWND target = window;
    if (id) {
        target = corvantis::tool::FindControl(window, *id);
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
    } else if (command == L"items" || command == L"name") {
        const auto read = ReadAccessible(target, command == L"items");
        if (!read) {
            return Fail(kExitMessageFailed, L"no accessible object answered", title, id);
        }
        json.Add("accessible", read->Text());
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
    corvantis::tool::Print(json.Text());
    return 0;
}
