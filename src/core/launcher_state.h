#pragma once
// What the launcher, the entry menu and the editor share for the whole run. Widths are those of
// int: lists of more than 32,767 entries work like small ones.

#include "core/entry_list.h"

#include <optional>

namespace corvantis::core {

enum class EditorMode { Add, Edit };

struct LauncherState {
    // Set once the list was changed and must be written back on closing; never reset.
    bool listChanged = false;
    // Index of the list item selected when the entry menu last popped up; -1 for none.
    int selected = 0;
    // How the editor was last opened.
    EditorMode mode = EditorMode::Add;
    // The entry the editor was opened on in edit mode, wherever it is by the time of saving.
    std::optional<EntryList::Id> editing;
};

} // namespace corvantis::core
