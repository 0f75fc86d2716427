#include "core/line_merge.h"

#include "core/entry_file.h"
#include "platform/codepage.h"
#include "random_edits.h"
#include "file_and_list.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace corvantis::core {
namespace {

using testing::Load;
using testing::Save;

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
        {"they move a line we deleted: it stays deleted",
         Lines{u"x", u"a", u"b"},
         {remove(0)},
         {u"a", u"b", u"x"},
         {u"a", u"b"}},
        {"they move a line we edited: our edit takes its place, once",
         Lines{u"x", u"a", u"b"},
         {edit(0, u"X")},
         {u"a", u"b", u"x"},
         {u"a", u"b", u"X"}},
        {"they move a line among repeated ones, we delete one of those",
         Lines{u"", u"a", u"a"},
         {remove(1)},
         {u"a", u"a", u""},
         {u"a", u""}},
        {"they move a line we kept: it stays where they put it",
         Lines{u"x", u"a", u"b"},
         {remove(1)},
         {u"b", u"a", u"x"},
         {u"b", u"x"}},
    };
    for (const auto& c : cases) {
        testing::TempDir dir;
        if (c.base) {
            dir.WriteSettled("data.txt", FileOf(*c.base));
        } else {
            std::filesystem::create_directories(dir.Path("data.txt"));
        }
        EntryFile file(dir.Name("data.txt"), kWestern);
        EntryList list;
        EXPECT_EQ(Load(file, list), c.base ? LoadOutcome::Loaded : LoadOutcome::Unreadable);
        for (const Change& change : c.ours) {
            change(list);
        }
        std::filesystem::remove_all(dir.Path("data.txt"));
        dir.Write("data.txt", FileOf(c.theirs));
        ASSERT_TRUE(Save(file, list)) << c.what;
        EXPECT_EQ(dir.Read("data.txt"), c.merged.empty() ? "\r\n" : FileOf(c.merged)) << c.what;
        EXPECT_EQ(Shown(list), c.merged) << c.what;
        EXPECT_TRUE(list.ShowsUnchanged(file.Known())) << c.what;
    }
}

TEST(MergeOnSave, TwoCopiesOfOneFileSavingInTurnKeepBothTheirChanges) {
    testing::TempDir dir;
    dir.Write("data.txt", "g:G\r\nbd:B\r\nnotepad:N\r\n");
    EntryFile fileA(dir.Name("data.txt"), kWestern);
    EntryFile fileB(dir.Name("data.txt"), kWestern);
    EntryList listA;
    EntryList listB;
    Load(fileA, listA);
    Load(fileB, listB);
    listA.Remove(1); // bd
    listA.Insert(0, u"a:A");
    listB.Remove(2); // notepad
    listB.Insert(0, u"b:B");
    ASSERT_TRUE(Save(fileA, listA));
    ASSERT_TRUE(Save(fileB, listB));
    EXPECT_EQ(dir.Read("data.txt"), "b:B\r\na:A\r\ng:G\r\n");
    // A's next save keeps B's changes too.
    listA.Insert(0, u"c:C");
    ASSERT_TRUE(Save(fileA, listA));
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
        testing::EditAtRandom(list, random, static_cast<int>(random() % 6), u"e", u"n");
        const std::vector<std::string_view> base = file->Views();
        std::vector<std::string_view> theirs = base;
        theirs.push_back("z");
        std::vector<MergedLine> expected = MergeLines(base, list.Origins(), theirs);
        ASSERT_EQ(expected.back(), (MergedLine{false, base.size()})) << bytes;
        expected.pop_back();
        ASSERT_EQ(MergeLines(base, list.Origins(), base), expected) << bytes;
    }
}

// Whatever lines they move, and whatever they add, the merge holds our lines and their additions:
// no line we deleted comes back, no line we edited stays beside our edit, no line is doubled.
TEST(MergeLines, LinesTheyMovedCarryOurChangesWithThem) {
    std::mt19937 random(18);
    const std::string_view alphabet[] = {"", "a", "b", "c"};
    for (int round = 0; round < 20000; ++round) {
        std::string bytes;
        for (size_t count = random() % 10; count > 0; --count) {
            bytes += std::string(alphabet[random() % std::size(alphabet)]) + "\r\n";
        }
        const auto file = std::make_shared<const StoredLines>(bytes, kWestern);
        EntryList list;
        list.Assign(file);
        const auto ours = [](int change) {
            return u"our" + std::u16string(1, u'0' + change);
        };
        testing::EditAtRandom(list, random, static_cast<int>(random() % 4), ours, ours);
        const std::vector<std::string_view> base = file->Views();
        std::vector<std::string_view> theirs = base;
        for (int move = static_cast<int>(1 + random() % 3); move > 0 && !theirs.empty(); --move) {
            const auto line =
                theirs.begin() + static_cast<std::ptrdiff_t>(random() % theirs.size());
            const std::string_view moved = *line;
            theirs.erase(line);
            theirs.insert(theirs.begin() +
                              static_cast<std::ptrdiff_t>(random() % (theirs.size() + 1)),
                          moved);
        }
        std::vector<std::string> expected;
        for (const auto& item : list.Items()) {
            expected.push_back(platform::EncodeUtf8(item));
        }
        if (random() % 2 == 0) {
            theirs.insert(theirs.begin() +
                              static_cast<std::ptrdiff_t>(random() % (theirs.size() + 1)),
                          "theirs");
            expected.push_back("theirs");
        }
        std::vector<std::string> merged;
        for (const MergedLine& line : MergeLines(base, list.Origins(), theirs)) {
            merged.push_back(line.ours
                                 ? platform::EncodeUtf8(list.Item(static_cast<int>(line.index)))
                                 : std::string(theirs[line.index]));
        }
        std::sort(expected.begin(), expected.end());
        std::sort(merged.begin(), merged.end());
        ASSERT_EQ(merged, expected) << "round " << round << ": " << bytes;
    }
}

TEST(MergeLines, FiveThousandRepeatedLinesAreComparedLineByLine) {
    // No line occurs once: the lines are matched by the longest common run all the same, and our
    // deletion and edit land on the lines they were made to.
    std::vector<std::string_view> base(5000, "g:x");
    base[2500] = "h:x";
    std::vector<std::string_view> theirs = base;
    theirs.insert(theirs.begin(), "top");
    theirs.insert(theirs.begin() + 4000, "middle");
    theirs.push_back("end");
    const std::vector<size_t> match = MatchLines(base, theirs);
    for (size_t i = 0; i < base.size(); ++i) {
        ASSERT_EQ(match[i], i < 3999 ? i + 1 : i + 2) << i;
    }
    std::vector<OurLine> ours;
    for (size_t i = 0; i < base.size(); ++i) {
        if (i != 10) {
            ours.push_back({i, i == 20});
        }
    }
    const std::vector<MergedLine> merged = MergeLines(base, ours, theirs);
    ASSERT_EQ(merged.size(), theirs.size() - 1);
    EXPECT_EQ(std::ranges::count_if(merged, [](const MergedLine& line) { return line.ours; }), 1);
    EXPECT_EQ(merged[20], (MergedLine{true, 19}));
}

} // namespace
} // namespace corvantis::core
