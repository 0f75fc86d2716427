#pragma once
// What closing the launcher does with the list: a changed list is written back first, and the
// program ends only when nothing would be lost by ending.

#include "core/launcher_state.h"

namespace corvantis::core {

enum class CloseOutcome {
    End,         // nothing to write, or written: the program ends
    KeepRunning, // the write failed: the list stays so the user can fix the cause and close again
};

// `save` writes the list back and says whether it could; it runs only for a changed list.
template <typename Save> CloseOutcome CloseLauncher(const LauncherState& state, Save&& save) {
    if (state.listChanged && !save()) {
        return CloseOutcome::KeepRunning;
    }
    return CloseOutcome::End;
}

} // namespace corvantis::core
