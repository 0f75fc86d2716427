#pragma once
// The entries as the program holds them while it runs: the lines of the entry file in file
// order, new entries added at the top. Each entry remembers where it came from (a line of the
// file as this copy last read or wrote it, kept or edited, or a new line), so that a save can
// carry this copy's changes over to what the file holds by then; and each has an id that stays
// with it while others come and go. A line kept as read stays the file's bytes until its text is
// asked for, so the list costs little more than the file whatever its size. A view (the
// launcher's list box) is told of every change, so it only ever shows; it is never read back.

#include "core/line_merge.h"
#include "core/stored_lines.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvantis::core {

class EntryListView {
public:
    // `count` new last items. Every change is told after it is made, so the list has it.
    virtual void Appended(int count) = 0;
    virtual void Inserted(int index) = 0;
    virtual void Removed(int index) = 0;
    virtual void Replaced(int index) = 0;
    virtual void Cleared() = 0;

protected:
    ~EntryListView() = default;
};

// Items are counted from 0; an index outside the list changes nothing.
class EntryList {
public:
    using Id = std::uint64_t;

    EntryList() = default;
    explicit EntryList(EntryListView& view) : view_(&view) {}
    EntryList(const EntryList&) = delete;
    EntryList& operator=(const EntryList&) = delete;

    // From now on `view` (nullptr for none) is told of every change; it shows the list as it is
    // now.
    void SetView(EntryListView* view) { view_ = view; }

    int Count() const { return static_cast<int>(origins_.size()); }
    bool HasItem(int index) const { return index >= 0 && index < Count(); }
    std::u16string Item(int index) const;
    // The first code unit of the item's text (0 for an empty one), without decoding the rest.
    char16_t FirstUnit(int index) const;
    std::vector<std::u16string> Items() const;
    std::span<const OurLine> Origins() const { return origins_; }
    // The text of each new or edited entry, by index; empty for the lines kept as read. The
    // views last until the list changes.
    std::vector<std::u16string_view> OwnTexts() const;
    Id IdOf(int index) const { return ids_[static_cast<size_t>(index)]; }
    std::optional<int> IndexOf(Id id) const;

    // The file's lines as read or written (none for no file): line i of the list is line i of
    // the file. Where `entryOf` names the item of this list that a line was (one per line,
    // kNoLine for none), the line keeps that item's id.
    void Assign(std::shared_ptr<const StoredLines> file, std::span<const size_t> entryOf = {});
    // Whether the list shows `file` (its lines as last read or written; null when nothing is
    // known of them) with no change of its own.
    bool ShowsUnchanged(const StoredLines* file) const;

    // New last items, in order.
    void Append(std::vector<std::u16string> lines);
    // `index` may be Count(): a new last item.
    void Insert(int index, std::u16string_view line);
    void Remove(int index);
    void Replace(int index, std::u16string_view line);
    void Clear();

private:
    Id NewId() { return nextId_++; }
    // Whether the item is a line of the file as read, which the list holds as its bytes alone.
    bool KeptAsRead(size_t at) const {
        return origins_[at].source != kNoLine && !origins_[at].edited;
    }

    std::shared_ptr<const StoredLines> file_;
    std::vector<OurLine> origins_;
    std::vector<Id> ids_;
    // The text of each new or edited entry; the others are lines of the file.
    std::unordered_map<Id, std::u16string> texts_;
    Id nextId_ = 1;
    EntryListView* view_ = nullptr;
};

} // namespace corvantis::core
