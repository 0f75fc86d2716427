#include "core/entry_line.h"

#include <gtest/gtest.h>

#include <string>

namespace corvantis::core {
namespace {

struct SplitCase {
    std::u16string line;
    std::u16string keywords;
    std::u16string target;
};

TEST(SplitEntryLineTest, SplitsAtTheFirstColon) {
    const SplitCase cases[] = {
        {u"note:notepad.exe", u"note", u"notepad.exe"},
        {u"a b:notepad.exe", u"a b", u"notepad.exe"},
        {u"dl:D:\\Downloads", u"dl", u"D:\\Downloads"},
        {u"x:y:z", u"x", u"y:z"},
        {u"g:https://www.google.com/search?q={query}", u"g",
         u"https://www.google.com/search?q={query}"},
        {u" k : t ", u" k ", u" t "}, // nothing trimmed
        {u":target", u"", u"target"}, // colon first: no keywords
        {u"keys:", u"keys", u""},     // colon last: no target
        {u":", u"", u""},
        {u"百度 bd:https://www.baidu.com/s?wd={query}", u"百度 bd",
         u"https://www.baidu.com/s?wd={query}"},
    };
    for (const SplitCase& c : cases) {
        const EntryParts parts = SplitEntryLine(c.line);
        EXPECT_EQ(parts.keywords, c.keywords);
        EXPECT_EQ(parts.target, c.target);
    }
}

TEST(SplitEntryLineTest, FullWidthColonSplitsToo) {
    const SplitCase cases[] = {
        {u"记事本\uFF1Anotepad.exe", u"记事本", u"notepad.exe"},
        // Whichever kind of colon comes first wins.
        {u"a\uFF1Ab:c", u"a", u"b:c"},
        {u"a:b\uFF1Ac", u"a", u"b\uFF1Ac"},
    };
    for (const SplitCase& c : cases) {
        const EntryParts parts = SplitEntryLine(c.line);
        EXPECT_EQ(parts.keywords, c.keywords);
        EXPECT_EQ(parts.target, c.target);
    }
}

TEST(SplitEntryLineTest, LineWithoutColonIsAllTarget) {
    for (const std::u16string line : {u"notepad.exe", u"a b c", u"", u"\uFE55 small colon"}) {
        const EntryParts parts = SplitEntryLine(line);
        EXPECT_EQ(parts.keywords, u"");
        EXPECT_EQ(parts.target, line);
    }
}

TEST(SplitEntryLineTest, ColonFarIntoALongLine) {
    const std::u16string keywords(40000, u'k');
    const std::u16string line = keywords + u":target";
    const EntryParts parts = SplitEntryLine(line);
    EXPECT_EQ(parts.keywords, keywords);
    EXPECT_EQ(parts.target, u"target");
}

TEST(JoinEntryLineTest, JoinsTheBoxesWithOneColonAsTyped) {
    struct Case {
        std::u16string_view keywords;
        std::u16string_view target;
        std::u16string_view line;
    };
    const Case cases[] = {
        {u"a b", u"notepad.exe", u"a b:notepad.exe"},
        {u"x:y", u"z", u"x:y:z"},
        {u"dl", u"D:\\Downloads", u"dl:D:\\Downloads"},
        {u" k ", u" t ", u" k : t "},
        {u"记事本", u"C:\\Windows\\notepad.exe", u"记事本:C:\\Windows\\notepad.exe"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JoinEntryLine(c.keywords, c.target), c.line);
    }
}

TEST(CheckEntryPartsTest, KeywordIsCheckedFirstAndOnlyTheFirstFailureIsReported) {
    struct Case {
        std::u16string_view keywords;
        std::u16string_view target;
        SaveCheck expected;
    };
    const Case cases[] = {
        {u"", u"", SaveCheck::EmptyKeyword}, // both empty: only the keyword is reported
        {u"", u"notepad.exe", SaveCheck::EmptyKeyword},
        {u"note", u"", SaveCheck::EmptyTarget},
        {u" ", u" ", SaveCheck::Ok}, // spaces pass
        {u"\u3000", u"\t", SaveCheck::Ok},
        {u"a b", u"notepad.exe", SaveCheck::Ok},
        {u"dl", u"D:\\Downloads:x", SaveCheck::Ok}, // a target keeps its own colons
        // A line break would split the line; the first colon divides it.
        {u"k\r", u"t", SaveCheck::KeywordLineBreak},
        {u"k\nj", u"t\n", SaveCheck::KeywordLineBreak},
        {std::u16string_view(u"k\0", 2), u"t", SaveCheck::KeywordLineBreak},
        {u"k:1", u"two", SaveCheck::KeywordColon},
        {u"k\uFF1A1", u"two", SaveCheck::KeywordColon},
        {u"k", u"http://x/\r\ng:calc.exe", SaveCheck::TargetLineBreak},
        {u"k", std::u16string_view(u"t\0", 2), SaveCheck::TargetLineBreak},
        {u"", u"t\n", SaveCheck::EmptyKeyword},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckEntryParts(c.keywords, c.target), c.expected);
    }
}

} // namespace
} // namespace corvantis::core
