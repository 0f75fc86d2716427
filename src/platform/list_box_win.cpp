#include "platform/list_box_win.h"

#include "platform/handles_win.h"

namespace corvantis::platform {

ListBoxAppender::ListBoxAppender(HWND list) : list_(list) {
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
}

ListBoxAppender::~ListBoxAppender() {
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void ListBoxAppender::AddItem(std::u16string_view line) {
    buffer_.assign(reinterpret_cast<const wchar_t*>(line.data()), line.size());
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(buffer_.c_str()));
}

int ListBoxEntries::Count() const {
    return static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
}

std::u16string ListBoxEntries::Item(int index) const {
    return ListBoxItem(list_, index);
}

void ListBoxEntries::Insert(int index, std::u16string_view line) {
    const std::wstring text(reinterpret_cast<const wchar_t*>(line.data()), line.size());
    SendMessageW(list_, LB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.c_str()));
}

void ListBoxEntries::Remove(int index) {
    SendMessageW(list_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void ListBoxEntries::Replace(int index, std::u16string_view line) {
    const bool selected = SendMessageW(list_, LB_GETCURSEL, 0, 0) == index;
    Remove(index);
    Insert(index, line);
    if (selected) {
        SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void ListBoxEntries::Clear() {
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
}

std::u16string ListBoxItem(HWND list, int index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
    return FromWide(text);
}

std::vector<std::u16string> ListBoxItems(HWND list) {
    const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    std::vector<std::u16string> items;
    items.reserve(count > 0 ? static_cast<size_t>(count) : 0);
    for (int i = 0; i < count; ++i) {
        items.push_back(ListBoxItem(list, i));
    }
    return items;
}

} // namespace corvantis::platform
