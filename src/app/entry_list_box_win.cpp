#include "app/entry_list_box_win.h"

#include <cstdint>

namespace corvantis::app {
namespace {

// How long an items request waits for the requester to take the items.
constexpr UINT kItemsTimeoutMs = 5000;

} // namespace

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
    itemsRequest_ = RegisterWindowMessageW(kItemsRequest);
    if (itemsRequest_ == 0) {
        platform::Trace(
            L"RegisterWindowMessageW failed: the list's items cannot be read from outside");
    }
    SetCount(entries.Count());
    return true;
}

void EntryListBox::AcceptDrops(platform::DropCallback onDrop) {
    drops_.Register(Hwnd(), std::move(onDrop));
}

void EntryListBox::Appended(int) {
    SetCount(entries_->Count());
}

std::optional<LRESULT> EntryListBox::Before(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == itemsRequest_ && itemsRequest_ != 0) {
        return SendItems(reinterpret_cast<HWND>(wParam)) ? TRUE : FALSE;
    }
    return ListBox::Before(message, wParam, lParam);
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
    return SendMessageTimeoutW(requester, WM_COPYDATA, reinterpret_cast<WPARAM>(Hwnd()),
                               reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, kItemsTimeoutMs,
                               &answer) != 0;
}

} // namespace corvantis::app
