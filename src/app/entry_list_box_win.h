#pragma once
// The launcher's entry list: a list box that shows the program's entries, told of every change
// of them, and that takes drops.

#include "core/entry_list.h"
#include "platform/drop_target_win.h"
#include "platform/list_box_win.h"

#include <windows.h>

namespace corvantis::app {

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
    const core::EntryList* entries_ = nullptr;
    platform::DropRegistration drops_;
};

} // namespace corvantis::app
