#pragma once
// Whole-file reading and writing. Paths are UTF-16 on every system.

#include <optional>
#include <string>
#include <string_view>

namespace corvantis::platform {

// The file's whole content; nullopt when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::u16string& path);

// Replaces the file's content in one step: the bytes go to a new file in the same folder, which
// then takes the old one's place. On failure the old file is left whole and false is returned.
bool WriteFileAtomically(const std::u16string& path, std::string_view bytes);

} // namespace corvantis::platform
