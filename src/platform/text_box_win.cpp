#include "platform/text_box_win.h"

#include "platform/drag_source_win.h"
#include "platform/edit_keys.h"
#include "platform/child_window_win.h"

#include <commctrl.h>
#include <windowsx.h>

namespace corvantis::platform {

bool TextBox::Create(HWND parent, int id) {
    if (!Control::Create(parent, WC_EDITW, L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, id)) {
        return false;
    }
    SendMessageW(Hwnd(), EM_SETLIMITTEXT, 0, 0);
    return true;
}

void TextBox::Focus(bool selectAll) const {
    SetFocus(Hwnd());
    if (selectAll) {
        SendMessageW(Hwnd(), EM_SETSEL, 0, -1);
    }
}

void TextBox::AcceptDrops(DropCallback onDrop) {
    drops_.Register(Hwnd(), [this, onDrop = std::move(onDrop)](std::u16string text) {
        // Its own text dropped back on the box would replace all the rest of it.
        if (!draggingOut_) {
            onDrop(std::move(text));
        }
    });
}

bool TextBox::PreTranslateMessage(const MSG& message) {
    if (message.message == WM_CHAR && message.hwnd == Hwnd() &&
        !ReachesSingleLineBox(KeyMessage::Character, static_cast<unsigned>(message.wParam))) {
        return true; // the key-down went on already; this would only beep
    }
    if (!dragsSelection_ || message.message != WM_LBUTTONDOWN || message.hwnd != Hwnd()) {
        return false;
    }
    try {
        return DragOrClick(message);
    } catch (...) {
        // The button is still down: the box takes the press as an ordinary one.
        draggingOut_ = false;
        Trace(L"dragging a box's selection ended in an exception");
        return false;
    }
}

bool TextBox::DragOrClick(const MSG& press) {
    // The selection shows only while the box has the focus.
    if (GetFocus() != Hwnd()) {
        return false;
    }
    const POINT point{GET_X_LPARAM(press.lParam), GET_Y_LPARAM(press.lParam)};
    const auto selected = SelectionAt(Hwnd(), point);
    if (!selected) {
        return false; // a press elsewhere belongs to the box
    }
    draggingOut_ = true;
    const bool dragged = DragTextOnPress(Hwnd(), point, [&] { return selected; });
    draggingOut_ = false;
    if (!dragged) {
        // Released within the drag distance: the box takes the click now, and places the caret.
        SendMessageW(Hwnd(), WM_LBUTTONDOWN, press.wParam, press.lParam);
        SendMessageW(Hwnd(), WM_LBUTTONUP, press.wParam & ~static_cast<WPARAM>(MK_LBUTTON),
                     press.lParam);
    }
    return true;
}

} // namespace corvantis::platform
