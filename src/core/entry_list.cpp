#include "core/entry_list.h"

#include <iterator>

namespace corvantis::core {

void EntryList::Append(std::vector<std::u16string> lines) {
    const size_t first = lines_.size();
    if (lines_.empty()) {
        lines_ = std::move(lines);
    } else {
        lines_.insert(lines_.end(), std::make_move_iterator(lines.begin()),
                      std::make_move_iterator(lines.end()));
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
    if (view_ != nullptr) {
        view_->Inserted(index, line);
    }
}

void EntryList::Remove(int index) {
    if (!Names(index)) {
        return;
    }
    lines_.erase(lines_.begin() + index);
    if (view_ != nullptr) {
        view_->Removed(index);
    }
}

void EntryList::Replace(int index, std::u16string_view line) {
    if (!Names(index)) {
        return;
    }
    lines_[static_cast<size_t>(index)] = line;
    if (view_ != nullptr) {
        view_->Replaced(index, line);
    }
}

void EntryList::Clear() {
    lines_.clear();
    if (view_ != nullptr) {
        view_->Cleared();
    }
}

} // namespace corvantis::core
