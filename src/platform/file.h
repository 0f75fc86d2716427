#pragma once
// Whole-file reading and writing. Paths are UTF-16 on every system.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvantis::platform {

// The file's whole content; nullopt when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::u16string& path);

// Whether anything is at `path`: a file that exists but cannot be read is not missing.
bool PathExists(const std::u16string& path);

// What changes when a file is written: compared to notice an outside change without reading.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modified = 0; // in the system's own unit
    bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> StampOf(const std::u16string& path);

// Replaces the file's content in one step: the bytes go to a new file in the same folder, which
// then takes the old one's place. On failure the old file is left whole and false is returned.
// The file keeps its identity: a symbolic link is written through to the file it names, and the
// file's permissions and attributes stay. Temporaries that killed writes left behind are removed
// after a write succeeds.
bool WriteFileAtomically(const std::u16string& path, std::string_view bytes);

// The temporaries' names: "<file name>.<process id>-<number>.corvantis.tmp" beside the file.
inline constexpr std::string_view kTemporarySuffix = ".corvantis.tmp";

} // namespace corvantis::platform
