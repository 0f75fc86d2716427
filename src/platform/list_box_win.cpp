#include "platform/list_box_win.h"

#include "platform/list_accessible_win.h"
#include "platform/drag_source_win.h"
#include "platform/gdi_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace corvantis::platform {
namespace {

constexpr DWORD kListStyle = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY |
                             LBS_NOINTEGRALHEIGHT | LBS_NODATA | LBS_OWNERDRAWFIXED;
// Where an item's text starts within its row, in pixels, as a plain list box draws it.
constexpr int kTextInset = 1;
// Ends a line cut to fit its row, so that it shows more follows.
constexpr char16_t kEllipsis = u'\u2026';

// The line as its row of `width` pixels shows it: whole when it fits, else cut with an ellipsis
// at its end. Only the drawing is cut: readers, drags and the file get the whole line.
std::u16string FittedLine(HDC dc, std::u16string line, int width) {
    const auto* text = reinterpret_cast<const wchar_t*>(line.c_str());
    const auto length = static_cast<int>(line.size());
    int fit = 0;
    SIZE size{};
    if (!GetTextExtentExPointW(dc, text, length, width, &fit, nullptr, &size) || fit >= length) {
        return line;
    }
    SIZE mark{};
    GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(&kEllipsis), 1, &mark);
    fit = 0;
    GetTextExtentExPointW(dc, text, length, std::max<int>(width - mark.cx, 0), &fit, nullptr,
                          &size);
    if (fit > 0 && IS_HIGH_SURROGATE(line[fit - 1])) {
        --fit; // never half a character
    }
    line.resize(static_cast<size_t>(fit));
    line += kEllipsis;
    return line;
}

} // namespace

bool ListBox::Create(HWND parent, int id, Source source, const ControlColours& colours) {
    if (!Control::Create(parent, WC_LISTBOXW, L"", kListStyle, id, WS_EX_CLIENTEDGE)) {
        return false;
    }
    source_ = std::move(source);
    SetColours(colours);
    Subclass();
    return true;
}

int ListBox::Selection() const {
    const LRESULT selected = SendMessageW(Hwnd(), LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

POINT ListBox::MenuPlace(int index) const {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    POINT at{client.left, client.top};
    RECT item{};
    if (index >= 0 && SendMessageW(Hwnd(), LB_GETITEMRECT, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(&item)) != LB_ERR) {
        at = {item.left, std::clamp(item.bottom, client.top, client.bottom)};
    }
    ClientToScreen(Hwnd(), &at);
    return at;
}

void ListBox::SetCount(int count) {
    if (SendMessageW(Hwnd(), LB_SETCOUNT, static_cast<WPARAM>(count), 0) < 0) {
        Trace(L"LB_SETCOUNT failed: the list does not show every item");
    }
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

void ListBox::Inserted(int index) {
    // An owner-data list box keeps no item data: the new row is drawn from the source.
    SendMessageW(Hwnd(), LB_INSERTSTRING, static_cast<WPARAM>(index), 0);
}

void ListBox::Removed(int index) {
    SendMessageW(Hwnd(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void ListBox::Changed(int index) const {
    RECT row{};
    if (SendMessageW(Hwnd(), LB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&row)) != LB_ERR) {
        InvalidateRect(Hwnd(), &row, TRUE);
    }
}

void ListBox::Cleared() {
    SendMessageW(Hwnd(), LB_RESETCONTENT, 0, 0);
}

std::optional<LRESULT> ListBox::OnReflected(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM) {
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    return Control::OnReflected(message, wParam, lParam);
}

void ListBox::Draw(const DRAWITEMSTRUCT& item) const {
    const HDC dc = item.hDC;
    const RECT& row = item.rcItem;
    if (item.itemAction == ODA_FOCUS) {
        DrawFocusRect(dc, &row); // drawn by inverting: a second call takes it away
        return;
    }
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const ControlColours& colours = *Colours();
    const TextColoursScope textColours(
        dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ToColorRef(colours.text.value_or(Rgb{})),
        selected ? GetSysColor(COLOR_HIGHLIGHT) : ToColorRef(colours.background));
    const SelectScope font(dc, font_ != nullptr ? font_ : GetStockObject(SYSTEM_FONT));
    const int index = static_cast<int>(item.itemID);
    const auto count = SendMessageW(Hwnd(), LB_GETCOUNT, 0, 0);
    // Only the rows on screen are ever asked for.
    const std::u16string line =
        FittedLine(dc, index >= 0 && index < count ? source_.text(index) : u"",
                   row.right - row.left - kTextInset);
    ExtTextOutW(dc, row.left + kTextInset, row.top, ETO_OPAQUE | ETO_CLIPPED, &row,
                reinterpret_cast<const wchar_t*>(line.data()), static_cast<UINT>(line.size()),
                nullptr);
    if ((item.itemState & ODS_FOCUS) != 0) {
        DrawFocusRect(dc, &row);
    }
}

std::optional<LRESULT> ListBox::Before(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CHAR:
        return OnChar(static_cast<wchar_t>(wParam)) ? std::optional<LRESULT>(0) : std::nullopt;
    case WM_CONTEXTMENU:
        // The keys' menu comes at -1, -1; a right click's at the pointer.
        if (GET_X_LPARAM(lParam) != -1 || GET_Y_LPARAM(lParam) != -1 || !onMenuKey_) {
            return std::nullopt;
        }
        onMenuKey_();
        return 0;
    case WM_GETOBJECT:
        return AnswerListObject(Hwnd(), wParam, lParam, Name());
    case LB_GETTEXT:
    case LB_GETTEXTLEN:
        return TextAnswer(message, wParam, lParam);
    default:
        return std::nullopt;
    }
}

void ListBox::After(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFONT:
        OnSetFont(reinterpret_cast<HFONT>(wParam));
        break;
    case WM_LBUTTONDOWN:
        OnPress(lParam);
        NotifyChanges();
        break;
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case LB_SETCURSEL:
    case LB_SETCARETINDEX:
        NotifyChanges();
        break;
    case LB_SETCOUNT:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
        NotifyItemsChanged(Hwnd());
        NotifyChanges();
        break;
    default:
        break;
    }
}

std::optional<LRESULT> ListBox::TextAnswer(UINT message, WPARAM index, LPARAM buffer) const {
    // Another thread's LB_GETTEXT gets the item data, as from any list box without strings: its
    // buffer is too small for a text.
    if (InSendMessage()) {
        return std::nullopt;
    }
    const auto count = static_cast<int>(CallOwn(LB_GETCOUNT, 0, 0));
    if (index >= static_cast<WPARAM>(std::max(count, 0))) {
        return LB_ERR;
    }
    const std::u16string text = source_.text(static_cast<int>(index));
    if (message == LB_GETTEXT) {
        auto* out = reinterpret_cast<char16_t*>(buffer);
        std::copy(text.begin(), text.end(), out);
        out[text.size()] = u'\0';
    }
    return static_cast<LRESULT>(text.size());
}

void ListBox::NotifyChanges() {
    const auto count = static_cast<int>(CallOwn(LB_GETCOUNT, 0, 0));
    const auto selection = static_cast<int>(CallOwn(LB_GETCURSEL, 0, 0));
    const auto caret = count > 0 ? static_cast<int>(CallOwn(LB_GETCARETINDEX, 0, 0)) : -1;
    const bool focused = GetFocus() == Hwnd();
    if (selection >= 0 && selection != shown_.selection) {
        NotifyItemSelection(Hwnd(), selection);
    }
    // USER raises the focus of the list itself, with its window's (EVENT_OBJECT_FOCUS for the
    // window object, when it takes the keyboard focus); its items are the list's own.
    if (focused && caret >= 0 && (!shown_.focused || caret != shown_.caret)) {
        NotifyItemFocus(Hwnd(), caret);
    }
    shown_ = {selection, caret, focused};
}

void ListBox::OnSetFont(HFONT font) {
    // An owner-drawn list box keeps the row height it had at its creation; a plain one takes the
    // height of its font's characters.
    font_ = font;
    const WindowDcScope dc(Hwnd());
    const SelectScope select(dc.Dc(), font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(dc.Dc(), &metrics)) {
        Trace(L"GetTextMetricsW failed: the list keeps its row height");
        return;
    }
    SendMessageW(Hwnd(), LB_SETITEMHEIGHT, 0, MAKELPARAM(metrics.tmHeight, 0));
}

bool ListBox::OnChar(wchar_t typed) {
    // A typed character selects the next item that starts with it (in any case), after the one
    // with the focus and round to the top, as a plain list box finds its items by their text.
    const auto count = static_cast<int>(SendMessageW(Hwnd(), LB_GETCOUNT, 0, 0));
    if (typed < L' ' || count <= 0) {
        return false;
    }
    const LRESULT caret = SendMessageW(Hwnd(), LB_GETCARETINDEX, 0, 0);
    const int from = caret < 0 ? count - 1 : static_cast<int>(caret);
    for (int step = 1; step <= count; ++step) {
        const int index = (from + step) % count;
        const auto first = static_cast<wchar_t>(source_.firstUnit(index));
        if (first != L'\0' && CompareStringOrdinal(&first, 1, &typed, 1, TRUE) == CSTR_EQUAL) {
            SendMessageW(Hwnd(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
            Changed(index); // with its focus rectangle, which LB_SETCURSEL may leave out
            break;
        }
    }
    return true;
}

void ListBox::OnPress(LPARAM position) {
    // The list has taken the press and moved its selection: that item is what a drag carries.
    const POINT press{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    const bool dragged = DragTextOnPress(Hwnd(), press, [this]() -> std::optional<std::u16string> {
        const int selected = Selection();
        if (selected < 0) {
            return std::nullopt;
        }
        return source_.text(selected);
    });
    // The list ends its press either way: after a drag the button came up in the drag, and a list
    // left pressing goes on tracking the pointer.
    CallOwn(WM_LBUTTONUP, 0, position);
    if (!dragged) {
        RaiseClick(); // released within the drag distance: a click
    }
}

} // namespace corvantis::platform
