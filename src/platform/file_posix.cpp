#include "platform/file.h"

#include "platform/codepage.h"

#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace corvantis::platform {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

std::optional<std::string> ReadFileBytes(const std::u16string& path) {
    UniqueFile file(std::fopen(EncodeUtf8(path).c_str(), "rb"));
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    struct stat status {};
    if (fstat(fileno(file.get()), &status) == 0 && status.st_size > 0) {
        bytes.reserve(static_cast<size_t>(status.st_size));
    }
    char buffer[1 << 16];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, count);
    }
    if (std::ferror(file.get())) {
        return std::nullopt;
    }
    return bytes;
}

bool WriteFileAtomically(const std::u16string& path, std::string_view bytes) {
    const std::string target = EncodeUtf8(path);
    const std::string temporary = target + "." + std::to_string(getpid()) + ".tmp";
    UniqueFile file(std::fopen(temporary.c_str(), "wbx"));
    if (!file) {
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                   std::fflush(file.get()) == 0 && fsync(fileno(file.get())) == 0;
    written = std::fclose(file.release()) == 0 && written;
    if (!written || std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace corvantis::platform
