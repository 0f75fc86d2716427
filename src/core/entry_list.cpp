#include "core/entry_list.h"

#include "platform/codepage.h"

#include <algorithm>

namespace corvantis::core {

std::u16string EntryList::Item(int index) const {
    const auto at = static_cast<size_t>(index);
    if (KeptAsRead(at)) {
        return file_->Decode(origins_[at].source);
    }
    return texts_.at(ids_[at]);
}

char16_t EntryList::FirstUnit(int index) const {
    const auto at = static_cast<size_t>(index);
    if (KeptAsRead(at)) {
        const std::string_view line = file_->Line(origins_[at].source);
        if (!line.empty() && static_cast<unsigned char>(line.front()) < 0x80) {
            return static_cast<char16_t>(line.front()); // the same in every code page
        }
        // No character takes more than four bytes in any code page.
        constexpr size_t kLongestCharacter = 4;
        const std::u16string first = platform::DecodeCodePage(
            line.substr(0, kLongestCharacter), file_->CodePageOf(origins_[at].source));
        return first.empty() ? u'\0' : first.front();
    }
    const std::u16string& text = texts_.at(ids_[at]);
    return text.empty() ? u'\0' : text.front();
}

std::vector<std::u16string> EntryList::Items() const {
    std::vector<std::u16string> items;
    items.reserve(origins_.size());
    for (int i = 0; i < Count(); ++i) {
        items.push_back(Item(i));
    }
    return items;
}

std::optional<int> EntryList::IndexOf(Id id) const {
    const auto found = std::find(ids_.begin(), ids_.end(), id);
    if (found == ids_.end()) {
        return std::nullopt;
    }
    return static_cast<int>(found - ids_.begin());
}

std::vector<std::u16string_view> EntryList::OwnTexts() const {
    std::vector<std::u16string_view> texts(origins_.size());
    for (size_t at = 0; at < origins_.size(); ++at) {
        if (!KeptAsRead(at)) {
            texts[at] = texts_.at(ids_[at]);
        }
    }
    return texts;
}

void EntryList::Assign(std::shared_ptr<const StoredLines> file, std::span<const size_t> entryOf) {
    file_ = std::move(file);
    const size_t count = file_ ? file_->Count() : 0;
    std::vector<Id> ids(count);
    origins_.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const bool kept = i < entryOf.size() && entryOf[i] < ids_.size();
        ids[i] = kept ? ids_[entryOf[i]] : NewId();
        origins_[i] = {i, false};
    }
    ids_ = std::move(ids);
    texts_.clear();
    if (view_ != nullptr) {
        view_->Cleared();
        view_->Appended(Count());
    }
}

bool EntryList::ShowsUnchanged(const StoredLines* file) const {
    if (file == nullptr) {
        return origins_.empty();
    }
    // The file of an empty list holds one empty line.
    if (origins_.empty() && file->Count() == 1 && file->Line(0).empty()) {
        return true;
    }
    if (origins_.size() != file->Count()) {
        return false;
    }
    for (size_t i = 0; i < origins_.size(); ++i) {
        if (origins_[i].source != i || origins_[i].edited) {
            return false;
        }
    }
    return true;
}

void EntryList::Append(std::vector<std::u16string> lines) {
    const int first = Count();
    origins_.resize(origins_.size() + lines.size());
    for (std::u16string& line : lines) {
        const Id id = NewId();
        ids_.push_back(id);
        texts_.emplace(id, std::move(line));
    }
    if (view_ != nullptr) {
        view_->Appended(Count() - first);
    }
}

void EntryList::Insert(int index, std::u16string_view line) {
    if (index < 0 || index > Count()) {
        return;
    }
    const Id id = NewId();
    origins_.emplace(origins_.begin() + index);
    ids_.insert(ids_.begin() + index, id);
    texts_.emplace(id, line);
    if (view_ != nullptr) {
        view_->Inserted(index);
    }
}

void EntryList::Remove(int index) {
    if (!HasItem(index)) {
        return;
    }
    texts_.erase(IdOf(index));
    origins_.erase(origins_.begin() + index);
    ids_.erase(ids_.begin() + index);
    if (view_ != nullptr) {
        view_->Removed(index);
    }
}

void EntryList::Replace(int index, std::u16string_view line) {
    if (!HasItem(index)) {
        return;
    }
    const auto at = static_cast<size_t>(index);
    origins_[at].edited = true;
    texts_.insert_or_assign(ids_[at], std::u16string(line));
    if (view_ != nullptr) {
        view_->Replaced(index);
    }
}

void EntryList::Clear() {
    origins_.clear();
    ids_.clear();
    texts_.clear();
    if (view_ != nullptr) {
        view_->Cleared();
    }
}

} // namespace corvantis::core
