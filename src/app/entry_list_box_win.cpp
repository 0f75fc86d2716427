#include "app/entry_list_box_win.h"

#include "app/launcher_layout.h"
#include "platform/drag_source_win.h"
#include "platform/window_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstdint>
#include <cstdlib>

namespace corvantis::app {
namespace {

constexpr DWORD kListStyle = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY |
                             LBS_NOINTEGRALHEIGHT | LBS_NODATA | LBS_OWNERDRAWFIXED;
// Where an item's text starts within its row, in pixels, as a plain list box draws it.
constexpr int kTextInset = 1;
// How long an items request waits for the requester to take the items.
constexpr UINT kItemsTimeoutMs = 5000;

} // namespace

bool EntryListBox::Create(HWND parent, int id, const core::EntryList& entries, Events events) {
    list_ = platform::CreateControl(WC_LISTBOXW, L"", kListStyle, parent, id, WS_EX_CLIENTEDGE);
    if (list_ == nullptr) {
        return false;
    }
    entries_ = &entries;
    events_ = std::move(events);
    itemsRequest_ = RegisterWindowMessageW(kItemsRequest);
    if (itemsRequest_ == 0) {
        platform::Trace(
            L"RegisterWindowMessageW failed: the list's items cannot be read from outside");
    }
    subclass_.Install(list_, Procedure, this);
    SetCount();
    return true;
}

void EntryListBox::AcceptDrops() {
    drops_.Register(list_, [this](std::u16string text) { events_.onDrop(std::move(text)); });
}

void EntryListBox::Detach() noexcept {
    drops_.Reset();
    subclass_.Remove();
}

int EntryListBox::Selection() const {
    const LRESULT selected = SendMessageW(list_, LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

bool EntryListBox::Draw(const DRAWITEMSTRUCT& item) const {
    if (item.CtlType != ODT_LISTBOX || item.hwndItem != list_) {
        return false;
    }
    const HDC dc = item.hDC;
    const RECT& row = item.rcItem;
    if (item.itemAction == ODA_FOCUS) {
        DrawFocusRect(dc, &row); // drawn by inverting: a second call takes it away
        return true;
    }
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const platform::TextColoursScope colours(
        dc,
        selected ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                 : platform::ToColorRef(launcher::kEntryListColour),
        selected ? GetSysColor(COLOR_HIGHLIGHT)
                 : platform::ToColorRef(launcher::kEntryListBackground));
    const platform::SelectScope font(dc, font_ != nullptr ? font_ : GetStockObject(SYSTEM_FONT));
    const int index = static_cast<int>(item.itemID);
    std::u16string line; // only the rows on screen are ever decoded
    if (entries_ != nullptr && entries_->Names(index)) {
        line = entries_->Item(index);
    }
    ExtTextOutW(dc, row.left + kTextInset, row.top, ETO_OPAQUE | ETO_CLIPPED, &row,
                reinterpret_cast<const wchar_t*>(line.data()), static_cast<UINT>(line.size()),
                nullptr);
    if ((item.itemState & ODS_FOCUS) != 0) {
        DrawFocusRect(dc, &row);
    }
    return true;
}

void EntryListBox::SetCount() {
    if (SendMessageW(list_, LB_SETCOUNT, static_cast<WPARAM>(entries_->Count()), 0) < 0) {
        platform::Trace(L"LB_SETCOUNT failed: the list does not show every entry");
    }
    InvalidateRect(list_, nullptr, TRUE);
}

void EntryListBox::RedrawItem(int index) const {
    RECT row{};
    if (SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&row)) != LB_ERR) {
        InvalidateRect(list_, &row, TRUE);
    }
}

void EntryListBox::Appended(int) {
    SetCount();
}

void EntryListBox::Inserted(int index) {
    // An owner-data list box keeps no item data: the new row is drawn from the entries.
    SendMessageW(list_, LB_INSERTSTRING, static_cast<WPARAM>(index), 0);
}

void EntryListBox::Removed(int index) {
    SendMessageW(list_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void EntryListBox::Replaced(int index) {
    RedrawItem(index);
}

void EntryListBox::Cleared() {
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
}

LRESULT CALLBACK EntryListBox::Procedure(HWND list, UINT message, WPARAM wParam,
                                         LPARAM lParam) noexcept {
    auto* box = platform::WindowProcScope::OwnerOf<EntryListBox>(list);
    if (box == nullptr) {
        return DefWindowProcW(list, message, wParam, lParam);
    }
    try {
        LRESULT result = 0;
        if (box->Answer(message, wParam, result)) {
            return result;
        }
    } catch (...) {
        platform::Trace(L"the entry list's own answer to a message ended in an exception");
    }
    const LRESULT result = box->subclass_.CallPrevious(list, message, wParam, lParam);
    try {
        box->Follow(message, wParam, lParam);
    } catch (...) {
        platform::Trace(L"the entry list's mouse handling ended in an exception");
    }
    return result;
}

bool EntryListBox::Answer(UINT message, WPARAM wParam, LRESULT& result) {
    if (message == itemsRequest_ && itemsRequest_ != 0) {
        result = SendItems(reinterpret_cast<HWND>(wParam)) ? TRUE : FALSE;
        return true;
    }
    if (message == WM_CHAR && OnChar(static_cast<wchar_t>(wParam))) {
        result = 0;
        return true;
    }
    return false;
}

void EntryListBox::Follow(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFONT:
        OnSetFont(reinterpret_cast<HFONT>(wParam));
        break;
    case WM_LBUTTONDOWN:
        press_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        pressed_ = true;
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, lParam);
        break;
    case WM_LBUTTONUP:
        // Only a press that began on the list ends here: a release left over from a click that
        // closed a window above the list is not the list's.
        if (pressed_) {
            pressed_ = false;
            events_.onClick();
        }
        break;
    case WM_NCDESTROY:
        subclass_.Remove();
        break;
    default:
        break;
    }
}

void EntryListBox::OnSetFont(HFONT font) {
    // An owner-drawn list box keeps the row height it had at its creation; a plain one takes the
    // height of its font's characters.
    font_ = font;
    const platform::WindowDcScope dc(list_);
    const platform::SelectScope select(dc.Dc(),
                                       font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(dc.Dc(), &metrics)) {
        platform::Trace(L"GetTextMetricsW failed: the list keeps its row height");
        return;
    }
    SendMessageW(list_, LB_SETITEMHEIGHT, 0, MAKELPARAM(metrics.tmHeight, 0));
}

bool EntryListBox::OnChar(wchar_t typed) {
    // A typed character selects the next item that starts with it (in any case), after the one
    // with the focus and round to the top, as a plain list box finds its items by their text.
    const int count = entries_->Count();
    if (typed < L' ' || count == 0) {
        return false;
    }
    const LRESULT caret = SendMessageW(list_, LB_GETCARETINDEX, 0, 0);
    const int from = caret < 0 ? count - 1 : static_cast<int>(caret);
    for (int step = 1; step <= count; ++step) {
        const int index = (from + step) % count;
        const auto first = static_cast<wchar_t>(entries_->FirstUnit(index));
        if (first != L'\0' && CompareStringOrdinal(&first, 1, &typed, 1, TRUE) == CSTR_EQUAL) {
            SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
            RedrawItem(index); // with its focus rectangle, which LB_SETCURSEL may leave out
            break;
        }
    }
    return true;
}

bool EntryListBox::SendItems(HWND requester) const {
    if (!IsWindow(requester)) {
        return false;
    }
    std::u16string items;
    for (const std::u16string& line : entries_->Items()) {
        const auto length = static_cast<std::uint32_t>(line.size());
        items += static_cast<char16_t>(length & 0xFFFF); // the length, low half first
        items += static_cast<char16_t>(length >> 16);
        items += line;
    }
    COPYDATASTRUCT copy{kItemsCopyData, static_cast<DWORD>(items.size() * sizeof(char16_t)),
                        items.data()};
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(requester, WM_COPYDATA, reinterpret_cast<WPARAM>(list_),
                               reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, kItemsTimeoutMs,
                               &answer) != 0;
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
