#include "editing/entry_part.h"

#include <gtest/gtest.h>

#include <string>

namespace corvantis::editing {
namespace {

struct SplitCase {
    std::u16string line;
    std::u16string keywords; // EntryPart(line, "l")
    std::u16string target;   // EntryPart(line, "r")
};

TEST(EntryPartTest, SplitsAtTheFirstColon) {
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
        EXPECT_EQ(EntryPart(c.line, u"l"), c.keywords);
        EXPECT_EQ(EntryPart(c.line, u"r"), c.target);
    }
}

TEST(EntryPartTest, FullWidthColonSplitsToo) {
    const SplitCase cases[] = {
        {u"记事本\uFF1Anotepad.exe", u"记事本", u"notepad.exe"},
        // Whichever kind of colon comes first wins.
        {u"a\uFF1Ab:c", u"a", u"b:c"},
        {u"a:b\uFF1Ac", u"a", u"b\uFF1Ac"},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(EntryPart(c.line, u"l"), c.keywords);
        EXPECT_EQ(EntryPart(c.line, u"r"), c.target);
    }
}

TEST(EntryPartTest, LineWithoutColonIsAllTarget) {
    for (const std::u16string line : {u"notepad.exe", u"a b c", u"", u"\uFE55 small colon"}) {
        EXPECT_EQ(EntryPart(line, u"l"), u"");
        EXPECT_EQ(EntryPart(line, u"r"), line);
    }
}

TEST(EntryPartTest, WhichIsComparedExactly) {
    for (const std::u16string which : {u"L", u"R", u"", u"l ", u"left", u"lr", u"\uFF4C"}) {
        EXPECT_EQ(EntryPart(u"note:notepad.exe", which), u"");
    }
}

TEST(EntryPartTest, ColonFarIntoALongLine) {
    const std::u16string keywords(40000, u'k');
    const std::u16string line = keywords + u":target";
    EXPECT_EQ(EntryPart(line, u"l"), keywords);
    EXPECT_EQ(EntryPart(line, u"r"), u"target");
}

} // namespace
} // namespace corvantis::editing
