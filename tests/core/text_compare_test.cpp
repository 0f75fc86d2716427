#include "core/text_compare.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace corvantis::core {
namespace {

constexpr auto npos = std::u16string_view::npos;

struct FoldCase {
    char16_t in;
    char16_t folded;
};

TEST(FoldForCompare, FoldsWidthThenCaseAsDocumented) {
    const FoldCase cases[] = {
        // ASCII
        {u'A', u'a'},
        {u'Z', u'z'},
        {u'a', u'a'},
        {u'@', u'@'},
        {u'[', u'['},
        {u'0', u'0'},
        {u' ', u' '},
        // Full-width forms and the ideographic space
        {u'\uFF01', u'!'},
        {u'\uFF1A', u':'},
        {u'\uFF21', u'a'}, // full-width A folds to its half-width form, then to lower case
        {u'\uFF41', u'a'},
        {u'\uFF5B', u'{'},
        {u'\uFF5E', u'~'},
        {u'\uFF00', u'\uFF00'},
        {u'\uFF5F', u'\uFF5F'},
        {u'\u3000', u' '},
        {u'\u3001', u'\u3001'},
        // Latin-1 Supplement
        {u'\u00C0', u'\u00E0'},
        {u'\u00C9', u'\u00E9'},
        {u'\u00D7', u'\u00D7'}, // multiplication sign is no letter
        {u'\u00DE', u'\u00FE'},
        {u'\u00DF', u'\u00DF'},
        {u'\u00B5', u'\u00B5'},
        // Latin Extended-A
        {u'\u0100', u'\u0101'},
        {u'\u0101', u'\u0101'},
        {u'\u012E', u'\u012F'},
        {u'\u0132', u'\u0133'},
        {u'\u0138', u'\u0138'},
        {u'\u0139', u'\u013A'},
        {u'\u0147', u'\u0148'},
        {u'\u0149', u'\u0149'},
        {u'\u014A', u'\u014B'},
        {u'\u0152', u'\u0153'},
        {u'\u0176', u'\u0177'},
        {u'\u0178', u'\u00FF'},
        {u'\u0179', u'\u017A'},
        {u'\u017D', u'\u017E'},
        {u'\u017F', u'\u017F'}, // long s stays apart from s
        // Greek
        {u'\u0386', u'\u03AC'},
        {u'\u0388', u'\u03AD'},
        {u'\u038A', u'\u03AF'},
        {u'\u038C', u'\u03CC'},
        {u'\u038E', u'\u03CD'},
        {u'\u038F', u'\u03CE'},
        {u'\u0391', u'\u03B1'},
        {u'\u03A1', u'\u03C1'},
        {u'\u03A2', u'\u03A2'},
        {u'\u03A3', u'\u03C3'},
        {u'\u03A9', u'\u03C9'},
        {u'\u03AB', u'\u03CB'},
        {u'\u03C2', u'\u03C3'}, // final sigma
        {u'\u03F4', u'\u03F4'},
        // Cyrillic
        {u'\u0400', u'\u0450'},
        {u'\u0401', u'\u0451'},
        {u'\u040F', u'\u045F'},
        {u'\u0410', u'\u0430'},
        {u'\u042F', u'\u044F'},
        {u'\u0430', u'\u0430'},
        {u'\u0460', u'\u0460'},
        // Outside the folded blocks
        {u'\u212A', u'\u212A'}, // Kelvin sign
        {u'\u4E2D', u'\u4E2D'},
        {char16_t{0xD83D}, char16_t{0xD83D}},
        {char16_t{0xDE00}, char16_t{0xDE00}},
        {u'\uFFFF', u'\uFFFF'},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FoldForCompare(c.in), c.folded) << std::hex << static_cast<int>(c.in);
    }
}

TEST(FoldForCompare, TurkishDottedAndDotlessIHaveNoPartner) {
    EXPECT_TRUE(EqualForCompare(u'I', u'i'));
    EXPECT_FALSE(EqualForCompare(u'I', u'\u0131'));      // dotless i
    EXPECT_FALSE(EqualForCompare(u'i', u'\u0130'));      // capital I with dot
    EXPECT_FALSE(EqualForCompare(u'\u0130', u'\u0131')); // nor with each other
    EXPECT_EQ(FindText(u"\u0130STANBUL", u"istanbul"), npos);
    EXPECT_EQ(FindText(u"ISTANBUL", u"istanbul"), 0u);
    EXPECT_EQ(FindText(u"D\u0130YARBAKIR", u"d\u0130yarbak\u0131r"), npos);
    EXPECT_EQ(FindText(u"D\u0130YARBAKIR", u"d\u0130yarbakir"), 0u);
}

TEST(FoldForCompare, IsIdempotent) {
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        const char16_t folded = FoldForCompare(static_cast<char16_t>(c));
        ASSERT_EQ(FoldForCompare(folded), folded) << std::hex << static_cast<int>(c);
    }
}

// Every class of code units that fold alike, keyed by the folded unit, worked out by brute force.
std::map<char16_t, std::vector<char16_t>> FoldClasses() {
    std::map<char16_t, std::vector<char16_t>> classes;
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        classes[FoldForCompare(static_cast<char16_t>(c))].push_back(static_cast<char16_t>(c));
    }
    return classes;
}

TEST(FindChar, FindsEveryUnitThatFoldsLikeTheSoughtOneAtAnyPosition) {
    const auto classes = FoldClasses();
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        const auto sought = static_cast<char16_t>(c);
        for (const char16_t unit : classes.at(FoldForCompare(sought))) {
            ASSERT_EQ(FindChar(std::u16string(1, unit), sought), 0u)
                << std::hex << static_cast<int>(sought) << " should find "
                << static_cast<int>(unit);
        }
    }
    // A unit that no other folds to, so that only the planted unit is found; each class of several
    // units, and a sample of the single ones, in every lane of the word-wide search.
    const std::u16string filler(9, u'\u4E00');
    for (const auto& [folded, members] : classes) {
        if (members.size() == 1 && folded % 61 != 0) {
            continue;
        }
        for (const char16_t unit : members) {
            for (size_t at = 0; at < filler.size(); ++at) {
                auto text = filler;
                text[at] = unit;
                ASSERT_EQ(FindChar(text, folded), at) << std::hex << static_cast<int>(unit);
                ASSERT_EQ(FindChar(text, folded, at + 1), npos);
            }
        }
    }
}

TEST(FindChar, FindsNoUnitThatFoldsDifferently) {
    std::u16string everyUnit;
    for (char32_t u = 0; u <= 0xFFFF; ++u) {
        everyUnit += static_cast<char16_t>(u);
    }
    // Each class of several units and a sample of the single ones, against every unit there is.
    for (const auto& [folded, members] : FoldClasses()) {
        if (members.size() == 1 && folded % 61 != 0) {
            continue;
        }
        for (const char16_t sought : members) {
            const EqualChars equal(sought);
            std::vector<char16_t> found;
            for (size_t at = equal.FindIn(everyUnit); at != npos;
                 at = equal.FindIn(everyUnit, at + 1)) {
                found.push_back(everyUnit[at]);
            }
            ASSERT_EQ(found, members) << std::hex << static_cast<int>(sought);
        }
    }
}

struct FindCharCase {
    std::u16string_view text;
    char16_t sought;
    size_t from;
    size_t expected;
};

TEST(FindChar, FindsTheFirstEqualUnitFromTheStart) {
    const FindCharCase cases[] = {
        {u"", u':', 0, npos},
        {u"abc", u':', 0, npos},
        {u"g:A", u':', 0, 1},
        {u"g\uFF1AA:B", u':', 0, 1},  // full-width colon first
        {u"g\uFF1AA:B", u':', 2, 3},  // search starts at `from`
        {u"g:A", u'\uFF1A', 0, 1},    // and the other way round
        {u"g\u3000x y", u' ', 0, 1},  // ideographic space
        {u"g\tx y", u' ', 0, 3},      // a tab is no space
        {u"xyzA", u'a', 0, 3},        // any case
        {u"xyz\uFF41", u'A', 0, 3},   // full-width lower case a
        {u"abc", u'a', 3, npos},      // `from` at the end
        {u"abc", u'a', 10, npos},     // `from` past the end
        {u"\u03C2", u'\u03A3', 0, 0}, // final sigma and capital sigma
        {u"abcdefgh:", u':', 0, 8},   // past the first words
        {u"abcdefgh:", u':', 5, 8},
        {u"abcd:fgh:", u':', 5, 8},
        {u";;;;;;;;;", u':', 0, npos}, // neighbouring units are no match
        {u"\uFF1B\uFF19\uFF1A", u':', 0, 2},
        {u":;;;;;;;", u';', 0, 1}, // a match just above a unit one less
        {u"abcdefgh", u'a', npos, npos},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindChar(c.text, c.sought, c.from), c.expected)
            << "sought " << std::hex << static_cast<int>(c.sought) << std::dec << " from "
            << c.from;
    }
}

struct FindTextCase {
    std::u16string_view haystack;
    std::u16string_view needle;
    size_t from;
    size_t expected;
};

TEST(FindText, FindsTheNeedleUnderTheTextComparison) {
    const FindTextCase cases[] = {
        {u"A?q={query}", u"{query}", 0, 4},
        {u"A?q={QUERY}", u"{query}", 0, 4},
        {u"A?q={Query}", u"{query}", 0, 4},
        {u"A?q=\uFF5B\uFF51\uFF55\uFF45\uFF52\uFF59\uFF5D", u"{query}", 0, 4}, // full width
        {u"A?q=\uFF5Bquery}", u"{query}", 0, 4},
        {u"{{query}", u"{query}", 0, 1},       // a false start is passed over
        {u"{quer", u"{query}", 0, npos},       // needle longer than what is left
        {u"x{query}", u"{query}", 0, 1},       // needle at the very end
        {u"{query}{query}", u"{query}", 1, 7}, // search starts at `from`
        {u"{query}", u"{query}", 8, npos},     // `from` past the end
        {u"{qu ery}", u"{query}", 0, npos},
        {u"abc", u"", 0, 0},
        {u"abc", u"", 3, 3},
        {u"abc", u"", 4, npos},
        {u"", u"", 0, 0},
        {u"", u"a", 0, npos},
        {u"\u03A3\u039F\u03A6\u039F\u03A3", u"\u03C3\u03BF\u03C6\u03BF\u03C2", 0, 0},
        {u"\u041C\u041E\u0421\u041A\u0412\u0410", u"\u043C\u043E\u0441\u043A\u0432\u0430", 0, 0},
        {u"ALLOCIN\u00C9", u"allocin\u00E9", 0, 0},
        {u"ALLOCINE", u"allocin\u00E9", 0, npos},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindText(c.haystack, c.needle, c.from), c.expected)
            << "haystack of " << c.haystack.size() << " units, needle of " << c.needle.size()
            << ", from " << c.from;
    }
}

} // namespace
} // namespace corvantis::core
