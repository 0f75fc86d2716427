#pragma once
// The list-changing rules of the entry menu and the entry editor.

#include "core/entry_file.h"
#include "core/entry_list.h"
#include "core/launcher_state.h"

#include <optional>
#include <string>
#include <string_view>

namespace corvantis::core {

enum class SaveCheck { Ok, EmptyKeyword, EmptyTarget };

// The editor's checks before a save, keyword box first: when both boxes are empty only the
// keyword is reported. Only the empty string fails; a box of spaces passes.
SaveCheck CheckEditorBoxes(std::u16string_view keywords, std::u16string_view target);

// The editor's save. In edit mode with `selected` naming an item, the line replaces that item;
// otherwise, in add mode or when `selected` names no item (-1, or past the end after deletions
// while the editor was open), it becomes the new first item. Marks the list changed.
void SaveEditorLine(EntryList& list, LauncherState& state, std::u16string_view line);

// "删除它" (delete it): removes the selected item and marks the list changed. When `selected`
// names no item nothing changes and false is returned.
bool DeleteSelected(EntryList& list, LauncherState& state);

// "编辑它" (edit it): the editor's boxes filled from the selected item; sets edit mode and marks
// the list changed at once, before any save, so that the list is written back on closing even if
// the editor is closed unsaved. When `selected` names no item nothing changes and nullopt is
// returned (the editor is not opened).
std::optional<EntryParts> EditOpening(const EntryList& list, LauncherState& state);

// "删除所有" (delete all), once confirmed: empties the entry file, then the list; the changed mark
// is left as it was. The file is written first and in one step: when that fails, the old file
// stays whole, the list is kept and false is returned, so that no entry is lost.
bool DeleteAll(EntryList& list, const EntryFile& file);

} // namespace corvantis::core
