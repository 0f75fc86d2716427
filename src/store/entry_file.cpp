#include "store/entry_file.h"

#include "platform/codepage.h"
#include "platform/file.h"

namespace corvantis::store {

std::u16string EntryFilePath(std::u16string_view programFolder) {
    std::u16string path(programFolder);
    path += kEntryFileName;
    return path;
}

EntryBytes ClassifyEntryBytes(std::string_view bytes, unsigned codePage) {
    if (bytes.starts_with(kUtf8Bom)) {
        return {bytes.substr(kUtf8Bom.size()), platform::kCodePageUtf8};
    }
    return {bytes, codePage};
}

std::u16string ReadFileText(const std::u16string& path, int mode, unsigned codePage) {
    const auto file = platform::ReadFileBytes(path);
    if (!file || (mode != 0 && mode != 1)) {
        return {};
    }
    const EntryBytes entry = ClassifyEntryBytes(*file, codePage);
    std::u16string result;
    result.reserve(entry.bytes.size() + 2);
    ForEachLine(entry.bytes, [&](std::string_view line) {
        if (mode == 1) {
            result += kCrLf;
        }
        platform::AppendDecoded(result, line, entry.codePage);
    });
    return result;
}

bool LoadFileToList(const std::u16string& path, ItemSink& list, unsigned codePage) {
    const auto file = platform::ReadFileBytes(path);
    if (!file) {
        return false;
    }
    // Line by line through one buffer: the file is never held decoded whole.
    const EntryBytes entry = ClassifyEntryBytes(*file, codePage);
    std::u16string line;
    ForEachLine(entry.bytes, [&](std::string_view bytes) {
        line.clear();
        platform::AppendDecoded(line, bytes, entry.codePage);
        list.AddItem(line);
    });
    return true;
}

std::string EncodeEntryFile(std::span<const std::u16string> items, unsigned codePage) {
    std::u16string text;
    size_t length = 2;
    for (const auto& item : items) {
        length += item.size() + 2;
    }
    text.reserve(length);
    for (const auto& item : items) {
        text += item;
        text += kCrLf;
    }
    if (items.empty()) {
        text = kCrLf;
    }
    if (auto bytes = platform::EncodeCodePage(text, codePage)) {
        return std::move(*bytes);
    }
    std::string bytes(kUtf8Bom);
    bytes += platform::EncodeUtf8(text);
    return bytes;
}

bool SaveEntryFile(const std::u16string& path, std::span<const std::u16string> items,
                   unsigned codePage) {
    return platform::WriteFileAtomically(path, EncodeEntryFile(items, codePage));
}

} // namespace corvantis::store
