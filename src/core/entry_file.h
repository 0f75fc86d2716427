#pragma once
// The entry file: data.txt beside the program, one entry per line, in the system's ANSI code
// page with CR LF line ends. A file that starts with a UTF-8 byte-order mark is read as UTF-8;
// the writer falls back to that form only when the code page cannot hold every character.

#include "core/entry_line.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvantis::core {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The file's bytes as read, and the encoding its lines are in: UTF-8 after a byte-order mark
// (which is not part of the first line), otherwise the code page.
class StoredLines {
public:
    StoredLines(std::string bytes, unsigned codePage);

    unsigned CodePage() const { return codePage_; }

    // Calls `onLine` with each line's bytes, as ForEachLine cuts them.
    template <typename OnLine> void ForEach(OnLine&& onLine) const {
        ForEachLine(Text(), std::forward<OnLine>(onLine));
    }

    std::vector<std::u16string> Decode() const;

private:
    std::string_view Text() const;

    std::string bytes_;
    unsigned codePage_;
    size_t start_ = 0; // past the byte-order mark
};

// The bytes of a file that holds `lines`, each followed by CR LF (no lines give one CR LF): in
// the code page when it represents every line exactly, otherwise UTF-8 after a byte-order mark.
std::string EncodeEntryLines(std::span<const std::u16string> lines, unsigned codePage);

// data.txt, the one owner of the file: its path and the code page of its text are given once at
// start-up, and every read and write of the entries goes through here.
class EntryFile {
public:
    EntryFile(std::u16string path, unsigned codePage);

    // The file in `folder`, which has no trailing backslash.
    static EntryFile InFolder(std::u16string_view folder, unsigned codePage);

    const std::u16string& Path() const { return path_; }

    // The file as stored; nullopt when it cannot be opened or read.
    std::optional<StoredLines> Read() const;

    // Every line decoded; nullopt when the file cannot be read.
    std::optional<std::vector<std::u16string>> Load() const;

    // Rewrites the file from `lines` in one step. On failure the old file is left whole and
    // false is returned.
    bool Save(std::span<const std::u16string> lines) const;

    // What "删除所有" (delete all) leaves: one empty line, written in one step.
    bool Empty() const;

private:
    std::u16string path_;
    unsigned codePage_;
};

} // namespace corvantis::core
