#include "core/entry_list.h"

#include <algorithm>
#include <iterator>

namespace corvantis::core {

std::optional<int> EntryList::IndexOf(Id id) const {
    const auto found = std::find(ids_.begin(), ids_.end(), id);
    if (found == ids_.end()) {
        return std::nullopt;
    }
    return static_cast<int>(found - ids_.begin());
}

void EntryList::Assign(std::vector<std::u16string> lines, std::span<const Id> keep) {
    lines_ = std::move(lines);
    origins_.resize(lines_.size());
    ids_.resize(lines_.size());
    for (size_t i = 0; i < lines_.size(); ++i) {
        origins_[i] = {i, false};
        ids_[i] = i < keep.size() && keep[i] != 0 ? keep[i] : NewId();
    }
    if (view_ != nullptr) {
        view_->Cleared();
        view_->Appended(lines_);
    }
}

bool EntryList::Untouched(size_t fileLines) const {
    if (origins_.size() != fileLines) {
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
    const size_t first = lines_.size();
    lines_.insert(lines_.end(), std::make_move_iterator(lines.begin()),
                  std::make_move_iterator(lines.end()));
    origins_.resize(lines_.size());
    for (size_t i = first; i < lines_.size(); ++i) {
        ids_.push_back(NewId());
    }
    if (view_ != nullptr) {
        view_->Appended(std::span(lines_).subspan(first));
    }
}

void EntryList::Insert(int index, std::u16string_view line) {
    if (index < 0 || index > Count()) {
        return;
    }
    lines_.emplace(lines_.begin() + index, line);
    origins_.emplace(origins_.begin() + index);
    ids_.insert(ids_.begin() + index, NewId());
    if (view_ != nullptr) {
        view_->Inserted(index, line);
    }
}

void EntryList::Remove(int index) {
    if (!Names(index)) {
        return;
    }
    lines_.erase(lines_.begin() + index);
    origins_.erase(origins_.begin() + index);
    ids_.erase(ids_.begin() + index);
    if (view_ != nullptr) {
        view_->Removed(index);
    }
}

void EntryList::Replace(int index, std::u16string_view line) {
    if (!Names(index)) {
        return;
    }
    const auto at = static_cast<size_t>(index);
    lines_[at] = line;
    origins_[at].edited = true;
    if (view_ != nullptr) {
        view_->Replaced(index, line);
    }
}

void EntryList::Clear() {
    lines_.clear();
    origins_.clear();
    ids_.clear();
    if (view_ != nullptr) {
        view_->Cleared();
    }
}

} // namespace corvantis::core
