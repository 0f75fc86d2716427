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

bool IsUtf16(TextForm form) {
    return form == TextForm::Utf16Le || form == TextForm::Utf16Be;
}

constexpr char16_t kHighSurrogate = 0xD800;
constexpr char16_t kLowSurrogate = 0xDC00;
constexpr char16_t kSurrogateEnd = 0xE000;

// UTF-16 bytes in either order, after their mark, as UTF-8, where a lone surrogate is written as
// any other unit: the bytes it was read as come back from Utf16Of.
std::string Utf8Of(std::string_view bytes, bool bigEndian) {
    std::string utf8;
    utf8.reserve(bytes.size() * 3 / 2);
    const auto unitAt = [&](size_t at) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        return static_cast<char32_t>(bigEndian ? first << 8 | second : second << 8 | first);
    };
    for (size_t at = 0; at + 1 < bytes.size(); at += 2) {
        char32_t code = unitAt(at);
        if (code >= kHighSurrogate && code < kLowSurrogate && at + 3 < bytes.size()) {
            const char32_t low = unitAt(at + 2);
            if (low >= kLowSurrogate && low < kSurrogateEnd) {
                code = 0x10000 + ((code - kHighSurrogate) << 10) + (low - kLowSurrogate);
                at += 2;
            }
        }
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
        } else if (code < 0x800) {
            utf8 += static_cast<char>(0xC0 | code >> 6);
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            utf8 += static_cast<char>(0xE0 | code >> 12);
            utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | code >> 18);
            utf8 += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}

// The other way: UTF-8 (as Utf8Of writes it) as UTF-16 bytes in `form`, after its mark.
std::string Utf16Of(std::string_view utf8, TextForm form) {
    const bool bigEndian = form == TextForm::Utf16Be;
    std::string out(bigEndian ? kUtf16BeBom : kUtf16LeBom);
    out.reserve(out.size() + utf8.size() * 2);
    const auto put = [&](char32_t unit) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    };
    for (size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t i = 1; i < length && at + i < utf8.size(); ++i) {
            code = code << 6 | (static_cast<unsigned char>(utf8[at + i]) & 0x3F);
        }
        at += length;
        if (code >= 0x10000) {
            put(kHighSurrogate + ((code - 0x10000) >> 10));
            put(kLowSurrogate + ((code - 0x10000) & 0x3FF));
        } else {
            put(code);
        }
    }
    return out;
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
    case TextForm::Utf16Le: // written as UTF-8 first
    case TextForm::Utf16Be:
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

StoredText TextOf(std::string_view bytes, unsigned systemCodePage, std::string& utf8) {
    // Only a whole number of units is UTF-16: other bytes after such a mark are the code page's.
    for (const auto& [bom, form] :
         {std::pair(kUtf16LeBom, TextForm::Utf16Le), std::pair(kUtf16BeBom, TextForm::Utf16Be)}) {
        if (bytes.starts_with(bom) && bytes.size() % 2 == 0) {
            utf8 = Utf8Of(bytes.substr(bom.size()), form == TextForm::Utf16Be);
            return {form, platform::kCodePageUtf8, utf8};
        }
    }
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
    const StoredText stored = TextOf(bytes_, codePage, utf16Text_);
    const std::string_view whole = utf16Text_.empty() ? std::string_view(bytes_) : utf16Text_;
    form_ = stored.form;
    codePage_ = stored.codePage;
    const std::string_view text = stored.text;
    // Entry lines run to some tens of bytes: reserving for that spares most regrowth.
    constexpr size_t kTypicalLineBytes = 48;
    lines_.reserve(text.size() / kTypicalLineBytes + 1);
    ForEachLine(text, [&](std::string_view line) {
        lines_.push_back({static_cast<size_t>(line.data() - whole.data()), line.size()});
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
    // UTF-16 holds every line: the lines are put together in UTF-8, which then turns into it.
    const TextForm fileForm = form;
    const bool utf16 = IsUtf16(form);
    if (utf16) {
        form = TextForm::Utf8;
    }
    if (lines.empty()) {
        return utf16 ? Utf16Of(kLineEnd, fileForm) : std::string(kLineEnd);
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
            const bool keptAsRead = utf16 && IsUtf16(line.storedForm); // every unit carries over
            if (line.stored && (keptAsRead || KeepsBytes(line, form, codePage))) {
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
        if (utf16) {
            return Utf16Of(out, fileForm);
        }
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
