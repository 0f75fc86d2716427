#include "core/line_merge.h"

#include "core/entry_file.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace corvantis::core {
namespace {

using Lines = std::vector<std::u16string>;
constexpr unsigned kWestern = 1252;

std::string FileOf(const Lines& lines) {
    std::string bytes;
    for (const auto& line : lines) {
        bytes += std::string(line.begin(), line.end()) + "\r\n";
    }
    return bytes;
}

Lines Shown(const EntryList& list) {
    return list.Items();
}

// This copy loads `base` and changes its list; meanwhile the file becomes `theirs`; then this copy
// saves. The file must hold the merge, and the list show it.
TEST(MergeOnSave, CarriesThisCopysChangesOverToWhatTheFileHoldsNow) {
    using Change = std::function<void(EntryList&)>;
    const auto remove = [](int index) {
        return [=](EntryList& list) {
            list.Remove(index);
        };
    };
    const auto edit = [](int index, std::u16string line) {
        return [=](EntryList& list) {
            list.Replace(index, line);
        };
    };
    const auto add = [](std::u16string line) {
        return [=](EntryList& list) {
            list.Insert(0, line);
        };
    };
    const struct {
        const char* what;
        std::optional<Lines> base; // nullopt: the file could not be read at start
        std::vector<Change> ours;
        Lines theirs;
        Lines merged;
    } cases[] = {
        {"nothing changed on disk",
         Lines{u"a", u"b", u"c"},
         {remove(1), add(u"n")},
         {u"a", u"b", u"c"},
         {u"n", u"a", u"c"}},
        {"we delete, they add",
         Lines{u"a", u"b", u"c"},
         {remove(0)},
         {u"a", u"b", u"c", u"d"},
         {u"b", u"c", u"d"}},
        {"we add, they delete",
         Lines{u"a", u"b", u"c"},
         {add(u"n")},
         {u"a", u"c"},
         {u"n", u"a", u"c"}},
        {"we edit, they add elsewhere",
         Lines{u"a", u"b", u"c"},
         {edit(1, u"B")},
         {u"x", u"a", u"b", u"c"},
         {u"x", u"a", u"B", u"c"}},
        {"both edit one line: both versions stay",
         Lines{u"a", u"b", u"c"},
         {edit(1, u"B1")},
         {u"a", u"B2", u"c"},
         {u"a", u"B1", u"B2", u"c"}},
        {"we delete what they edited: their edit stays",
         Lines{u"a", u"b", u"c"},
         {remove(1)},
         {u"a", u"B2", u"c"},
         {u"a", u"B2", u"c"}},
        {"we edit what they deleted: our edit stays",
         Lines{u"a", u"b", u"c"},
         {edit(1, u"B1")},
         {u"a", u"c"},
         {u"a", u"B1", u"c"}},
        {"both delete one line", Lines{u"a", u"b", u"c"}, {remove(1)}, {u"a", u"c"}, {u"a", u"c"}},
        {"duplicates: the one we deleted goes",
         Lines{u"a", u"a", u"b"},
         {remove(1)},
         {u"a", u"a", u"b", u"c"},
         {u"a", u"b", u"c"}},
        {"duplicates: they add one more",
         Lines{u"g", u"g"},
         {remove(0)},
         {u"g", u"g", u"g"},
         {u"g", u"g"}},
        {"our new line follows the line above it",
         Lines{u"a", u"b"},
         {[](EntryList& list) {
             list.Insert(1, u"n");
         }},
         {u"x", u"a", u"y", u"b"},
         {u"x", u"a", u"n", u"y", u"b"}},
        {"an empty base keeps everything they have",
         Lines{},
         {add(u"n")},
         {u"p", u"q"},
         {u"n", u"p", u"q"}},
        {"unreadable at start keeps everything they have",
         std::nullopt,
         {add(u"n")},
         {u"p", u"q"},
         {u"n", u"p", u"q"}},
        {"we empty the list, they add",
         Lines{u"a", u"b"},
         {[](EntryList& list) {
             list.Clear();
         }},
         {u"a", u"b", u"c"},
         {u"c"}},
        {"we empty the list, they change nothing",
         Lines{u"a", u"b"},
         {[](EntryList& list) {
             list.Clear();
         }},
         {u"a", u"b"},
         {}},
        {"they rewrite everything", Lines{u"a", u"b"}, {remove(0)}, {u"p", u"q"}, {u"p", u"q"}},
    };
    for (const auto& c : cases) {
        testing::TempDir dir;
        if (c.base) {
            dir.Write("data.txt", FileOf(*c.base));
        } else {
            std::filesystem::create_directories(dir.Path("data.txt"));
        }
        EntryFile file(dir.Name("data.txt"), kWestern);
        EntryList list;
        EXPECT_EQ(file.Load(list), c.base ? LoadOutcome::Loaded : LoadOutcome::Unreadable);
        for (const Change& change : c.ours) {
            change(list);
        }
        std::filesystem::remove_all(dir.Path("data.txt"));
        dir.Write("data.txt", FileOf(c.theirs));
        ASSERT_TRUE(file.Save(list)) << c.what;
        EXPECT_EQ(dir.Read("data.txt"), c.merged.empty() ? "\r\n" : FileOf(c.merged)) << c.what;
        EXPECT_EQ(Shown(list), c.merged) << c.what;
        EXPECT_TRUE(file.ListShowsFile(list)) << c.what;
    }
}

TEST(MergeOnSave, TwoCopiesOfOneFileSavingInTurnKeepBothTheirChanges) {
    testing::TempDir dir;
    dir.Write("data.txt", "g:G\r\nbd:B\r\nnotepad:N\r\n");
    EntryFile fileA(dir.Name("data.txt"), kWestern);
    EntryFile fileB(dir.Name("data.txt"), kWestern);
    EntryList listA;
    EntryList listB;
    fileA.Load(listA);
    fileB.Load(listB);
    listA.Remove(1); // bd
    listA.Insert(0, u"a:A");
    listB.Remove(2); // notepad
    listB.Insert(0, u"b:B");
    ASSERT_TRUE(fileA.Save(listA));
    ASSERT_TRUE(fileB.Save(listB));
    EXPECT_EQ(dir.Read("data.txt"), "b:B\r\na:A\r\ng:G\r\n");
    // A's next save keeps B's changes too.
    listA.Insert(0, u"c:C");
    ASSERT_TRUE(fileA.Save(listA));
    EXPECT_EQ(dir.Read("data.txt"), "c:C\r\nb:B\r\na:A\r\ng:G\r\n");
}

TEST(MergeLines, WithTheFileUnchangedGivesWhatTheFullMergeGives) {
    // The full merge, made to run by one line theirs added at the end, must give the same lines
    // before it: deletions, edits and new lines anywhere, duplicates among the lines.
    std::mt19937 random(7);
    for (int round = 0; round < 500; ++round) {
        std::string bytes;
        const size_t count = random() % 12;
        for (size_t i = 0; i < count; ++i) {
            bytes += std::string(1, static_cast<char>('a' + random() % 4)) + "\r\n";
        }
        EntryList list;
        const auto file = std::make_shared<const StoredLines>(bytes, kWestern);
        list.Assign(file);
        for (int change = static_cast<int>(random() % 6); change > 0; --change) {
            const int at = static_cast<int>(random() % static_cast<unsigned>(list.Count() + 1));
            switch (random() % 3) {
            case 0:
                list.Remove(at);
                break;
            case 1:
                list.Replace(at, u"e");
                break;
            default:
                list.Insert(at, u"n");
            }
        }
        const std::vector<std::string_view> base = file->Views();
        std::vector<std::string_view> theirs = base;
        theirs.push_back("z");
        std::vector<MergedLine> expected = MergeLines(base, list.Origins(), theirs);
        ASSERT_EQ(expected.back(), (MergedLine{false, base.size()})) << bytes;
        expected.pop_back();
        ASSERT_EQ(MergeLines(base, list.Origins(), base), expected) << bytes;
    }
}

TEST(MatchLines, MatchesInOrderAroundLinesThatOccurOnce) {
    const std::vector<std::string_view> base = {"a", "x", "b", "x", "c"};
    const std::vector<std::string_view> theirs = {"c", "a", "x", "b", "y", "x"};
    // "c" moved up: the longest ordered match keeps a, x, b, x and gives c up.
    EXPECT_EQ(MatchLines(base, theirs), (std::vector<size_t>{1, 2, 3, 5, kNoLine}));
}

} // namespace
} // namespace corvantis::core
