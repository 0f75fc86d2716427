#pragma once
// The launcher's entry list: a list box that shows the program's entries, takes drops, drags its
// items out as text, and reports a click on it so that the launcher can pop the entry menu up.
//
// The list box holds no text: it is an owner-data list (LBS_NODATA | LBS_OWNERDRAWFIXED) that
// knows only how many items there are and draws each one from core::EntryList when it comes
// into view (the launcher hands its WM_DRAWITEM to Draw). Loading, clearing or deleting thus
// sends one message to the list box whatever the number of entries, and the text is held once.
//
// Tools outside the program read what the list shows by sending it kItemsRequest (a registered
// message) with the window that is to receive the items as wParam: the list answers with one
// WM_COPYDATA to that window (dwData kItemsCopyData; each item as its length in UTF-16 code
// units, a 32-bit unsigned integer, followed by those units) and returns TRUE once it has been
// delivered. The end-to-end tests' probe reads the list this way.

#include "core/entry_list.h"
#include "platform/drop_target_win.h"
#include "platform/handles_win.h"

#include <windows.h>

#include <functional>
#include <string>

namespace corvantis::app {

inline constexpr wchar_t kItemsRequest[] = L"Corvantis.EntryList.Items";
inline constexpr ULONG_PTR kItemsCopyData = 0x434C4954; // "CLIT"

class EntryListBox final : public core::EntryListView {
public:
    struct Events {
        // A left-button release whose press began on the list; the list has moved its selection
        // by then.
        std::function<void()> onClick;
        // The text a drop on the list carries.
        std::function<void(std::u16string)> onDrop;
    };

    // False when the list box cannot be created; a gesture that cannot be set up is traced and
    // left out.
    bool Create(HWND parent, int id, const core::EntryList& entries, Events events);
    // Makes the list a drop target, once OLE is initialised; traced when it cannot be.
    void AcceptDrops();
    // Before the list box is destroyed: drops and the subclass end while it exists.
    void Detach() noexcept;

    HWND Hwnd() const { return list_; }
    // The selected item; -1 for none.
    int Selection() const;

    // The parent's WM_DRAWITEM: draws the item when the message is the list's, as a plain list
    // box would draw its text (font, colours, selection, focus rectangle). False for another
    // control's.
    bool Draw(const DRAWITEMSTRUCT& item) const;

    void Appended(int count) override;
    void Inserted(int index) override;
    void Removed(int index) override;
    void Replaced(int index) override;
    void Cleared() override;

private:
    static LRESULT CALLBACK Procedure(HWND list, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept;
    // The messages the list answers itself, before the list box sees them: true, with the
    // result, when it did.
    bool Answer(UINT message, WPARAM wParam, LRESULT& result);
    // What the list does once the list box has handled a message.
    void Follow(UINT message, WPARAM wParam, LPARAM lParam);
    void SetCount();
    void RedrawItem(int index) const;
    void OnMouseMove(WPARAM keys, LPARAM position);
    void OnSetFont(HFONT font);
    bool OnChar(wchar_t typed);
    bool SendItems(HWND requester) const;

    HWND list_ = nullptr;
    const core::EntryList* entries_ = nullptr;
    Events events_;
    HFONT font_ = nullptr;
    UINT itemsRequest_ = 0;
    POINT press_{}; // where the left button went down on the list, to tell a drag
    bool pressed_ = false;
    platform::WindowProcScope subclass_;
    platform::DropRegistration drops_;
};

} // namespace corvantis::app
