#include "platform/codepage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace corvantis::platform {
namespace {

// The position of the first unit of 0x80 or more at or after `from`, eight bytes at a time:
// entry files are mostly ASCII, and this scan, with the widening copy that follows, is most of
// what reading one costs. The text's size when there is none.
template <typename Char> size_t FindNonAscii(std::basic_string_view<Char> text, size_t from = 0) {
    constexpr std::uint64_t kHighBits =
        sizeof(Char) == 1 ? 0x8080808080808080ull : 0xFF80FF80FF80FF80ull;
    constexpr size_t kPerWord = sizeof(std::uint64_t) / sizeof(Char);
    constexpr size_t kWordsPerBlock = 4; // one test per block keeps the loop free of branches
    const auto wordAt = [&](size_t at) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + at, sizeof word);
        return word;
    };
    size_t i = from;
    for (; i + kPerWord * kWordsPerBlock <= text.size(); i += kPerWord * kWordsPerBlock) {
        const std::uint64_t block =
            wordAt(i) | wordAt(i + kPerWord) | wordAt(i + 2 * kPerWord) | wordAt(i + 3 * kPerWord);
        if ((block & kHighBits) != 0) {
            break;
        }
    }
    for (; i + kPerWord <= text.size(); i += kPerWord) {
        if ((wordAt(i) & kHighBits) != 0) {
            break;
        }
    }
    for (; i < text.size(); ++i) {
        if (static_cast<std::make_unsigned_t<Char>>(text[i]) >= 0x80) {
            return i;
        }
    }
    return text.size();
}

template <typename Char> bool IsAscii(std::basic_string_view<Char> text) {
    return FindNonAscii(text) == text.size();
}

// Every Windows ANSI code page maps bytes below 0x80 to the same code units, and in none of them
// is a CR or LF byte part of a longer character, so text is converted a line at a time and the
// system is asked only for the lines that need it. Calls `convert` with consecutive pieces of
// `text`: runs of ASCII lines (ascii true), and each line that holds another unit, with its CR
// or LF (ascii false). Entry files are mostly ASCII.
template <typename Char, typename Convert>
void ConvertByLines(std::basic_string_view<Char> text, Convert&& convert) {
    constexpr Char kLineEnds[] = {Char('\r'), Char('\n')};
    constexpr auto npos = std::basic_string_view<Char>::npos;
    size_t start = 0;
    while (start < text.size()) {
        const size_t other = FindNonAscii(text, start);
        if (other == text.size()) {
            convert(text.substr(start), true);
            return;
        }
        const size_t before = text.find_last_of(kLineEnds, other, 2);
        const size_t line = before == npos || before < start ? start : before + 1;
        if (line > start) {
            convert(text.substr(start, line - start), true);
        }
        const size_t after = text.find_first_of(kLineEnds, other, 2);
        const size_t end = after == npos ? text.size() : after + 1;
        convert(text.substr(line, end - line), false);
        start = end;
    }
}

template <typename To, typename From>
void AppendWidened(std::basic_string<To>& out, std::basic_string_view<From> ascii) {
    const size_t at = out.size();
    out.resize(at + ascii.size());
    To* target = out.data() + at;
    for (size_t i = 0; i < ascii.size(); ++i) {
        target[i] = static_cast<To>(ascii[i]);
    }
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// What a lead byte of UTF-8 promises: the sequence's length and the range its second byte must
// fall in, which rules out overlong forms, surrogates and code points past U+10FFFF. A length of
// 0 marks a byte that no valid sequence starts with (80-C1, F5-FF).
struct Utf8Lead {
    size_t length;
    unsigned char low;
    unsigned char high;
};

constexpr Utf8Lead LeadOf(unsigned char b) {
    if (b >= 0xC2 && b <= 0xDF) {
        return {2, 0x80, 0xBF};
    }
    if (b >= 0xE0 && b <= 0xEF) {
        return {3, static_cast<unsigned char>(b == 0xE0 ? 0xA0 : 0x80),
                static_cast<unsigned char>(b == 0xED ? 0x9F : 0xBF)};
    }
    if (b >= 0xF0 && b <= 0xF4) {
        return {4, static_cast<unsigned char>(b == 0xF0 ? 0x90 : 0x80),
                static_cast<unsigned char>(b == 0xF4 ? 0x8F : 0xBF)};
    }
    return {0, 0, 0};
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

} // namespace

std::u16string DecodeUtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        }
        const Utf8Lead lead = LeadOf(b);
        char32_t cp = b & (0x7F >> lead.length);
        size_t taken = 1;
        for (; taken < lead.length && i + taken < bytes.size(); ++taken) {
            const auto next = static_cast<unsigned char>(bytes[i + taken]);
            const bool fits =
                taken == 1 ? next >= lead.low && next <= lead.high : next >= 0x80 && next <= 0xBF;
            if (!fits) {
                break;
            }
            cp = (cp << 6) | (next & 0x3F);
        }
        if (lead.length != 0 && taken == lead.length) {
            AppendUtf16(out, cp);
        } else {
            // An invalid lead or a cut-off sequence: one replacement for the bytes that could
            // still have begun a valid form, so that the next lead is read as a lead.
            out += u'\uFFFD';
        }
        i += taken;
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            i = FindNonAscii(bytes, i);
            continue;
        }
        const Utf8Lead lead = LeadOf(b);
        if (lead.length == 0 || bytes.size() - i < lead.length) {
            return false;
        }
        for (size_t k = 1; k < lead.length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            const bool fits =
                k == 1 ? next >= lead.low && next <= lead.high : next >= 0x80 && next <= 0xBF;
            if (!fits) {
                return false;
            }
        }
        i += lead.length;
    }
    return true;
}

size_t FirstNonAscii(std::string_view bytes) {
    return FindNonAscii(bytes);
}

std::string EncodeUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

void AppendDecoded(std::u16string& out, std::string_view bytes, unsigned codePage) {
    if (codePage == kCodePageUtf8) {
        out += DecodeUtf8(bytes);
        return;
    }
    if (IsAscii(bytes)) {
        AppendWidened(out, bytes);
        return;
    }
    ConvertByLines(bytes, [&](std::string_view line, bool ascii) {
        if (ascii) {
            AppendWidened(out, line);
        } else {
            out += DecodeNonAscii(line, codePage);
        }
    });
}

std::u16string DecodeCodePage(std::string_view bytes, unsigned codePage) {
    // Nearly every line of an entry file is ASCII, the same in every code page and in UTF-8:
    // widened as the string is built, with no zero fill before it.
    if (IsAscii(bytes)) {
        return std::u16string(bytes.begin(), bytes.end());
    }
    std::u16string out;
    out.reserve(bytes.size());
    AppendDecoded(out, bytes, codePage);
    return out;
}

bool IsValidInCodePage(std::string_view bytes, unsigned codePage) {
    if (codePage == kCodePageUtf8) {
        return IsValidUtf8(bytes);
    }
    return IsAscii(bytes) || IsValidNonAscii(bytes, codePage);
}

std::optional<std::string> EncodeCodePage(std::u16string_view text, unsigned codePage) {
    if (codePage == kCodePageUtf8) {
        return EncodeUtf8(text);
    }
    std::string out;
    if (IsAscii(text)) {
        AppendWidened(out, text); // narrowed, in fact: every unit fits a byte
        return out;
    }
    out.reserve(text.size());
    bool exact = true;
    ConvertByLines(text, [&](std::u16string_view line, bool ascii) {
        if (!exact) {
            return;
        }
        if (ascii) {
            AppendWidened(out, line);
        } else if (auto bytes = EncodeNonAscii(line, codePage)) {
            out += *bytes;
        } else {
            exact = false;
        }
    });
    if (!exact) {
        return std::nullopt;
    }
    return out;
}

} // namespace corvantis::platform
