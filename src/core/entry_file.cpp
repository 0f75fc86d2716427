#include "core/entry_file.h"

#include "platform/codepage.h"
#include "platform/file.h"

namespace corvantis::core {

StoredLines::StoredLines(std::string bytes, unsigned codePage)
    : bytes_(std::move(bytes)), codePage_(codePage) {
    if (std::string_view(bytes_).starts_with(kUtf8Bom)) {
        start_ = kUtf8Bom.size();
        codePage_ = platform::kCodePageUtf8;
    }
}

std::string_view StoredLines::Text() const {
    return std::string_view(bytes_).substr(start_);
}

std::vector<std::u16string> StoredLines::Decode() const {
    std::vector<std::u16string> lines;
    ForEach(
        [&](std::string_view line) { lines.push_back(platform::DecodeCodePage(line, codePage_)); });
    return lines;
}

std::string EncodeEntryLines(std::span<const std::u16string> lines, unsigned codePage) {
    std::u16string text;
    size_t length = kCrLf.size();
    for (const auto& line : lines) {
        length += line.size() + kCrLf.size();
    }
    text.reserve(length);
    for (const auto& line : lines) {
        text += line;
        text += kCrLf;
    }
    if (lines.empty()) {
        text = kCrLf;
    }
    if (auto bytes = platform::EncodeCodePage(text, codePage)) {
        return std::move(*bytes);
    }
    std::string bytes(kUtf8Bom);
    bytes += platform::EncodeUtf8(text);
    return bytes;
}

EntryFile::EntryFile(std::u16string path, unsigned codePage)
    : path_(std::move(path)), codePage_(codePage) {}

EntryFile EntryFile::InFolder(std::u16string_view folder, unsigned codePage) {
    std::u16string path(folder);
    path += u"\\data.txt";
    return EntryFile(std::move(path), codePage);
}

std::optional<StoredLines> EntryFile::Read() const {
    auto bytes = platform::ReadFileBytes(path_);
    if (!bytes) {
        return std::nullopt;
    }
    return StoredLines(std::move(*bytes), codePage_);
}

std::optional<std::vector<std::u16string>> EntryFile::Load() const {
    const auto stored = Read();
    if (!stored) {
        return std::nullopt;
    }
    return stored->Decode();
}

bool EntryFile::Save(std::span<const std::u16string> lines) const {
    return platform::WriteFileAtomically(path_, EncodeEntryLines(lines, codePage_));
}

bool EntryFile::Empty() const {
    return platform::WriteFileAtomically(path_, EncodeEntryLines({}, codePage_));
}

} // namespace corvantis::core
