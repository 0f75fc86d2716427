#pragma once
// Reading a file that another program may be writing: it is taken only once it has settled, so
// that a file a program is rewriting, however it pauses, is never taken part-written.

#include "core/stored_lines.h"
#include "platform/file.h"

#include <functional>
#include <optional>
#include <string>

namespace corvantis::core {

// A read to be taken as it is at once: no write is under way, and it holds `same` (when given),
// what was seen before; or another file took the place of `seen`'s (as a save that renames a
// whole new file over the old one leaves it); or nobody wrote it for the quiet time.
bool Settled(const platform::FileContent& read, const std::string* same,
             const std::optional<platform::FileStamp>& seen = std::nullopt);

// The file as `readNow` reads it once it has settled; nullopt when it did not within the wait. A
// file has settled when it holds what this copy knows it held whole (`known`), when nobody wrote
// it for the quiet time, or when nothing wrote it while this copy watched it that long (whatever
// the file's clock says).
std::optional<platform::FileContent>
ReadSettled(const std::function<platform::FileContent()>& readNow, const StoredLines* known,
            const std::optional<platform::FileStamp>& seen);

// The same for the file at `path`.
std::optional<platform::FileContent> ReadSettled(const std::u16string& path,
                                                 const StoredLines* known,
                                                 const std::optional<platform::FileStamp>& seen);

} // namespace corvantis::core
