#include "core/stored_lines.h"

#include "core/entry_line.h"
#include "platform/codepage.h"

#include <algorithm>

namespace corvantis::core {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

unsigned FileCodePage(TextForm form, unsigned codePage) {
    return form == TextForm::CodePage ? codePage : platform::kCodePageUtf8;
}

bool IsAscii(std::string_view bytes) {
    return platform::FirstNonAscii(bytes) == bytes.size();
}

// The text an untouched line was read as: its bytes decoded as the file it came from reads them.
std::u16string TextOfStored(const LineToWrite& line, unsigned codePage) {
    const unsigned fileCodePage = FileCodePage(line.storedForm, codePage);
    return platform::DecodeCodePage(*line.stored, LineCodePage(*line.stored, fileCodePage));
}

// Whether an untouched line's bytes read back as its text in a file of `form`, as long as that
// file stays in its form (which EncodeLines checks once the file is whole).
bool KeepsBytes(const LineToWrite& line, TextForm form, unsigned codePage) {
    const std::string_view bytes = *line.stored;
    if (IsAscii(bytes)) {
        return true; // the same text in every form
    }
    const bool fromCodePage = line.storedForm == TextForm::CodePage;
    switch (form) {
    case TextForm::CodePage:
        // A line of a code-page file reads the same in any other; a UTF-8 one only when the code
        // page would not read it first.
        return fromCodePage ||
               (platform::IsValidUtf8(bytes) && !platform::IsValidInCodePage(bytes, codePage));
    case TextForm::Utf8:
        return platform::IsValidUtf8(bytes) &&
               (!fromCodePage || LineCodePage(bytes, codePage) == platform::kCodePageUtf8);
    case TextForm::Utf8Bom:
        return (!fromCodePage || LineCodePage(bytes, codePage) == platform::kCodePageUtf8) ||
               platform::DecodeUtf8(bytes) == TextOfStored(line, codePage);
    }
    return false;
}

// A file of the code page whose bytes have become valid UTF-8 as a whole reads as UTF-8: right
// only when none of its lines is code-page text that is not ASCII.
bool HoldsCodePageText(std::span<const LineToWrite> lines, unsigned codePage) {
    return std::ranges::any_of(lines, [&](const LineToWrite& line) {
        if (!line.stored) {
            const auto bytes = platform::EncodeCodePage(line.text, codePage);
            return bytes && !IsAscii(*bytes);
        }
        return line.storedForm == TextForm::CodePage && !IsAscii(*line.stored) &&
               LineCodePage(*line.stored, codePage) == codePage;
    });
}

} // namespace

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

std::string EncodeLines(std::span<const LineToWrite> lines, TextForm form, unsigned codePage) {
    if (lines.empty()) {
        return std::string(kLineEnd);
    }
    // Room for the lines as stored and the others at three bytes a unit, the most UTF-8 takes.
    size_t room = kUtf8Bom.size();
    for (const LineToWrite& line : lines) {
        room += (line.stored ? line.stored->size() : line.text.size() * 3) + kLineEnd.size();
    }
    for (;;) {
        std::string out;
        out.reserve(room);
        out += form == TextForm::Utf8Bom ? kUtf8Bom : "";
        bool fits = true;
        bool notAscii = false; // some line holds more than ASCII
        for (const LineToWrite& line : lines) {
            if (line.stored && KeepsBytes(line, form, codePage)) {
                out += *line.stored;
                out += kLineEnd;
                notAscii = notAscii || !IsAscii(*line.stored);
                continue;
            }
            // Never decoded with another code page than the line was read with.
            const std::u16string decoded =
                line.stored ? TextOfStored(line, codePage) : std::u16string();
            const std::u16string_view text = line.stored ? decoded : line.text;
            if (form != TextForm::CodePage) {
                out += platform::EncodeUtf8(text);
            } else if (auto bytes = platform::EncodeCodePage(text, codePage)) {
                out += *bytes;
                notAscii = notAscii || !IsAscii(*bytes);
            } else {
                fits = false;
                break;
            }
            out += kLineEnd;
        }
        // Only UTF-8 with a byte-order mark holds every line, and only it reads back as written
        // bytes that begin with the mark's, or code-page text in a file that is all valid UTF-8.
        const auto readsBackAsWritten = [&] {
            return !out.starts_with(kUtf8Bom) &&
                   !(form == TextForm::CodePage && notAscii && platform::IsValidUtf8(out) &&
                     HoldsCodePageText(lines, codePage));
        };
        if (form != TextForm::Utf8Bom && (!fits || !readsBackAsWritten())) {
            form = TextForm::Utf8Bom;
            continue;
        }
        return out;
    }
}

std::string EncodeEntryLines(std::span<const std::u16string> lines, unsigned codePage) {
    std::vector<LineToWrite> toWrite;
    toWrite.reserve(lines.size());
    for (const auto& line : lines) {
        toWrite.push_back({line, std::nullopt});
    }
    return EncodeLines(toWrite, TextForm::CodePage, codePage);
}

} // namespace corvantis::core
