#include "platform/file.h"

namespace corvantis::platform {

std::optional<std::string> ReadFileBytes(const std::u16string& path) {
    FileContent content = ReadFileContent(path);
    if (content.status != ReadStatus::Read) {
        return std::nullopt;
    }
    return std::move(content.bytes);
}

} // namespace corvantis::platform
