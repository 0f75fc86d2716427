#pragma once
// A list box that holds no text: an owner-data list (LBS_NODATA | LBS_OWNERDRAWFIXED) that knows
// only how many items there are and draws each one from its source when it comes into view, as a
// plain list box draws its text (font, colours, selection, focus rectangle). Filling, clearing or
// removing an item thus sends one message whatever the number of items, and the text is held
// once, by the source. As in a plain list box, a typed character selects the next item that
// starts with it; and an item can be dragged out as text. A press that is no drag is a click;
// Shift+F10 or the context-menu key asks for the menu of the selected item.
//
// Screen readers read it as a plain list box: its own accessible object (named by SetName) gives
// each item's text, role and state; a change of the selection or of the focused item, and of the
// items, raises the events a plain list box raises; and in the program's own process LB_GETTEXT
// and LB_GETTEXTLEN answer with an item's text.

#include "platform/control_win.h"

#include <windows.h>

#include <functional>
#include <string>

namespace corvantis::platform {

class ListBox : public Control {
public:
    // What the list shows: the text of item i, and its first code unit (0 for an empty text),
    // which typing compares without needing the rest.
    struct Source {
        std::function<std::u16string(int)> text;
        std::function<char16_t(int)> firstUnit;
    };

    // False when it cannot be created.
    bool Create(HWND parent, int id, Source source, const ControlColours& colours);

    // Shift+F10 or the context-menu key in the list. (A right click is no menu key.)
    void OnMenuKey(std::function<void()> onMenuKey) { onMenuKey_ = std::move(onMenuKey); }

    // The selected item; -1 for none.
    int Selection() const;
    // Where a menu for `index` opens, in screen pixels: below the item, or at the list's edge
    // for an item out of view, or at its top-left corner for none.
    POINT MenuPlace(int index) const;

    // The source changed: `count` items in all, the new ones at its end; an item inserted before
    // `index`, removed from it, or changed in place; all of them gone.
    void SetCount(int count);
    void Inserted(int index);
    void Removed(int index);
    void Changed(int index) const;
    void Cleared();

    std::optional<LRESULT> OnReflected(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    std::optional<LRESULT> Before(UINT message, WPARAM wParam, LPARAM lParam) override;
    void After(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Draw(const DRAWITEMSTRUCT& item) const;
    void OnSetFont(HFONT font);
    bool OnChar(wchar_t typed);
    void OnPress(LPARAM position);
    std::optional<LRESULT> TextAnswer(UINT message, WPARAM index, LPARAM buffer) const;
    // Raises the events of a new selection or focused item, as a plain list box does.
    void NotifyChanges();

    struct Shown {
        int selection = -1;
        int caret = -1;
        bool focused = false;
    };

    Source source_;
    Shown shown_;
    std::function<void()> onMenuKey_;
    HFONT font_ = nullptr;
};

} // namespace corvantis::platform
