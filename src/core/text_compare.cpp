#include "core/text_compare.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace corvantis::core {
namespace {

char16_t FoldWidth(char16_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) {
        return static_cast<char16_t>(c - 0xFEE0);
    }
    return c == 0x3000 ? u' ' : c;
}

char16_t FoldCase(char16_t c) {
    const auto shift = [c](int delta) {
        return static_cast<char16_t>(c + delta);
    };
    if (c < 0x80) {
        return c >= u'A' && c <= u'Z' ? shift(0x20) : c;
    }
    if (c >= 0xC0 && c <= 0xDE) {
        return c == 0xD7 ? c : shift(0x20);
    }
    if (c >= 0x100 && c <= 0x17E) {
        if (c == 0x178) {
            return 0xFF;
        }
        const bool evenUpper =
            c <= 0x12F || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || c >= 0x179;
        return (evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1) ? shift(1) : c;
    }
    if (c >= 0x386 && c <= 0x3C2) {
        if (c == 0x386) {
            return 0x3AC;
        }
        if (c >= 0x388 && c <= 0x38A) {
            return shift(0x25);
        }
        if (c == 0x38C) {
            return 0x3CC;
        }
        if (c == 0x38E || c == 0x38F) {
            return shift(0x3F);
        }
        if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) {
            return shift(0x20);
        }
        return c == 0x3C2 ? 0x3C3 : c;
    }
    if (c >= 0x400 && c <= 0x42F) {
        return c < 0x410 ? shift(0x50) : shift(0x20);
    }
    return c;
}

// Every distance from a folded-case unit back to a unit that folds to it, one per rule of
// FoldCase, so that the units folding to a given one are found by testing a few candidates.
constexpr int kCaseDeltas[] = {0x20, 1, -0x79, 0x26, 0x25, 0x40, 0x3F, 0x50};

constexpr std::uint64_t kLaneOnes = 0x0001'0001'0001'0001;
constexpr std::uint64_t kLaneHighBits = 0x8000'8000'8000'8000;

// Flags the 16-bit lanes of `word` that are zero. Lanes above a zero lane may be flagged too, but
// the lowest flagged lane is always a zero one.
std::uint64_t ZeroLanes(std::uint64_t word) {
    return (word - kLaneOnes) & ~word & kLaneHighBits;
}

} // namespace

char16_t FoldForCompare(char16_t c) {
    return FoldCase(FoldWidth(c));
}

EqualChars::EqualChars(char16_t c) {
    const char16_t folded = FoldForCompare(c);
    units_.fill(folded);
    size_t count = 1;
    const auto add = [&](char16_t u) {
        if (count < units_.size()) {
            units_[count++] = u;
        }
    };
    const auto addWidthForm = [&](char16_t u) {
        if (u >= 0x21 && u <= 0x7E) {
            add(static_cast<char16_t>(u + 0xFEE0));
        } else if (u == u' ') {
            add(0x3000);
        }
    };
    addWidthForm(folded);
    for (const int delta : kCaseDeltas) {
        const auto u = static_cast<char16_t>(folded - delta);
        if (u != folded && FoldCase(u) == folded) {
            add(u);
            addWidthForm(u);
        }
    }
    for (size_t i = 0; i < units_.size(); ++i) {
        lanes_[i] = units_[i] * kLaneOnes;
    }
}

size_t EqualChars::FindIn(std::u16string_view text, size_t from) const {
    if (from >= text.size()) {
        return std::u16string_view::npos;
    }
    size_t i = from;
    if constexpr (std::endian::native == std::endian::little) {
        // Four units per step, the first of them in the lowest lane: a lane that equals a sought
        // unit is zero after the exclusive or.
        for (; text.size() - i >= 4; i += 4) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + i, sizeof word);
            const std::uint64_t hits = ZeroLanes(word ^ lanes_[0]) | ZeroLanes(word ^ lanes_[1]) |
                                       ZeroLanes(word ^ lanes_[2]) | ZeroLanes(word ^ lanes_[3]);
            if (hits != 0) {
                return i + static_cast<size_t>(std::countr_zero(hits)) / 16;
            }
        }
    }
    for (; i < text.size(); ++i) {
        if (Matches(text[i])) {
            return i;
        }
    }
    return std::u16string_view::npos;
}

size_t FindText(std::u16string_view haystack, std::u16string_view needle, size_t from) {
    if (needle.empty()) {
        return from <= haystack.size() ? from : std::u16string_view::npos;
    }
    if (needle.size() > haystack.size()) {
        return std::u16string_view::npos;
    }
    const EqualChars first(needle.front());
    const auto starts = haystack.substr(0, haystack.size() - needle.size() + 1);
    const auto rest = needle.substr(1);
    for (size_t i = first.FindIn(starts, from); i != std::u16string_view::npos;
         i = first.FindIn(starts, i + 1)) {
        if (std::equal(rest.begin(), rest.end(), haystack.begin() + i + 1, EqualForCompare)) {
            return i;
        }
    }
    return std::u16string_view::npos;
}

} // namespace corvantis::core
