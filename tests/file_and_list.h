#pragma once
// An entry file and a list that shows it, joined as the launcher joins them: the list shows
// what the file answers. For tests and benchmarks of the file's reads and writes through a list
// changed at will.

#include "core/entry_file.h"
#include "core/entry_list.h"

namespace corvantis::testing {

inline core::LoadOutcome Load(core::EntryFile& file, core::EntryList& list) {
    core::Loaded loaded = file.Load();
    list.Assign(std::move(loaded.lines));
    return loaded.outcome;
}

inline bool Save(core::EntryFile& file, core::EntryList& list) {
    const std::vector<std::u16string_view> texts = list.OwnTexts();
    const core::SaveOutcome outcome = file.Save({list.Origins(), texts});
    if (outcome.saved) {
        list.Assign(outcome.saved->lines, outcome.saved->entryOf);
    }
    return outcome.saved.has_value();
}

inline bool WriteEmpty(core::EntryFile& file, core::EntryList& list) {
    const bool written = !file.WriteEmpty();
    if (written) {
        list.Assign(nullptr);
    }
    return written;
}

// The list follows the file while it has no change of its own; true when it changed.
inline bool Follow(core::EntryFile& file, core::EntryList& list) {
    if (!list.ShowsUnchanged(file.Known())) {
        return false;
    }
    core::KnownLines now = file.Follow();
    if (!now) {
        return false;
    }
    list.Assign(std::move(now));
    return true;
}

} // namespace corvantis::testing
