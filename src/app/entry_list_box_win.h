#pragma once
// The launcher's entry list: a list box that shows the program's entries, told of every change
// of them, and that takes drops.
//
// Tools outside the program read what the list shows by sending it kItemsRequest (a registered
// message) with the window that is to receive the items as wParam: the list answers with one
// WM_COPYDATA to that window (dwData kItemsCopyData; each item as its length in UTF-16 code
// units, a 32-bit unsigned integer, followed by those units) and returns TRUE once it has been
// delivered.

#include "core/entry_list.h"
#include "platform/drop_target_win.h"
#include "platform/list_box_win.h"

#include <windows.h>

namespace corvantis::app {

inline constexpr wchar_t kItemsRequest[] = L"Corvantis.EntryList.Items";
inline constexpr ULONG_PTR kItemsCopyData = 0x434C4954; // "CLIT"

class EntryListBox final : public platform::ListBox, public core::EntryListView {
public:
    // False when the list box cannot be created.
    bool Create(HWND parent, int id, const core::EntryList& entries,
                const platform::ControlColours& colours);
    // Makes the list a drop target that hands the text of a drop to `onDrop`, once OLE is
    // initialised; traced when it cannot be.
    void AcceptDrops(platform::DropCallback onDrop);
    // Before the list box is destroyed: drops end while it exists.
    void Detach() noexcept { drops_.Reset(); }

    void Appended(int count) override;
    void Inserted(int index) override { ListBox::Inserted(index); }
    void Removed(int index) override { ListBox::Removed(index); }
    void Replaced(int index) override { Changed(index); }
    void Cleared() override { ListBox::Cleared(); }

private:
    std::optional<LRESULT> Before(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool SendItems(HWND requester) const;

    const core::EntryList* entries_ = nullptr;
    UINT itemsRequest_ = 0;
    platform::DropRegistration drops_;
};

} // namespace corvantis::app
