#pragma once
// The launcher's list box seen through the portable list interfaces.

#include "store/entry_file.h"

#include <windows.h>

#include <string>
#include <vector>

namespace corvantis::platform {

// Appends lines as new last items (the list box is not sorted), with redrawing held off until
// the whole file is in.
class ListBoxAppender final : public store::ItemSink {
public:
    explicit ListBoxAppender(HWND list);
    ~ListBoxAppender();
    ListBoxAppender(const ListBoxAppender&) = delete;
    ListBoxAppender& operator=(const ListBoxAppender&) = delete;

    void AddItem(std::u16string_view line) override;

private:
    HWND list_;
    std::wstring buffer_;
};

std::u16string ListBoxItem(HWND list, int index);
std::vector<std::u16string> ListBoxItems(HWND list);

} // namespace corvantis::platform
