#include "platform/list_accessible_win.h"

#include "platform/accessible_com_win.h"
#include "platform/handles_win.h"

#include <algorithm>

namespace corvantis::platform {
namespace {

// The list and its items, asked of the list box at every call: a list of any length costs the
// same, and an object a reader holds on to after the list is gone answers that it is gone.
class ListAccessible final : public PlainAccessible {
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
        // The list itself is its client area, as for its hit test; the border and the scroll bar
        // belong to its window.
        RECT rect{};
        if (*item < 0 ? GetClientRect(list_, &rect) != FALSE : ItemRect(*item, rect)) {
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
        HRESULT failure = S_OK;
        const auto item = StartAnswer(start, end, failure);
        if (!item) {
            return failure;
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
        if (to < 0 || to >= count) {
            return S_FALSE; // nothing that way: `end` stays VT_EMPTY
        }
        SetChild(end, to + 1);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) noexcept override {
        if (child == nullptr) {
            return E_POINTER;
        }
        SetEmpty(child);
        POINT point{x, y};
        RECT client{};
        if (Gone() || !ScreenToClient(list_, &point) || !GetClientRect(list_, &client) ||
            !PtInRect(&client, point)) {
            return S_FALSE;
        }
        const int height = Send(LB_GETITEMHEIGHT);
        const int item = height > 0 ? Send(LB_GETTOPINDEX) + point.y / height : -1;
        SetChild(child, item >= 0 && item < Count() ? item + 1 : CHILDID_SELF);
        return S_OK;
    }

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
        HRESULT failure = S_OK;
        const auto item = StartAnswer(child, out, failure);
        if (!item) {
            return failure;
        }
        SetChild(out, number(*item));
        return S_OK;
    }

    // The item `child` names (-1: the list itself) for an answer in `out`, emptied first;
    // nullopt, with the error to return in `failure`, when there is none.
    std::optional<int> StartAnswer(const VARIANT& child, VARIANT* out, HRESULT& failure) const {
        if (out == nullptr) {
            failure = E_POINTER;
            return std::nullopt;
        }
        SetEmpty(out);
        const auto item = ItemOf(child);
        failure = item ? S_OK : E_INVALIDARG;
        return item;
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

void NotifyItemFocus(HWND list, int index) {
    NotifyWinEvent(EVENT_OBJECT_FOCUS, list, OBJID_CLIENT, index + 1);
}

void NotifyItemSelection(HWND list, int index) {
    NotifyWinEvent(EVENT_OBJECT_SELECTION, list, OBJID_CLIENT,
                   index >= 0 ? index + 1 : CHILDID_SELF);
}

void NotifyItemsChanged(HWND list) {
    NotifyWinEvent(EVENT_OBJECT_REORDER, list, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace corvantis::platform
