#pragma once
// The list-changing rules of the entry menu and the entry editor.

#include "core/entry_file.h"
#include "core/entry_list.h"
#include "core/launcher_state.h"

#include <optional>
#include <string>
#include <string_view>

namespace corvantis::core {

enum class SaveCheck {
    Ok,
    EmptyKeyword,
    EmptyTarget,
    KeywordLineBreak, // CR, LF or NUL: the line would break apart
    KeywordColon,     // the first colon divides the line, so keywords cannot hold one
    TargetLineBreak,
};

// The editor's checks before a save, the keyword box first: only the first failure is reported.
// A box of spaces passes; so does a target with colons of its own.
SaveCheck CheckEditorBoxes(std::u16string_view keywords, std::u16string_view target);

// "新增一个" (add one): the editor opens in add mode.
void AddOpening(LauncherState& state);

// "编辑它" (edit it): the editor's boxes filled from the selected item, which the editor then
// edits wherever it moves; sets edit mode and marks the list changed at once, before any save,
// so that the list is written back on closing even if the editor is closed unsaved. When
// `selected` names no item nothing changes and nullopt is returned (the editor is not opened).
std::optional<EntryParts> EditOpening(const EntryList& list, LauncherState& state);

// The editor's save. In edit mode the line replaces the entry the editor was opened on, wherever
// it now is; in add mode, or when that entry is gone, it becomes the new first item. Marks the
// list changed.
void SaveEditorLine(EntryList& list, LauncherState& state, std::u16string_view line);

// "删除它" (delete it): removes the selected item and marks the list changed. When `selected`
// names no item nothing changes and false is returned.
bool DeleteSelected(EntryList& list, LauncherState& state);

// "删除所有" (delete all), once confirmed: empties the entry file, then the list; the changed mark
// is left as it was. The file is written first and in one step: when that fails, the old file
// stays whole, the list is kept and false is returned, so that no entry is lost.
bool DeleteAll(EntryList& list, EntryFile& file);

// "载入" (reload): an empty list shows the file; a list with entries gets the file's lines
// added again, as new entries at its end. A file that cannot be read adds nothing.
void ReloadList(EntryList& list, EntryFile& file);

} // namespace corvantis::core
