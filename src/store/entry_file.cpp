#include "store/entry_file.h"

#include "platform/codepage.h"
#include "platform/file.h"

namespace corvantis::store {

std::u16string EntryFilePath(std::u16string_view programFolder) {
    std::u16string path(programFolder);
    path += kEntryFileName;
    return path;
}

std::u16string DecodeEntryText(std::string_view bytes, unsigned codePage) {
    if (bytes.starts_with(kUtf8Bom)) {
        return platform::DecodeUtf8(bytes.substr(kUtf8Bom.size()));
    }
    return platform::DecodeCodePage(bytes, codePage);
}

std::vector<std::u16string> SplitLines(std::u16string_view text) {
    std::vector<std::u16string> lines;
    ForEachLine(text, [&](std::u16string_view line) { lines.emplace_back(line); });
    return lines;
}

std::u16string ReadFileText(const std::u16string& path, int mode, unsigned codePage) {
    const auto bytes = platform::ReadFileBytes(path);
    if (!bytes || (mode != 0 && mode != 1)) {
        return {};
    }
    const std::u16string text = DecodeEntryText(*bytes, codePage);
    std::u16string result;
    result.reserve(text.size() + 2);
    ForEachLine(text, [&](std::u16string_view line) {
        if (mode == 1) {
            result += kCrLf;
        }
        result += line;
    });
    return result;
}

bool LoadFileToList(const std::u16string& path, ItemSink& list, unsigned codePage) {
    const auto bytes = platform::ReadFileBytes(path);
    if (!bytes) {
        return false;
    }
    ForEachLine(DecodeEntryText(*bytes, codePage),
                [&](std::u16string_view line) { list.AddItem(line); });
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
