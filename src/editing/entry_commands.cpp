#include "editing/entry_commands.h"

#include "editing/entry_part.h"
#include "platform/file.h"

namespace corvantis::editing {
namespace {

bool NamesItem(const EntryList& list, int index) {
    return index >= 0 && index < list.Count();
}

} // namespace

SaveCheck CheckEditorBoxes(std::u16string_view keywords, std::u16string_view target) {
    if (keywords.empty()) {
        return SaveCheck::EmptyKeyword;
    }
    if (target.empty()) {
        return SaveCheck::EmptyTarget;
    }
    return SaveCheck::Ok;
}

std::u16string BuildEntryLine(std::u16string_view keywords, std::u16string_view target) {
    std::u16string line;
    line.reserve(keywords.size() + 1 + target.size());
    line.append(keywords).append(1, u':').append(target);
    return line;
}

void SaveEditorLine(EntryList& list, store::Pubstr& pubstr, std::u16string_view line) {
    if (pubstr.EditMode == 1 && NamesItem(list, pubstr.SelIndex)) {
        list.Replace(pubstr.SelIndex, line);
    } else {
        list.Insert(0, line);
    }
    pubstr.ListChanged = 1;
}

bool DeleteSelected(EntryList& list, store::Pubstr& pubstr) {
    if (!NamesItem(list, pubstr.SelIndex)) {
        return false;
    }
    list.Remove(pubstr.SelIndex);
    pubstr.ListChanged = 1;
    return true;
}

std::optional<EditorBoxes> EditOpening(const EntryList& list, store::Pubstr& pubstr) {
    if (!NamesItem(list, pubstr.SelIndex)) {
        return std::nullopt;
    }
    const std::u16string line = list.Item(pubstr.SelIndex);
    pubstr.EditMode = 1;
    pubstr.ListChanged = 1;
    return EditorBoxes{EntryPart(line, u"l"), EntryPart(line, u"r")};
}

bool DeleteAll(EntryList& list, const std::u16string& entryFilePath) {
    if (!platform::WriteFileAtomically(entryFilePath, kEmptyEntryFile)) {
        return false;
    }
    list.Clear();
    return true;
}

} // namespace corvantis::editing
