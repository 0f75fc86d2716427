#include "core/stored_lines.h"

#include "core/entry_line.h"
#include "platform/codepage.h"

namespace corvantis::core {

StoredText TextOf(std::string_view bytes, unsigned systemCodePage) {
    if (bytes.starts_with(kUtf8Bom)) {
        return {TextForm::Utf8Bom, platform::kCodePageUtf8, bytes.substr(kUtf8Bom.size())};
    }
    // One pass: the bytes before the first non-ASCII one are valid UTF-8 whatever they are.
    const size_t nonAscii = platform::FirstNonAscii(bytes);
    if (nonAscii < bytes.size()) {
        const std::string_view rest = bytes.substr(nonAscii);
        if (platform::IsValidUtf8(rest)) {
            return {TextForm::Utf8, platform::kCodePageUtf8, bytes};
        }
        // A system whose code page is UTF-8 ("use UTF-8 for worldwide language support") has
        // no other to read this file in: one that is GBK, from a Simplified Chinese system,
        // reads as GBK, and its new lines are written so.
        if (systemCodePage == platform::kCodePageUtf8 &&
            platform::IsValidInCodePage(rest, platform::kCodePageGbk)) {
            return {TextForm::CodePage, platform::kCodePageGbk, bytes};
        }
    }
    return {TextForm::CodePage, systemCodePage, bytes};
}

unsigned LineCodePage(std::string_view line, unsigned fileCodePage) {
    // The UTF-8 check first: it runs in-process, and code-page text is seldom valid UTF-8.
    if (fileCodePage == platform::kCodePageUtf8 || !platform::IsValidUtf8(line) ||
        platform::IsValidInCodePage(line, fileCodePage)) {
        return fileCodePage;
    }
    return platform::kCodePageUtf8;
}

StoredLines::StoredLines(std::string bytes, unsigned codePage) : bytes_(std::move(bytes)) {
    const StoredText stored = TextOf(bytes_, codePage);
    form_ = stored.form;
    codePage_ = stored.codePage;
    const std::string_view text = stored.text;
    // Entry lines run to some tens of bytes: reserving for that spares most regrowth.
    constexpr size_t kTypicalLineBytes = 48;
    lines_.reserve(text.size() / kTypicalLineBytes + 1);
    ForEachLine(text, [&](std::string_view line) {
        lines_.push_back({static_cast<size_t>(line.data() - bytes_.data()), line.size()});
    });
}

std::vector<std::string_view> StoredLines::Views() const {
    std::vector<std::string_view> views;
    views.reserve(lines_.size());
    ForEach([&](std::string_view line) { views.push_back(line); });
    return views;
}

std::u16string StoredLines::Decode(size_t index) const {
    return platform::DecodeCodePage(Line(index), CodePageOf(index));
}

std::vector<std::u16string> StoredLines::Decode() const {
    std::vector<std::u16string> lines;
    lines.reserve(lines_.size());
    ForEach([&](std::string_view line) {
        lines.push_back(platform::DecodeCodePage(line, LineCodePage(line, codePage_)));
    });
    return lines;
}

} // namespace corvantis::core
