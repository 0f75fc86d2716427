#pragma once
// The entry file: data.txt beside the program, one entry per line, CR LF line ends (a lone CR or
// LF ends a line too). Its text is in the system's ANSI code page, or UTF-8: after a byte-order
// mark, or without one when the file is valid UTF-8 and not plain ASCII (a file of the code page
// may hold lines of UTF-8 too, see LineCodePage). Every line the user did not touch is written
// back byte for byte, and reads back as the text it was read as; the file moves to UTF-8 with a
// byte-order mark only when a new or edited line cannot be represented otherwise, or when the
// bytes of an untouched line would read back as other text.

#include "core/line_merge.h"
#include "core/stored_lines.h"
#include "platform/file.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvantis::core {

enum class LoadOutcome { Loaded, Missing, Unreadable };

// The file's lines as this copy last read or wrote them, held by the file and by the list that
// shows them; null when nothing is known of them.
using KnownLines = std::shared_ptr<const StoredLines>;

struct Loaded {
    LoadOutcome outcome;
    KnownLines lines; // an empty file's for a missing one, null for an unreadable one
};

// This copy's entries, for a save: where each comes from, and the text of each new or edited
// one (the others are written as read; their texts are not looked at).
struct OwnLines {
    std::span<const OurLine> origins;
    std::span<const std::u16string_view> texts;
};

// What a save wrote: the file's lines as the list now shows them (null for the empty list, which
// the file holds as one empty line), and for each the entry of the saved list it is, kNoLine for
// a line the list did not hold.
struct Saved {
    KnownLines lines;
    std::vector<size_t> entryOf;
};

using platform::WriteFault;

// A save's answer: what it wrote, or nothing and why.
struct SaveOutcome {
    std::optional<Saved> saved;
    WriteFault fault = WriteFault::Other; // when nothing was saved
};

// data.txt, the one owner of the file: its path and the system's code page are given once at
// start-up, and every read and write of the entries goes through here. It remembers what it last
// read or wrote, so that a save carries the list's changes over to whatever the file holds by
// then (an outside edit, another copy's save) instead of writing the list over it. It answers
// with values; the launcher decides what its list shows.
//
// Writers meet: copies of the program that save one file (through links too) take turns, and a
// save re-reads, merges and replaces under an inter-process lock; a writer that takes no lock
// and comes in between sends the save back to read and merge again, and one that goes on
// writing the old file through the replace has its change merged into the new one. A file is
// taken as it is only once it has settled (no program holds it open for writing, and one
// written in place has kept its size and time for a while), so that one another program is
// rewriting, however it pauses, is never read half-written; a file emptied while this copy knew
// lines in it is taken as gone, and gets the list whole.
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

    // The file's lines, once settled. A missing file has none; nothing is known of one that
    // cannot be read (or is not a regular file, or does not settle) until a later load or save
    // reads it.
    Loaded Load();

    // Writes `own`, the changes of a list that showed Known(), merged with what the file holds
    // now, in one step; when that is what the file holds already, nothing is written. Nothing is
    // saved, with the file as it was, when it cannot be read or written, is read-only or not a
    // regular file, does not settle, or stays taken by another writer.
    SaveOutcome Save(const OwnLines& own);

    // What "删除所有" (delete all) leaves: one empty line, written in one step. Why not, with
    // the file as it was, when it cannot be written; nullopt when written.
    std::optional<WriteFault> WriteEmpty();

    // The lines as last read or written; null when nothing is known of them.
    const StoredLines* Known() const { return known_.get(); }

    // The file's lines once it changed and has settled (a file still being written is looked
    // at again on the next call); null when it did not change, cannot be read now, or was
    // emptied. Asked only while the list shows Known() with no change of its own: what it
    // returns is known from then on.
    KnownLines Follow();

private:
    // Whether the file may have changed since this copy last read or wrote it.
    bool ChangedOnDisk() const;
    // Merges `own`, the changes of a list that showed `known`, into `now` (the settled file) and
    // replaces the file with the result unless it changed since it was read.
    platform::Replace SaveOver(const StoredLines* known, const OwnLines& own,
                               platform::FileContent now, Saved& saved);
    void Remember(std::string bytes);

    std::u16string path_;
    unsigned codePage_;
    KnownLines known_;
    std::optional<platform::FileStamp> stamp_;
    // What the last Follow read when the file had not settled: the next one takes the file if
    // it still holds the same.
    std::optional<std::string> unsettled_;
};

} // namespace corvantis::core
