#include "core/keyword_match.h"

#include "core/entry_line.h"
#include "core/stored_lines.h"
#include "platform/codepage.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace corvantis::core {
namespace {

constexpr auto npos = std::u16string_view::npos;

// How many of the keywords of `part`, cut at every space, equal `keyword`.
size_t CountKeyword(std::u16string_view part, std::u16string_view keyword) {
    size_t count = 0;
    for (size_t start = 0;;) {
        const size_t space = part.find(u' ', start);
        count += part.substr(start, space - start) == keyword ? 1 : 0;
        if (space == npos) {
            return count;
        }
        start = space + 1;
    }
}

// Where the keyword part of a line of bytes ends (at its first ':' byte or its first byte of
// 0x80 or more; the line's size when it has neither) and how many of its keywords, cut at every
// space, equal `keyword` when it ends at a ':'.
struct KeywordPart {
    size_t end;
    size_t matches;
};

constexpr std::uint64_t kEveryByte = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// 0x80 in each byte of `word` that is zero and in no other byte.
constexpr std::uint64_t ZeroBytes(std::uint64_t word) {
    constexpr std::uint64_t kLowBits = ~kHighBits;
    return ~(((word & kLowBits) + kLowBits) | word | kLowBits);
}

// Eight bytes at a time: keyword parts are short, and a loop that stops at a different byte on
// every line costs more in mispredicted branches than the bytes it looks at.
KeywordPart ScanKeywordPart(std::string_view line, std::string_view keyword, bool anyKeyword) {
    size_t matches = 0;
    size_t start = 0;
    // The first byte is looked at before the call: most keywords of the request's length differ
    // there already.
    const char first = keyword.empty() ? '\0' : keyword.front();
    const auto keywordEnds = [&](size_t end) {
        matches += anyKeyword && end - start == keyword.size() &&
                           (keyword.empty() ||
                            (line[start] == first &&
                             std::memcmp(line.data() + start, keyword.data(), keyword.size()) == 0))
                       ? 1
                       : 0;
        start = end + 1;
    };
    size_t at = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; at + sizeof(std::uint64_t) <= line.size(); at += sizeof(std::uint64_t)) {
            std::uint64_t word;
            std::memcpy(&word, line.data() + at, sizeof word);
            const std::uint64_t stops = ZeroBytes(word ^ (kEveryByte * ':')) | (word & kHighBits);
            std::uint64_t spaces = ZeroBytes(word ^ (kEveryByte * ' '));
            const int stop = stops == 0 ? 8 : std::countr_zero(stops) / 8;
            if (stop < 8) {
                spaces &= (std::uint64_t{1} << (stop * 8)) - 1;
            }
            for (; spaces != 0; spaces &= spaces - 1) {
                keywordEnds(at + static_cast<size_t>(std::countr_zero(spaces) / 8));
            }
            if (stop < 8) {
                keywordEnds(at + static_cast<size_t>(stop));
                return {at + static_cast<size_t>(stop), matches};
            }
        }
    }
    for (; at < line.size(); ++at) {
        const auto byte = static_cast<unsigned char>(line[at]);
        if (byte == ':' || byte >= 0x80) {
            keywordEnds(at);
            return {at, matches};
        }
        if (byte == ' ') {
            keywordEnds(at);
        }
    }
    return {line.size(), matches};
}

std::optional<std::string> AsciiForm(std::u16string_view text) {
    std::string ascii;
    ascii.reserve(text.size());
    for (const char16_t c : text) {
        if (c >= 0x80) {
            return std::nullopt;
        }
        ascii += static_cast<char>(c);
    }
    return ascii;
}

} // namespace

Request SplitRequest(std::u16string_view text) {
    const size_t space = FindChar(text, u' ');
    if (space == npos) {
        return {std::u16string(text), std::nullopt};
    }
    return {std::u16string(text.substr(0, space)), std::u16string(text.substr(space + 1))};
}

KeywordMatcher::KeywordMatcher(std::u16string_view keyword)
    : keyword_(keyword), asciiKeyword_(AsciiForm(keyword_)) {}

void KeywordMatcher::Line(std::u16string_view line, Targets& targets) const {
    const size_t colon = colons_.FindIn(line);
    if (colon == npos || colon == 0) {
        return;
    }
    const size_t matches = CountKeyword(line.substr(0, colon), keyword_);
    targets.insert(targets.end(), matches, std::u16string(line.substr(colon + 1)));
}

// A line of the file as bytes of a file in `codePage`. Bytes below 0x80 stand for the same
// characters in every code page, so a keyword part of ASCII alone, as nearly every line has, is
// matched as it stands and only a matching target is decoded. A line with another character before
// its first colon is decoded whole. Decoding from just after the colon gives what decoding
// the whole line would, as the bytes before it are single characters.
void KeywordMatcher::EncodedLine(std::string_view line, unsigned codePage, Targets& targets) const {
    const KeywordPart part = ScanKeywordPart(
        line, asciiKeyword_ ? *asciiKeyword_ : std::string_view(), asciiKeyword_.has_value());
    if (part.end == line.size()) {
        return;
    }
    if (line[part.end] != ':') {
        NonAsciiLine(line, LineCodePage(line, codePage), targets);
        return;
    }
    if (part.end == 0 || part.matches == 0) {
        return;
    }
    targets.insert(
        targets.end(), part.matches,
        platform::DecodeCodePage(line.substr(part.end + 1), LineCodePage(line, codePage)));
}

// A line with another character before its first colon byte. No ':' byte is part of a longer
// character in any code page, so the bytes before the first one decode on their own; only
// that short keyword part is decoded unless it holds a full-width colon, or the line has no
// ':' byte at all (then the whole line is, as the first colon may be a full-width one).
void KeywordMatcher::NonAsciiLine(std::string_view line, unsigned codePage,
                                  Targets& targets) const {
    const size_t colonByte = line.find(':');
    if (colonByte == std::string_view::npos) {
        Line(platform::DecodeCodePage(line, codePage), targets);
        return;
    }
    const std::u16string part = platform::DecodeCodePage(line.substr(0, colonByte), codePage);
    if (colons_.FindIn(part) != npos) {
        Line(platform::DecodeCodePage(line, codePage), targets);
        return;
    }
    const size_t matches = CountKeyword(part, keyword_);
    if (matches == 0) {
        return;
    }
    targets.insert(targets.end(), matches,
                   platform::DecodeCodePage(line.substr(colonByte + 1), codePage));
}

Targets MatchTargets(std::string_view file, unsigned codePage, std::u16string_view keyword) {
    // Line by line from the bytes, in one pass: the file is never decoded whole, nor indexed.
    std::string utf16Text;
    const StoredText stored = TextOf(file, codePage, utf16Text);
    const KeywordMatcher matcher(keyword);
    Targets targets;
    ForEachLine(stored.text, [&](std::string_view line) {
        if (!line.empty()) {
            matcher.EncodedLine(line, stored.codePage, targets);
        }
    });
    return targets;
}

} // namespace corvantis::core
