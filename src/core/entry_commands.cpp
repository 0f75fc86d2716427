#include "core/entry_commands.h"

#include "platform/text_compare.h"

namespace corvantis::core {
namespace {

bool HasLineBreak(std::u16string_view text) {
    return text.find_first_of(std::u16string_view(u"\r\n\0", 3)) != std::u16string_view::npos;
}

} // namespace

SaveCheck CheckEditorBoxes(std::u16string_view keywords, std::u16string_view target) {
    if (keywords.empty()) {
        return SaveCheck::EmptyKeyword;
    }
    if (target.empty()) {
        return SaveCheck::EmptyTarget;
    }
    if (HasLineBreak(keywords)) {
        return SaveCheck::KeywordLineBreak;
    }
    if (platform::FindChar(keywords, u':') != std::u16string_view::npos) {
        return SaveCheck::KeywordColon;
    }
    if (HasLineBreak(target)) {
        return SaveCheck::TargetLineBreak;
    }
    return SaveCheck::Ok;
}

void AddOpening(LauncherState& state) {
    state.mode = EditorMode::Add;
    state.editing.reset();
}

std::optional<EntryParts> EditOpening(const EntryList& list, LauncherState& state) {
    if (!list.Names(state.selected)) {
        return std::nullopt;
    }
    state.mode = EditorMode::Edit;
    state.editing = list.IdOf(state.selected);
    state.listChanged = true;
    return SplitEntryLine(list.Item(state.selected));
}

void SaveEditorLine(EntryList& list, LauncherState& state, std::u16string_view line) {
    const std::optional<int> edited = state.mode == EditorMode::Edit && state.editing
                                          ? list.IndexOf(*state.editing)
                                          : std::nullopt;
    if (edited) {
        list.Replace(*edited, line);
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

bool DeleteAll(EntryList& list, EntryFile& file) {
    return file.Empty(list);
}

void ReloadList(EntryList& list, EntryFile& file) {
    if (list.Count() == 0) {
        file.Load(list);
    } else if (const auto stored = file.Read()) {
        list.Append(stored->Decode());
    }
}

} // namespace corvantis::core
