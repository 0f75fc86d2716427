#pragma once
// The entry file: data.txt beside the program, one entry per line, CR LF line ends (a lone CR or
// LF ends a line too). Its text is in the system's ANSI code page, or UTF-8: after a byte-order
// mark, or without one when the file is valid UTF-8 and not plain ASCII. Every line the user did
// not touch is written back byte for byte in the form it was read in; the file moves to UTF-8
// with a byte-order mark only when a new or edited line cannot be represented otherwise.

#include "core/entry_line.h"
#include "core/entry_list.h"
#include "platform/file.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvantis::core {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

enum class TextForm { CodePage, Utf8, Utf8Bom };

// The file's bytes as read, cut into lines, and the form of their text.
class StoredLines {
public:
    StoredLines(std::string bytes, unsigned codePage);

    TextForm Form() const { return form_; }
    // The code page the lines decode with: the system's, or UTF-8.
    unsigned CodePage() const { return codePage_; }

    size_t Count() const { return lines_.size(); }
    std::string_view Line(size_t index) const {
        return std::string_view(bytes_).substr(lines_[index].first, lines_[index].second);
    }
    std::vector<std::string_view> Views() const;
    const std::string& Bytes() const { return bytes_; }

    template <typename OnLine> void ForEach(OnLine&& onLine) const {
        for (size_t i = 0; i < lines_.size(); ++i) {
            onLine(Line(i));
        }
    }

    std::u16string Decode(size_t index) const;
    std::vector<std::u16string> Decode() const;

private:
    std::string bytes_;
    TextForm form_ = TextForm::CodePage;
    unsigned codePage_;
    std::vector<std::pair<size_t, size_t>> lines_; // offset and length of each line
};

// A line to write: its text, and the bytes it was read as when it is untouched.
struct LineToWrite {
    std::u16string_view text;
    std::optional<std::string_view> stored;
    TextForm storedForm = TextForm::CodePage;
};

// The bytes of a file that holds `lines`, each followed by CR LF (no lines give one CR LF), in
// `form` where that holds every line exactly and untouched lines keep their bytes; otherwise
// UTF-8 after a byte-order mark. A file that would begin with the bytes of a byte-order mark
// without being UTF-8 with one is written as UTF-8 with one, so it reads back the same.
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
    bool ListIsSaved(const EntryList& list) const;

private:
    bool Write(std::string bytes, EntryList& list, std::vector<std::u16string> lines,
               std::vector<EntryList::Id> ids);

    std::u16string path_;
    unsigned codePage_;
    // What the file held when last read or written; nullopt when it could not be read.
    std::optional<StoredLines> known_;
    std::optional<platform::FileStamp> stamp_;
};

} // namespace corvantis::core
