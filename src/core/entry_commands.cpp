#include "core/entry_commands.h"

namespace corvantis::core {

SaveCheck CheckEditorBoxes(std::u16string_view keywords, std::u16string_view target) {
    if (keywords.empty()) {
        return SaveCheck::EmptyKeyword;
    }
    if (target.empty()) {
        return SaveCheck::EmptyTarget;
    }
    return SaveCheck::Ok;
}

void SaveEditorLine(EntryList& list, LauncherState& state, std::u16string_view line) {
    if (state.mode == EditorMode::Edit && list.Names(state.selected)) {
        list.Replace(state.selected, line);
    } else {
        list.Insert(0, line);
    }
    state.listChanged = true;
}

bool DeleteSelected(EntryList& list, LauncherState& state) {
    if (!list.Names(state.selected)) {
        return false;
    }
    list.Remove(state.selected);
    state.listChanged = true;
    return true;
}

std::optional<EntryParts> EditOpening(const EntryList& list, LauncherState& state) {
    if (!list.Names(state.selected)) {
        return std::nullopt;
    }
    state.mode = EditorMode::Edit;
    state.listChanged = true;
    return SplitEntryLine(list.Item(state.selected));
}

bool DeleteAll(EntryList& list, const EntryFile& file) {
    if (!file.Empty()) {
        return false;
    }
    list.Clear();
    return true;
}

} // namespace corvantis::core
