#pragma once
// The entries as the program holds them while it runs: the lines of the entry file in file
// order, new entries added at the top. A view (the launcher's list box) is told of every change,
// so it only ever shows; it is never read back.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvantis::core {

class EntryListView {
public:
    virtual void Appended(std::span<const std::u16string> lines) = 0;
    virtual void Inserted(int index, std::u16string_view line) = 0;
    virtual void Removed(int index) = 0;
    virtual void Replaced(int index, std::u16string_view line) = 0;
    virtual void Cleared() = 0;

protected:
    ~EntryListView() = default;
};

// Items are counted from 0; an index outside the list changes nothing.
class EntryList {
public:
    EntryList() = default;
    explicit EntryList(EntryListView& view) : view_(&view) {}
    EntryList(const EntryList&) = delete;
    EntryList& operator=(const EntryList&) = delete;

    int Count() const { return static_cast<int>(lines_.size()); }
    bool Names(int index) const { return index >= 0 && index < Count(); }
    const std::u16string& Item(int index) const { return lines_[static_cast<size_t>(index)]; }
    std::span<const std::u16string> Lines() const { return lines_; }

    // New last items, in order.
    void Append(std::vector<std::u16string> lines);
    // `index` may be Count(): a new last item.
    void Insert(int index, std::u16string_view line);
    void Remove(int index);
    void Replace(int index, std::u16string_view line);
    void Clear();

private:
    std::vector<std::u16string> lines_;
    EntryListView* view_ = nullptr;
};

} // namespace corvantis::core
