#include "platform/environment.h"

#include "platform/codepage.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace corvantis::platform {
namespace {

NameKind KindAt(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return NameKind::Nothing;
    }
    return S_ISDIR(status.st_mode) ? NameKind::Folder : NameKind::File;
}

bool IsProgram(const std::string& path) {
    return KindAt(path) == NameKind::File && access(path.c_str(), X_OK) == 0;
}

} // namespace

std::optional<std::u16string> EnvironmentVariable(std::u16string_view name) {
    const char* value = std::getenv(EncodeUtf8(name).c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return DecodeUtf8(value);
}

NameKind FindName(std::u16string_view name, const std::u16string& folder) {
    if (name.empty()) {
        return NameKind::Nothing;
    }
    const std::string path = EncodeUtf8(name);
    const NameKind kind = KindAt(path.front() == '/' ? path : EncodeUtf8(folder) + "/" + path);
    if (kind != NameKind::Nothing || path.find('/') != std::string::npos) {
        return kind;
    }
    const char* const searchPath = std::getenv("PATH");
    const std::string_view folders = searchPath != nullptr ? searchPath : "";
    for (size_t start = 0; start <= folders.size();) {
        const size_t colon = std::min(folders.find(':', start), folders.size());
        const std::string_view entry = folders.substr(start, colon - start);
        if (!entry.empty() && IsProgram(std::string(entry) + "/" + path)) {
            return NameKind::File;
        }
        start = colon + 1;
    }
    return NameKind::Nothing;
}

std::u16string ProgramFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::u16string(u".") : program.parent_path().u16string();
}

} // namespace corvantis::platform
