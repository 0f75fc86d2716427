#include "platform/accessible_win.h"

#include "platform/com_object_win.h"
#include "platform/handles_win.h"

#include <oleacc.h>

#include <algorithm>

namespace corvantis::platform {
namespace {

// Spelled out: MinGW's import library gives IID_IAccessible as a thunk, not as the GUID.
constexpr IID kIidAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr IID kIidDispatch = {
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

HRESULT NewBstr(const std::u16string& text, BSTR* out) {
    *out = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                             static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* out, LONG child) {
    out->vt = VT_I4;
    out->lVal = child;
}

void SetEmpty(VARIANT* out) {
    out->vt = VT_EMPTY;
}

// What an object without help, description, shortcut or default action answers for them.
HRESULT NoText(BSTR* out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    return DISP_E_MEMBERNOTFOUND;
}

// IDispatch of an accessible object that is only ever called through its IAccessible methods.
template <typename Base> class WithoutDispatch : public Base {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID,
                                            DISPID*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override {
        return E_NOTIMPL;
    }
};

using AccessibleBase = WithoutDispatch<ComObject<IAccessible, kIidAccessible, kIidDispatch>>;

// The list and its items, asked of the list box at every call: a list of any length costs the
// same, and an object a reader holds on to after the list is gone answers that it is gone.
class ListAccessible final : public AccessibleBase {
public:
    ListAccessible(HWND list, std::u16string name) : list_(list), name_(std::move(name)) {}

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) noexcept override {
        if (parent == nullptr) {
            return E_POINTER;
        }
        *parent = nullptr;
        return Gone() ? CO_E_OBJNOTCONNECTED
                      : AccessibleObjectFromWindow(list_, static_cast<DWORD>(OBJID_WINDOW),
                                                   kIidDispatch, reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) noexcept override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = Gone() ? 0 : Count();
        return Gone() ? CO_E_OBJNOTCONNECTED : S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) noexcept override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        const auto item = ItemOf(child);
        // Items are simple elements, answered by the list itself.
        return !item ? E_INVALIDARG : *item >= 0 ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) noexcept override {
        if (name == nullptr) {
            return E_POINTER;
        }
        *name = nullptr;
        const auto item = ItemOf(child);
        if (!item) {
            return E_INVALIDARG;
        }
        try {
            return NewBstr(*item < 0 ? name_ : ItemText(*item), name);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) noexcept override {
        return NoText(value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) noexcept override {
        return NoText(text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) noexcept override {
        return AnswerNumber(child, role, [](int item) {
            return item < 0 ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) noexcept override {
        return AnswerNumber(child, state, [this](int item) {
            return static_cast<LONG>(item < 0 ? ListState() : ItemState(item));
        });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) noexcept override {
        return NoText(help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) noexcept override {
        if (topic != nullptr) {
            *topic = 0;
        }
        return NoText(file);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* keys) noexcept override {
        return NoText(keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) noexcept override {
        if (focus == nullptr) {
            return E_POINTER;
        }
        SetEmpty(focus);
        if (Gone() || GetFocus() != list_) {
            return S_FALSE;
        }
        const int caret = Send(LB_GETCARETINDEX);
        SetChild(focus, caret >= 0 && caret < Count() ? caret + 1 : CHILDID_SELF);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) noexcept override {
        if (selection == nullptr) {
            return E_POINTER;
        }
        SetEmpty(selection);
        const int selected = Gone() ? LB_ERR : Send(LB_GETCURSEL);
        if (selected < 0) {
            return S_FALSE;
        }
        SetChild(selection, selected + 1);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* action) noexcept override {
        return NoText(action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) noexcept override {
        const auto item = ItemOf(child);
        if (!item) {
            return E_INVALIDARG;
        }
        if ((flags & SELFLAG_TAKEFOCUS) != 0) {
            SetFocus(list_);
            if (*item >= 0) {
                Send(LB_SETCARETINDEX, static_cast<WPARAM>(*item));
            }
        }
        if (*item >= 0 && (flags & (SELFLAG_TAKESELECTION | SELFLAG_ADDSELECTION)) != 0) {
            Send(LB_SETCURSEL, static_cast<WPARAM>(*item));
        } else if (*item >= 0 && (flags & SELFLAG_REMOVESELECTION) != 0 &&
                   Send(LB_GETCURSEL) == *item) {
            Send(LB_SETCURSEL, static_cast<WPARAM>(-1));
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) noexcept override {
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
            return E_POINTER;
        }
        *left = *top = *width = *height = 0;
        const auto item = ItemOf(child);
        if (!item) {
            return E_INVALIDARG;
        }
        RECT rect{};
        if (*item < 0) {
            GetWindowRect(list_, &rect);
        } else if (ItemRect(*item, rect)) {
            MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        }
        *left = rect.left;
        *top = rect.top;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start,
                                          VARIANT* end) noexcept override {
        if (end == nullptr) {
            return E_POINTER;
        }
        SetEmpty(end);
        const auto item = ItemOf(start);
        if (!item) {
            return E_INVALIDARG;
        }
        const int count = Count();
        int to = -1;
        if (*item < 0) {
            to = direction == NAVDIR_FIRSTCHILD  ? 0
                 : direction == NAVDIR_LASTCHILD ? count - 1
                                                 : -1;
        } else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) {
            to = *item + 1 < count ? *item + 1 : -1;
        } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) {
            to = *item - 1;
        }
        if (to < 0) {
            return S_FALSE;
        }
        SetChild(end, to + 1);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) noexcept override {
        if (child == nullptr) {
            return E_POINTER;
        }
        SetEmpty(child);
        RECT window{};
        const POINT screen{x, y};
        if (Gone() || !GetWindowRect(list_, &window) || !PtInRect(&window, screen)) {
            return S_FALSE;
        }
        POINT point = screen;
        ScreenToClient(list_, &point);
        const int height = Send(LB_GETITEMHEIGHT);
        RECT client{};
        GetClientRect(list_, &client);
        const int item = height > 0 && PtInRect(&client, point) && point.y >= 0
                             ? Send(LB_GETTOPINDEX) + point.y / height
                             : -1;
        SetChild(child, item >= 0 && item < Count() ? item + 1 : CHILDID_SELF);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) noexcept override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) noexcept override { return E_NOTIMPL; }

private:
    ~ListAccessible() override = default;

    bool Gone() const { return !IsWindow(list_); }
    int Send(UINT message, WPARAM wParam = 0) const {
        return static_cast<int>(SendMessageW(list_, message, wParam, 0));
    }
    int Count() const { return std::max(Send(LB_GETCOUNT), 0); }

    // A number about the child (-1: the list itself) in `out`, as `number` gives it.
    template <typename Number>
    HRESULT AnswerNumber(const VARIANT& child, VARIANT* out, Number&& number) const {
        if (out == nullptr) {
            return E_POINTER;
        }
        SetEmpty(out);
        const auto item = ItemOf(child);
        if (!item) {
            return E_INVALIDARG;
        }
        SetChild(out, number(*item));
        return S_OK;
    }

    // The item a child id names, -1 for the list itself; nullopt for none of them.
    std::optional<int> ItemOf(const VARIANT& child) const {
        if (child.vt != VT_I4 || Gone()) {
            return std::nullopt;
        }
        if (child.lVal == CHILDID_SELF) {
            return -1;
        }
        if (child.lVal < 1 || child.lVal > Count()) {
            return std::nullopt;
        }
        return static_cast<int>(child.lVal - 1);
    }

    std::u16string ItemText(int item) const {
        const int length = Send(LB_GETTEXTLEN, static_cast<WPARAM>(item));
        if (length <= 0) {
            return {};
        }
        std::u16string text(static_cast<size_t>(length) + 1, u'\0');
        const auto copied = SendMessageW(list_, LB_GETTEXT, static_cast<WPARAM>(item),
                                         reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        return text;
    }

    bool ItemRect(int item, RECT& rect) const {
        return SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(item),
                            reinterpret_cast<LPARAM>(&rect)) != LB_ERR;
    }

    DWORD ListState() const {
        DWORD state = STATE_SYSTEM_FOCUSABLE;
        state |= GetFocus() == list_ ? STATE_SYSTEM_FOCUSED : 0;
        state |= IsWindowVisible(list_) ? 0 : STATE_SYSTEM_INVISIBLE;
        return state;
    }

    DWORD ItemState(int item) const {
        DWORD state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        state |= Send(LB_GETCURSEL) == item ? STATE_SYSTEM_SELECTED : 0;
        state |= GetFocus() == list_ && Send(LB_GETCARETINDEX) == item ? STATE_SYSTEM_FOCUSED : 0;
        RECT row{};
        RECT client{};
        RECT shown{};
        GetClientRect(list_, &client);
        if (!ItemRect(item, row) || !IntersectRect(&shown, &row, &client)) {
            state |= STATE_SYSTEM_OFFSCREEN;
        }
        return state;
    }

    const HWND list_;
    const std::u16string name_;
};

// The system's object of a control, with the control's own name.
class NamedAccessible final : public AccessibleBase {
public:
    NamedAccessible(ComPtr<IAccessible> standard, std::u16string name)
        : standard_(std::move(standard)), name_(std::move(name)) {}

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) noexcept override {
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) {
            return standard_->get_accName(child, name);
        }
        if (name == nullptr) {
            return E_POINTER;
        }
        return NewBstr(name_, name);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) noexcept override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) noexcept override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) noexcept override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) noexcept override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) noexcept override {
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) noexcept override {
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) noexcept override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) noexcept override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child,
                                               long* topic) noexcept override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) noexcept override {
        return standard_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) noexcept override {
        return standard_->get_accFocus(focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) noexcept override {
        return standard_->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) noexcept override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) noexcept override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) noexcept override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start,
                                          VARIANT* end) noexcept override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) noexcept override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) noexcept override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) noexcept override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) noexcept override {
        return standard_->put_accValue(child, value);
    }

private:
    ~NamedAccessible() override = default;

    const ComPtr<IAccessible> standard_;
    const std::u16string name_;
};

bool IsClientArea(LPARAM lParam) {
    return static_cast<LONG>(lParam) == OBJID_CLIENT;
}

// Hands `object` to whoever sent WM_GETOBJECT; nullopt, traced, when it cannot be.
std::optional<LRESULT> HandOut(IAccessible* object, WPARAM wParam) {
    const LRESULT result = LresultFromObject(kIidAccessible, wParam, object);
    if (result < 0) { // a failure's HRESULT
        Trace(L"LresultFromObject failed: a reader gets the system's object instead");
        return std::nullopt;
    }
    return result;
}

} // namespace

std::optional<LRESULT> AnswerListObject(HWND list, WPARAM wParam, LPARAM lParam,
                                        const std::u16string& name) {
    if (!IsClientArea(lParam)) {
        return std::nullopt;
    }
    try {
        const ComPtr<IAccessible> object(new ListAccessible(list, name));
        return HandOut(object.get(), wParam);
    } catch (...) {
        Trace(L"the list's accessible object could not be made");
        return std::nullopt;
    }
}

std::optional<LRESULT> AnswerNamedObject(HWND control, WPARAM wParam, LPARAM lParam,
                                         const std::u16string& name) {
    if (!IsClientArea(lParam)) {
        return std::nullopt;
    }
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(control, OBJID_CLIENT, kIidAccessible,
                                         reinterpret_cast<void**>(&standard))) ||
        standard == nullptr) {
        Trace(L"CreateStdAccessibleObject failed: a control goes without its name");
        return std::nullopt;
    }
    ComPtr<IAccessible> owned(standard);
    try {
        const ComPtr<IAccessible> object(new NamedAccessible(std::move(owned), name));
        return HandOut(object.get(), wParam);
    } catch (...) {
        Trace(L"a control's accessible object could not be made");
        return std::nullopt;
    }
}

void NotifyItemFocus(HWND list, int index) {
    NotifyWinEvent(EVENT_OBJECT_FOCUS, list, OBJID_CLIENT, index >= 0 ? index + 1 : CHILDID_SELF);
}

void NotifyItemSelection(HWND list, int index) {
    NotifyWinEvent(EVENT_OBJECT_SELECTION, list, OBJID_CLIENT,
                   index >= 0 ? index + 1 : CHILDID_SELF);
}

void NotifyItemsChanged(HWND list) {
    NotifyWinEvent(EVENT_OBJECT_REORDER, list, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace corvantis::platform
