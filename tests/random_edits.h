#pragma once
// Changes made to the program's list as a user makes them, at random places: for tests that hold
// a save or a merge to what a reference gives for any changes.

#include "core/entry_list.h"

#include <concepts>
#include <random>
#include <string_view>

namespace corvantis::testing {

// `changes` times, counting down: an entry removed, one replaced by `edited(change)`, or
// `added(change)` inserted, each at a random place (one past the end included, where nothing is
// removed or replaced).
template <std::invocable<int> Edited, std::invocable<int> Added>
void EditAtRandom(core::EntryList& list, std::mt19937& random, int changes, Edited&& edited,
                  Added&& added) {
    for (; changes > 0; --changes) {
        const int at = static_cast<int>(random() % static_cast<unsigned>(list.Count() + 1));
        switch (random() % 3) {
        case 0:
            list.Remove(at);
            break;
        case 1:
            list.Replace(at, edited(changes));
            break;
        default:
            list.Insert(at, added(changes));
        }
    }
}

// The same with one text for every edit and one for every new entry.
inline void EditAtRandom(core::EntryList& list, std::mt19937& random, int changes,
                         std::u16string_view edited, std::u16string_view added) {
    EditAtRandom(
        list, random, changes, [edited](int) { return edited; }, [added](int) { return added; });
}

} // namespace corvantis::testing
