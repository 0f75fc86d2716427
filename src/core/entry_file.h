#pragma once
// The entry file: data.txt beside the program, one entry per line, CR LF line ends (a lone CR or
// LF ends a line too). Its text is in the system's ANSI code page, or UTF-8: after a byte-order
// mark, or without one when the file is valid UTF-8 and not plain ASCII (a file of the code page
// may hold lines of UTF-8 too, see LineCodePage). Every line the user did not touch is written
// back byte for byte, and reads back as the text it was read as; the file moves to UTF-8 with a
// byte-order mark only when a new or edited line cannot be represented otherwise, or when the
// bytes of an untouched line would read back as other text.

#include "core/entry_line.h"
#include "core/entry_list.h"
#include "core/stored_lines.h"
#include "platform/file.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvantis::core {

// A line to write: its text, or for a line untouched since it was read, the bytes it was read as
// and the form of the file it was read from (the text is then the bytes decoded as that file
// reads them).
struct LineToWrite {
    std::u16string_view text;
    std::optional<std::string_view> stored;
    TextForm storedForm = TextForm::CodePage;
};

// The bytes of a file that holds `lines`, each followed by CR LF (no lines give one CR LF), in
// `form` where that holds every line exactly and untouched lines keep their bytes; otherwise
// UTF-8 after a byte-order mark. The file always reads back as the lines' texts: where bytes
// would read as other text (code-page text that begins with a byte-order mark's bytes, or a file
// of code-page text that has become valid UTF-8 as a whole), the file is written as UTF-8 with a
// byte-order mark instead, the untouched lines that would not read back encoded from their text.
std::string EncodeLines(std::span<const LineToWrite> lines, TextForm form, unsigned codePage);

// New lines only, in the code page where it holds them all, else UTF-8 after a byte-order mark.
std::string EncodeEntryLines(std::span<const std::u16string> lines, unsigned codePage);

enum class LoadOutcome { Loaded, Missing, Unreadable };

// data.txt, the one owner of the file: its path and the system's code page are given once at
// start-up, and every read and write of the entries goes through here. It remembers what it last
// read or wrote, so that a save carries the list's changes over to whatever the file holds by
// then (an outside edit, another copy's save) instead of writing the list over it.
//
// Writers meet: copies of the program that save one file (through links too) take turns, and a
// save re-reads, merges and replaces under an inter-process lock; a writer that takes no lock
// and comes in between sends the save back to read and merge again. A file is taken as it is
// only once it has settled, so that one another program is rewriting in place is never read
// half-written; a file emptied while this copy knew lines in it is taken as gone, and gets the
// list whole.
class EntryFile {
public:
    EntryFile(std::u16string path, unsigned codePage);

    // The file in `folder`, which has no trailing backslash.
    static EntryFile InFolder(std::u16string_view folder, unsigned codePage);

    const std::u16string& Path() const { return path_; }

    // The file as stored now, once settled; nullopt when it cannot be opened or read, is not a
    // regular file, or does not settle. Remembers nothing.
    std::optional<StoredLines> Read() const;
    // The file's bytes as they are, for a reader that goes through them once.
    std::optional<std::string> ReadBytes() const;
    // The system's code page: text not in UTF-8 is read and written in it.
    unsigned CodePage() const { return codePage_; }

    // The list shows the file's lines, once settled. A missing file gives an empty list; one
    // that cannot be read (or is not a regular file, or does not settle) too, and nothing is
    // known of its lines until a later load or save reads them.
    LoadOutcome Load(EntryList& list);

    // Writes the list's changes to the file, merged with what it holds now, in one step; the
    // list then shows the file. False, with the file and the list as they were, when the file
    // cannot be read or written, is read-only or not a regular file, does not settle, or stays
    // taken by another writer.
    bool Save(EntryList& list);

    // What "删除所有" (delete all) leaves: one empty line, written in one step; then the list is
    // emptied. False, with both as they were, when the file cannot be written.
    bool Empty(EntryList& list);

    // Whether the file may have changed since this copy last read or wrote it.
    bool ChangedOnDisk() const;

    // When the file changed and the list has no change of its own, the list shows the file as it
    // is now, once it has settled (a file still being written is looked at again on the next
    // call); a file that cannot be read now, or that was emptied, leaves both as they are. True
    // when the list changed.
    bool Follow(EntryList& list);

    // Whether the list shows the file as last read or written, with no change of its own.
    bool ListShowsFile(const EntryList& list) const;

private:
    // Merges the list's changes into `now` (the settled file) and replaces the file with the
    // result unless it changed since it was read.
    platform::ReplaceOutcome SaveOver(EntryList& list, platform::FileContent now);
    void Remember(std::string bytes);

    std::u16string path_;
    unsigned codePage_;
    // What the file held when last read or written, shared with the list that shows its lines;
    // null when it could not be read.
    std::shared_ptr<const StoredLines> known_;
    std::optional<platform::FileStamp> stamp_;
    // What the last Follow read when the file had not settled: the next one takes the file if
    // it still holds the same.
    std::optional<std::string> unsettled_;
};

} // namespace corvantis::core
