#pragma once
// The list-changing rules of the entry menu and the entry editor, over any list of entry lines:
// the launcher's list box in the program, a plain vector in the tests.

#include "store/pubstr.h"

#include <optional>
#include <string>
#include <string_view>

namespace corvantis::editing {

// Items are counted from 0; callers pass only indexes below Count() (and up to Count() to
// Insert).
class EntryList {
public:
    virtual int Count() const = 0;
    virtual std::u16string Item(int index) const = 0;
    virtual void Insert(int index, std::u16string_view line) = 0;
    virtual void Remove(int index) = 0;
    virtual void Replace(int index, std::u16string_view line) = 0;
    virtual void Clear() = 0;

protected:
    ~EntryList() = default;
};

// The bytes "删除所有" (delete all) leaves in the entry file: one empty line.
inline constexpr std::string_view kEmptyEntryFile = "\r\n";

enum class SaveCheck { Ok, EmptyKeyword, EmptyTarget };

// The editor's checks before a save, keyword box first: when both boxes are empty only the
// keyword is reported. Only the empty string fails; a box of spaces passes.
SaveCheck CheckEditorBoxes(std::u16string_view keywords, std::u16string_view target);

// The entry line the editor saves: the boxes joined by ":", exactly as typed (nothing trimmed).
std::u16string BuildEntryLine(std::u16string_view keywords, std::u16string_view target);

// The editor's save. In edit mode (EditMode 1) with SelIndex naming an item, the line replaces
// that item; otherwise, in add mode or when SelIndex names no item (-1, or past the end after
// deletions while the editor was open), it becomes the new first item. Sets ListChanged.
void SaveEditorLine(EntryList& list, store::Pubstr& pubstr, std::u16string_view line);

// "删除它" (delete it): removes the item at SelIndex and sets ListChanged. When SelIndex names
// no item nothing changes and false is returned.
bool DeleteSelected(EntryList& list, store::Pubstr& pubstr);

struct EditorBoxes {
    std::u16string keywords;
    std::u16string target;
};

// "编辑它" (edit it): the boxes filled from the item at SelIndex; sets EditMode and ListChanged
// at once, before any save, so that the list is written back on closing even if the editor is
// closed unsaved. When SelIndex names no item nothing changes and nullopt is returned (the
// editor is not opened).
std::optional<EditorBoxes> EditOpening(const EntryList& list, store::Pubstr& pubstr);

// "删除所有" (delete all), once confirmed: replaces the entry file with one empty line and
// clears the list; ListChanged is left as it was. The file is written first and in one step:
// when that fails, the old file stays whole, the list is kept and false is returned, so that no
// entry is lost.
bool DeleteAll(EntryList& list, const std::u16string& entryFilePath);

} // namespace corvantis::editing
