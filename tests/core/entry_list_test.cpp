#include "core/entry_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace corvantis::core {
namespace {

using Lines = std::vector<std::u16string>;

constexpr unsigned kGbk = 936;
constexpr unsigned kWestern = 1252;

std::shared_ptr<const StoredLines> File(const std::string& bytes) {
    return std::make_shared<const StoredLines>(bytes, kGbk);
}

TEST(EntryListFirstUnit, IsTheFirstUnitOfTheItemsTextWhateverItsForm) {
    const struct {
        std::string bytes;
        unsigned codePage;
    } cases[] = {
        {"g:A\r\n\r\n\xB0\xD9\xB6\xC8:x\r\n\x81\x30\x81\x30:y\r\n\xFF\r\n", kGbk},
        {"\xEF\xBB\xBF\xE7\x99\xBE:x\r\n\xF0\x9F\x98\x80\r\nz\r\n", kGbk},
        {"\xE9t\xE9:x\r\n", kWestern},
    };
    for (const auto& c : cases) {
        EntryList list;
        list.Assign(std::make_shared<const StoredLines>(c.bytes, c.codePage));
        list.Insert(0, u"新:x");
        list.Replace(1, u"");
        for (int i = 0; i < list.Count(); ++i) {
            const std::u16string item = list.Item(i);
            EXPECT_EQ(list.FirstUnit(i), item.empty() ? u'\0' : item.front()) << c.bytes << i;
        }
    }
}

TEST(EntryListIds, StayWithTheirEntriesWhileOthersComeAndGo) {
    EntryList list;
    list.Assign(File("a\r\nb\r\nc\r\n"));
    const EntryList::Id a = list.IdOf(0), b = list.IdOf(1), c = list.IdOf(2);
    list.Insert(0, u"new");
    list.Remove(2); // b
    list.Replace(2, u"c2");
    EXPECT_EQ(list.Items(), (Lines{u"new", u"a", u"c2"}));
    EXPECT_EQ(list.IndexOf(a), 1);
    EXPECT_EQ(list.IndexOf(b), std::nullopt);
    EXPECT_EQ(list.IndexOf(c), 2);
    EXPECT_NE(list.IdOf(0), a);
    EXPECT_NE(list.IdOf(0), b) << "an id is never given twice";

    // Shown again from the file, a line that was an entry keeps its id; the others get new ones.
    const size_t entryOf[] = {2, kNoLine};
    list.Assign(File("c\r\nd\r\n"), entryOf);
    EXPECT_EQ(list.IndexOf(c), 0);
    for (const EntryList::Id gone : {a, b}) {
        EXPECT_EQ(list.IndexOf(gone), std::nullopt);
    }
}

TEST(EntryListShowsUnchanged, OnlyWhileEveryLineIsTheFilesInItsPlace) {
    const struct {
        const char* what;
        void (*change)(EntryList&);
        bool untouched;
    } cases[] = {
        {"as read", [](EntryList&) {}, true},
        {"an entry added", [](EntryList& list) { list.Insert(0, u"x"); }, false},
        {"an entry removed", [](EntryList& list) { list.Remove(1); }, false},
        {"an entry edited to the same text", [](EntryList& list) { list.Replace(0, u"a"); }, false},
        {"emptied", [](EntryList& list) { list.Clear(); }, false},
        {"the lines again",
         [](EntryList& list) {
             list.Append({u"a", u"b"});
         },
         false},
        {"an index outside", [](EntryList& list) { list.Remove(5); }, true},
    };
    for (const auto& c : cases) {
        EntryList list;
        const auto file = File("a\r\nb\r\n");
        list.Assign(file);
        c.change(list);
        EXPECT_EQ(list.ShowsUnchanged(file.get()), c.untouched) << c.what;
    }
    // An empty list shows a file of one empty line, as written for it, and a file not known.
    const EntryList empty;
    EXPECT_TRUE(empty.ShowsUnchanged(File("\r\n").get()));
    EXPECT_TRUE(empty.ShowsUnchanged(nullptr));
    EXPECT_FALSE(empty.ShowsUnchanged(File("a\r\n").get()));
}

} // namespace
} // namespace corvantis::core
