#pragma once
// Whole-file reading and writing. Paths are UTF-16 on every system. Only regular files are read
// or replaced: a folder, a pipe or a device at the path is refused, never waited on.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace corvantis::platform {

// What changes when a file is written or replaced: compared to notice an outside change without
// reading.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modified = 0; // in the system's own unit
    std::uint64_t volume = 0;  // the volume that holds the file, and the file's number there:
    std::uint64_t id = 0;      // another file put in its place has another
    bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> StampOf(const std::u16string& path);

// Whether the file was last written less than `span` ago (or, by the clock, later than now).
bool WrittenWithin(const FileStamp& stamp, std::chrono::milliseconds span);

enum class ReadStatus { Read, Missing, Unreadable };

struct FileContent {
    ReadStatus status = ReadStatus::Unreadable;
    std::string bytes;
    FileStamp stamp;               // the file's as it was read
    bool changedWhileRead = false; // then the bytes may hold parts of two versions
    bool taken = false;            // unreadable as another program holds it and shares no reading
    // Another program holds the file open for writing as it is read (as far as the system
    // tells: on POSIX, where a read lease is refused), so it may be part-written.
    bool beingWritten = false;
};

// The file's whole content. Missing: nothing is at the path; Unreadable: something is, but it
// cannot be opened or read, or it is not a regular file.
FileContent ReadFileContent(const std::u16string& path);

// The file's whole content; nullopt when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::u16string& path);

// Replaces the file's content in one step: the bytes go to a new file in the same folder, which
// then takes the old one's place. On failure the old file is left whole and false is returned.
// The file keeps its identity: a symbolic link is written through to the file it names, and the
// file's permissions and attributes stay. A read-only file (on POSIX: one without write
// permission, whoever runs, root too) or one that is not a regular file is not replaced.
// Temporaries that killed writes left behind are removed after a write succeeds.
bool WriteFileAtomically(const std::u16string& path, std::string_view bytes);

enum class ReplaceOutcome {
    Replaced,
    Failed,  // the old file is left as it was
    Changed, // the file is no longer what `expected` says: nothing was written
};

// Why a file could not be written, as far as the user can act on it.
enum class WriteFault {
    ReadOnly, // the file, or the folder that holds it
    InUse,    // another program holds it, or keeps writing it
    DiskFull,
    Other,
};

// The file a replace took the place of, kept open: a program that had it open for writing may go
// on writing it after the replace, and what it writes there is not to be lost.
class SetAsideFile {
public:
    virtual ~SetAsideFile() = default;
    // What it holds now, read as ReadFileContent reads a file.
    virtual FileContent Read() const = 0;
};

struct Replace {
    ReplaceOutcome outcome;
    WriteFault fault = WriteFault::Other; // why, when it failed
    // Replaced, the old file when it was written after it was last looked at.
    std::unique_ptr<SetAsideFile> late;
    bool operator==(ReplaceOutcome other) const { return outcome == other; }
};

// The same, only while the file is still what was read: just before the new file takes its
// place, the file there must have the stamp `expected` (nullopt: there must be none). The old
// file is held open through the replace and looked at afterwards (Replace::late).
Replace ReplaceUnchanged(const std::u16string& path, std::string_view bytes,
                         const std::optional<FileStamp>& expected);

// What both come to on each system: `expected` null replaces the file whatever it holds.
Replace ReplaceBytes(const std::u16string& path, std::string_view bytes,
                     const std::optional<FileStamp>* expected);

// Writes `bytes` to a file made at `path`, which must not exist yet: one that does is never
// overwritten. False when the file is there already or cannot be made or written whole (then
// nothing is left at the path).
bool WriteNewFile(const std::u16string& path, std::string_view bytes);

// A file that other links name too is written in place, so that it stays one file under all of
// them; a journal beside it, "<file name>.corvantis.journal", holds the new bytes until the write
// is done. Whether a write that a crash cut short left one at `path`.
bool CutShortWriteAt(const std::u16string& path);
// Finishes that write from its journal; to be called holding the FileLock. False when a journal
// is there and the write could not be finished.
bool FinishCutShortWrite(const std::u16string& path);

inline constexpr std::string_view kJournalSuffix = ".corvantis.journal";

// The temporaries' names: "<file name>.<process id>-<number>.corvantis.tmp" beside the file.
inline constexpr std::string_view kTemporarySuffix = ".corvantis.tmp";

} // namespace corvantis::platform
