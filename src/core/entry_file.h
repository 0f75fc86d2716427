#pragma once
// The entry file: data.txt beside the program, one entry per line, CR LF line ends (a lone CR or
// LF ends a line too). Its text is in the system's ANSI code page, or UTF-8: after a byte-order
// mark, or without one when the file is valid UTF-8 and not plain ASCII. Every line the user did
// not touch is written back byte for byte in the form it was read in; the file moves to UTF-8
// with a byte-order mark only when a new or edited line cannot be represented otherwise.

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
// and their form (the text is then theirs decoded).
struct LineToWrite {
    std::u16string_view text;
    std::optional<std::string_view> stored;
    TextForm storedForm = TextForm::CodePage;
};

// The bytes of a file that holds `lines`, each followed by CR LF (no lines give one CR LF), in
// `form` where that holds every line exactly and untouched lines keep their bytes; otherwise
// UTF-8 after a byte-order mark. Bytes that would read back in another form than they were
// written in (code-page text that begins with a byte-order mark's bytes, or that is valid UTF-8)
// are written as UTF-8 with a byte-order mark instead, so the file reads back as it was meant.
std::string EncodeLines(std::span<const LineToWrite> lines, TextForm form, unsigned codePage);

// New lines only, in the code page where it holds them all, else UTF-8 after a byte-order mark.
std::string EncodeEntryLines(std::span<const std::u16string> lines, unsigned codePage);

enum class LoadOutcome { Loaded, Missing, Unreadable };

// data.txt, the one owner of the file: its path and the system's code page are given once at
// start-up, and every read and write of the entries goes through here. It remembers what it last
// read or wrote, so that a save carries the list's changes over to whatever the file holds by
// then (an outside edit, another copy's save) instead of writing the list over it.
class EntryFile {
public:
    EntryFile(std::u16string path, unsigned codePage);

    // The file in `folder`, which has no trailing backslash.
    static EntryFile InFolder(std::u16string_view folder, unsigned codePage);

    const std::u16string& Path() const { return path_; }

    // The file as stored now; nullopt when it cannot be opened or read. Remembers nothing.
    std::optional<StoredLines> Read() const;
    // The same as bytes alone, for a reader that goes through them once.
    std::optional<std::string> ReadBytes() const;
    // The system's code page: text not in UTF-8 is read and written in it.
    unsigned CodePage() const { return codePage_; }

    // The list shows the file's lines. A missing file gives an empty list; one that cannot be
    // read too, and nothing is known of its lines until a later load or save reads them.
    LoadOutcome Load(EntryList& list);

    // Writes the list's changes to the file, merged with what it holds now, in one step; the
    // list then shows the file. False, with the file and the list as they were, when the file
    // cannot be read or written.
    bool Save(EntryList& list);

    // What "删除所有" (delete all) leaves: one empty line, written in one step; then the list is
    // emptied. False, with both as they were, when the file cannot be written.
    bool Empty(EntryList& list);

    // Whether the file may have changed since this copy last read or wrote it.
    bool ChangedOnDisk() const;

    // When the file changed and the list has no change of its own, the list shows the file as it
    // is now; a file that cannot be read now leaves both as they are. True when the list changed.
    bool Follow(EntryList& list);

    // Whether the list shows the file as last read or written, with no change of its own.
    bool ListShowsFile(const EntryList& list) const;

private:
    bool Write(std::string bytes);

    std::u16string path_;
    unsigned codePage_;
    // What the file held when last read or written, shared with the list that shows its lines;
    // null when it could not be read.
    std::shared_ptr<const StoredLines> known_;
    std::optional<platform::FileStamp> stamp_;
};

} // namespace corvantis::core
