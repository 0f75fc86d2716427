#pragma once
// The text comparison that finds separators and the placeholder: two UTF-16 code units compare
// equal when they fold to the same unit. The fold is fixed here and never depends on the locale
// (a Turkish locale changes nothing).
//
// Width, applied first:
//   U+FF01..U+FF5E (full-width forms)  ->  U+0021..U+007E
//   U+3000 (ideographic space)         ->  U+0020
// Case, applied to the result, upper case to its lower-case partner:
//   ASCII            U+0041..U+005A -> +0x20
//   Latin-1          U+00C0..U+00DE except U+00D7 -> +0x20
//   Latin Extended-A the upper/lower pairs of U+0100..U+017E: U+0100..U+012F, U+0132..U+0137 and
//                    U+014A..U+0177 (even is upper), U+0139..U+0148 and U+0179..U+017E (odd is
//                    upper); U+0178 -> U+00FF
//   Greek            U+0391..U+03AB except U+03A2 -> +0x20; U+0386 -> U+03AC;
//                    U+0388..U+038A -> +0x25; U+038C -> U+03CC; U+038E..U+038F -> +0x3F;
//                    final sigma U+03C2 -> U+03C3
//   Cyrillic         U+0400..U+040F -> +0x50; U+0410..U+042F -> +0x20
// Everything else, surrogates included, stays itself. In particular U+0130 (capital I with dot)
// and U+0131 (dotless i) have no partner: I folds to i only. Nor are U+00DF, U+00B5, U+017F
// (long s) or anything outside the ranges above folded.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace corvantis::core {

char16_t FoldForCompare(char16_t c);

inline bool EqualForCompare(char16_t a, char16_t b) {
    return a == b || FoldForCompare(a) == FoldForCompare(b);
}

// Every code unit that compares equal to one character (at most four: a, A, and their
// full-width forms), worked out once so that a search tests plain equality.
class EqualChars {
public:
    explicit EqualChars(char16_t c);

    bool Matches(char16_t u) const {
        return (u == units_[0]) | (u == units_[1]) | (u == units_[2]) | (u == units_[3]);
    }

    // The first position at or after `from` whose unit matches; npos when there is none.
    size_t FindIn(std::u16string_view text, size_t from = 0) const;

private:
    std::array<char16_t, 4> units_;
    // Each unit repeated in the four 16-bit lanes of a word.
    std::array<std::uint64_t, 4> lanes_;
};

// The first code unit at or after `from` that compares equal to `c`: FindChar(s, u':') also
// finds U+FF1A, FindChar(s, u' ') also finds U+3000. npos when there is none.
inline size_t FindChar(std::u16string_view text, char16_t c, size_t from = 0) {
    return EqualChars(c).FindIn(text, from);
}

// The first position at or after `from` where `needle` occurs under the text comparison; npos
// when it does not. An empty needle is found at `from` when `from` lies within the text.
size_t FindText(std::u16string_view haystack, std::u16string_view needle, size_t from = 0);

} // namespace corvantis::core
