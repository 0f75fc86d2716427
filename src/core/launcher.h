#pragma once
// The launcher's session: the entry file beside the program, the entries the program shows while
// it runs, and whether closing must write them back. The windows raise what the user does, with
// its arguments, and show what the session answers; nothing here needs a window.

#include "core/command_line.h"
#include "core/entry_file.h"
#include "core/entry_line.h"
#include "core/entry_list.h"
#include "core/keyword_match.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvantis::core {

// What "编辑它" (edit it) opens the editor on: the entry, which it edits wherever it moves, and
// its line divided at the first colon.
struct EditOpening {
    EntryList::Id id;
    EntryParts parts;
};

// What a request matched, before any word of its targets is looked up.
struct Matched {
    Targets targets; // as the entry lines hold them, in file order
    // Present only when the request holds a space.
    std::optional<std::u16string> query;
    // Where the shell opens them, and where the words of a target are looked for.
    std::u16string folder;
};

// What `matched` opens, one launch per target in file order. Looks up the words of each target
// (a file, a folder, a program on the search path), which takes as long as the slowest place
// they name answers (a share that does not answer holds it for many seconds): never on the
// thread of a window.
std::vector<Launch> Resolve(const Matched& matched);

// Indexes are counted from 0; one that names no item (-1 for "none selected") changes nothing.
class Launcher {
public:
    // The session of the program in `folder`, whose entries `file` holds.
    Launcher(std::u16string folder, EntryFile file);

    // A relative target is opened here, beside the program and its data.txt.
    const std::u16string& Folder() const { return folder_; }
    const EntryList& Entries() const { return entries_; }
    // From now on `view` is told of every change of the entries; nullptr for none.
    void Show(EntryListView* view) { entries_.SetView(view); }

    // The list shows the file. A missing file gives an empty list; so does an unreadable one,
    // whose entries the list shows once a later tick can read it.
    LoadOutcome Load();

    // What the request `text` matches in the file as it is now. Nothing of a target is looked up
    // yet: Resolve does that, away from the window.
    Matched Match(std::u16string_view text) const;

    // The editor's save of a new entry: it comes first in the list.
    void Add(std::u16string_view line);
    // The editor's save in edit mode: the line replaces entry `id` wherever it now is; when that
    // entry is gone, it comes first as a new one.
    void Edit(EntryList::Id id, std::u16string_view line);
    // "编辑它": the entry at `index`. Marks the list changed at once, before any save, so that
    // closing writes it back even when the editor is closed unsaved.
    std::optional<EditOpening> OpenEdit(int index);
    // "删除它": false when `index` names no entry.
    bool Delete(int index);
    // "删除所有", once confirmed: the file is emptied first, in one step, then the list; why not,
    // with both as they were, when the file cannot be written. Marks nothing.
    std::optional<WriteFault> DeleteAll();
    // "载入": an empty list shows the file; one with entries gets the file's lines again, as new
    // entries at its end. "清空" empties the list; the file is untouched. Neither marks anything.
    void Reload();
    void Clear() { entries_.Clear(); }
    // "保存": the list's changes merged into what the file holds now; why not, with both as they
    // were, when the file cannot be read or written.
    std::optional<WriteFault> Save();

    // Closing writes back a list that a delete, an edit or a save marked as changed. Nullopt:
    // the program ends. Otherwise why the write failed: the list stays, so that the user can fix
    // the cause and close again, or keep the list in a file of its own (WriteCopy).
    std::optional<WriteFault> Close();
    // The list, as a file of its own at `path`, which must be new: data.txt is not touched. False
    // when the file is there already or cannot be written.
    bool WriteCopy(const std::u16string& path) const;
    const std::u16string& FilePath() const { return file_.Path(); }
    // While the list has no change of its own, it follows outside changes of the file. True
    // when the list changed.
    bool FollowFile();

private:
    // The list's changes merged into the file.
    SaveOutcome Write();

    std::u16string folder_;
    EntryFile file_;
    EntryList entries_;
    // Set by the commands whose changes closing keeps; never reset.
    bool changed_ = false;
};

} // namespace corvantis::core
