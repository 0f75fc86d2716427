#include "app/entry_list_box_win.h"

#include "app/texts.h"

namespace corvantis::app {

bool EntryListBox::Create(HWND parent, int id, const core::EntryList& entries,
                          const platform::ControlColours& colours) {
    entries_ = &entries;
    const Source source{[this](int index) { return entries_->Item(index); },
                        [this](int index) {
                            return entries_->FirstUnit(index);
                        }};
    if (!ListBox::Create(parent, id, source, colours)) {
        return false;
    }
    SetName(texts::kEntryListName);
    SetCount(entries.Count());
    return true;
}

void EntryListBox::AcceptDrops(platform::DropCallback onDrop) {
    drops_.Register(Hwnd(), std::move(onDrop));
}

void EntryListBox::Appended(int) {
    SetCount(entries_->Count());
}

} // namespace corvantis::app
