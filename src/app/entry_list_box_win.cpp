#include "app/entry_list_box_win.h"

#include "platform/drag_source_win.h"
#include "platform/window_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstdlib>

namespace corvantis::app {
namespace {

void InsertString(HWND list, int index, std::u16string_view line) {
    const std::u16string text(line);
    SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(platform::AsWide(text)));
}

} // namespace

bool EntryListBox::Create(HWND parent, int id, const core::EntryList& entries, Events events) {
    list_ = platform::CreateControl(
        WC_LISTBOXW, L"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
        parent, id, WS_EX_CLIENTEDGE);
    if (list_ == nullptr) {
        return false;
    }
    entries_ = &entries;
    events_ = std::move(events);
    subclass_.Install(list_, Procedure, reinterpret_cast<DWORD_PTR>(this));
    drops_.Register(list_, [this](std::u16string text) { events_.onDrop(std::move(text)); });
    return true;
}

void EntryListBox::Detach() noexcept {
    drops_.Reset();
    subclass_.Remove();
}

int EntryListBox::Selection() const {
    const LRESULT selected = SendMessageW(list_, LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

void EntryListBox::Appended(std::span<const std::u16string> lines) {
    // Redrawing is held off until the whole file is in.
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    for (const std::u16string& line : lines) {
        SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::AsWide(line)));
    }
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void EntryListBox::Inserted(int index, std::u16string_view line) {
    InsertString(list_, index, line);
}

void EntryListBox::Removed(int index) {
    SendMessageW(list_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void EntryListBox::Replaced(int index, std::u16string_view line) {
    const bool selected = Selection() == index;
    Removed(index);
    InsertString(list_, index, line);
    if (selected) {
        SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void EntryListBox::Cleared() {
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
}

LRESULT CALLBACK EntryListBox::Procedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR self) noexcept {
    auto* box = reinterpret_cast<EntryListBox*>(self);
    const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
    try {
        switch (message) {
        case WM_LBUTTONDOWN:
            box->press_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            box->pressed_ = true;
            break;
        case WM_MOUSEMOVE:
            box->OnMouseMove(wParam, lParam);
            break;
        case WM_LBUTTONUP:
            // Only a press that began on the list ends here: a release left over from a click
            // that closed a window above the list is not the list's.
            if (box->pressed_) {
                box->pressed_ = false;
                box->events_.onClick();
            }
            break;
        default:
            break;
        }
    } catch (...) {
        platform::Trace(L"the entry list's mouse handling ended in an exception");
    }
    return result;
}

void EntryListBox::OnMouseMove(WPARAM keys, LPARAM position) {
    // Items can be dragged out as text: a press on the list that moves past the system's drag
    // distance starts the drag, and the release then belongs to the drop, not to the menu.
    if (!pressed_ || (keys & MK_LBUTTON) == 0) {
        pressed_ = false;
        return;
    }
    const POINT now{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (std::abs(now.x - press_.x) <= GetSystemMetrics(SM_CXDRAG) &&
        std::abs(now.y - press_.y) <= GetSystemMetrics(SM_CYDRAG)) {
        return;
    }
    pressed_ = false;
    const int selected = Selection();
    if (entries_->Names(selected)) {
        ReleaseCapture();
        platform::DragTextOut(entries_->Item(selected));
    }
}

} // namespace corvantis::app
