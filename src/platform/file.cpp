#include "platform/file.h"

namespace corvantis::platform {

std::optional<std::string> ReadFileBytes(const std::u16string& path) {
    FileContent content = ReadFileContent(path);
    if (content.status != ReadStatus::Read) {
        return std::nullopt;
    }
    return std::move(content.bytes);
}

bool WriteFileAtomically(const std::u16string& path, std::string_view bytes) {
    return ReplaceBytes(path, bytes, nullptr) == ReplaceOutcome::Replaced;
}

Replace ReplaceUnchanged(const std::u16string& path, std::string_view bytes,
                         const std::optional<FileStamp>& expected) {
    return ReplaceBytes(path, bytes, &expected);
}

} // namespace corvantis::platform
