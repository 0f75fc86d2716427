#pragma once
// The launcher's list box seen through the portable list interfaces.

#include "editing/entry_commands.h"
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

// The list box as the entry menu and the editor change it.
class ListBoxEntries final : public editing::EntryList {
public:
    explicit ListBoxEntries(HWND list) : list_(list) {}

    int Count() const override;
    std::u16string Item(int index) const override;
    void Insert(int index, std::u16string_view line) override;
    void Remove(int index) override;
    void Replace(int index, std::u16string_view line) override;
    void Clear() override;

private:
    HWND list_;
};

std::u16string ListBoxItem(HWND list, int index);
std::vector<std::u16string> ListBoxItems(HWND list);

} // namespace corvantis::platform
