#include "core/entry_commands.h"

#include "platform/file.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace corvantis::core {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::u16string>;

// The program's list with a view that follows every change as the list box does: whatever a
// command does, the two must agree.
class MirroredList final : public EntryListView {
public:
    explicit MirroredList(const Lines& items = {}) { list.Append(items); }

    Lines Items() const {
        const Lines items = list.Items();
        EXPECT_EQ(shown_, items) << "the view no longer shows the list";
        return items;
    }

    void Appended(int count) override {
        for (int i = list.Count() - count; i < list.Count(); ++i) {
            shown_.push_back(list.Item(i));
        }
    }
    void Inserted(int index) override { shown_.insert(shown_.begin() + index, list.Item(index)); }
    void Removed(int index) override { shown_.erase(shown_.begin() + index); }
    void Replaced(int index) override { shown_[index] = list.Item(index); }
    void Cleared() override { shown_.clear(); }

    EntryList list{*this};

private:
    Lines shown_;
};

constexpr unsigned kCodePageGbk = 936;
const Lines kThree = {u"note:notepad.exe", u"dl:D:\\Downloads", u"g:https://g.cn/?q={query}"};

LauncherState State(int selected, EditorMode mode) {
    LauncherState state;
    state.selected = selected;
    state.mode = mode;
    return state;
}

// ---------------------------------------------------------------------------------------------
// The editor's boxes

TEST(CheckEditorBoxesTest, KeywordIsCheckedFirstAndOnlyTheFirstFailureIsReported) {
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
        EXPECT_EQ(CheckEditorBoxes(c.keywords, c.target), c.expected);
    }
}

// ---------------------------------------------------------------------------------------------
// Saving

TEST(SaveEditorLineTest, AddModePutsTheNewEntryOnTop) {
    MirroredList listMirror(kThree);
    EntryList& list = listMirror.list;
    LauncherState state = State(1, EditorMode::Add);
    SaveEditorLine(list, state, u"a b:notepad.exe");
    EXPECT_EQ(listMirror.Items(), (Lines{u"a b:notepad.exe", kThree[0], kThree[1], kThree[2]}));
    EXPECT_TRUE(state.listChanged);
    EXPECT_EQ(state.selected, 1);
    EXPECT_EQ(state.mode, EditorMode::Add);
}

TEST(SaveEditorLineTest, AddModeIntoAnEmptyList) {
    MirroredList listMirror;
    EntryList& list = listMirror.list;
    LauncherState state = State(-1, EditorMode::Add);
    SaveEditorLine(list, state, u"note:notepad.exe");
    EXPECT_EQ(listMirror.Items(), Lines{u"note:notepad.exe"});
    EXPECT_TRUE(state.listChanged);
}

TEST(SaveEditorLineTest, EditModeReplacesTheSelectedItemInPlace) {
    for (int index = 0; index < 3; ++index) {
        MirroredList listMirror(kThree);
        EntryList& list = listMirror.list;
        LauncherState state = State(index, EditorMode::Add);
        ASSERT_TRUE(EditOpening(list, state));
        SaveEditorLine(list, state, u"new:line");
        Lines expected = kThree;
        expected[index] = u"new:line";
        EXPECT_EQ(listMirror.Items(), expected) << "index " << index;
        EXPECT_TRUE(state.listChanged);
    }
}

TEST(SaveEditorLineTest, EditModeWithNoItemSelectedInsertsOnTopAndKeepsTheList) {
    for (int selIndex : {-1, -2, 3, 4, 1000}) {
        MirroredList listMirror(kThree);
        EntryList& list = listMirror.list;
        LauncherState state = State(selIndex, EditorMode::Edit);
        SaveEditorLine(list, state, u"new:line");
        EXPECT_EQ(listMirror.Items(), (Lines{u"new:line", kThree[0], kThree[1], kThree[2]}))
            << "selected " << selIndex;
        EXPECT_TRUE(state.listChanged);
    }
}

TEST(SaveEditorLineTest, SavesIntoTheEntryItWasOpenedOnWhereverItIsNow) {
    const auto edit = [](MirroredList& mirror, auto&& meanwhile) {
        LauncherState state = State(1, EditorMode::Add);
        EXPECT_TRUE(EditOpening(mirror.list, state));
        meanwhile(mirror.list, state);
        SaveEditorLine(mirror.list, state, u"dl:E:\\Downloads");
        return mirror.Items();
    };
    const std::u16string edited = u"dl:E:\\Downloads";
    const struct {
        const char* meanwhile;
        std::function<void(EntryList&, LauncherState&)> act;
        Lines expected;
    } cases[] = {
        {"nothing", [](EntryList&, LauncherState&) {}, {kThree[0], edited, kThree[2]}},
        {"the menu opened on another item",
         [](EntryList&, LauncherState& state) { state.selected = 2; },
         {kThree[0], edited, kThree[2]}},
        {"an item above deleted",
         [](EntryList& list, LauncherState& state) {
             state.selected = 0;
             DeleteSelected(list, state);
         },
         {edited, kThree[2]}},
        {"an entry added on top",
         [](EntryList& list, LauncherState&) { list.Insert(0, u"x:y"); },
         {u"x:y", kThree[0], edited, kThree[2]}},
        {"the entry itself deleted: saved as new",
         [](EntryList& list, LauncherState& state) {
             state.selected = 1;
             DeleteSelected(list, state);
         },
         {edited, kThree[0], kThree[2]}},
    };
    for (const auto& c : cases) {
        MirroredList mirror(kThree);
        EXPECT_EQ(edit(mirror, c.act), c.expected) << c.meanwhile;
    }
}

TEST(SaveEditorLineTest, AddAfterAnEditLeavesTheEditedEntryAlone) {
    MirroredList listMirror(kThree);
    EntryList& list = listMirror.list;
    LauncherState state = State(1, EditorMode::Add);
    ASSERT_TRUE(EditOpening(list, state));
    SaveEditorLine(list, state, u"dl:E:\\Downloads");
    AddOpening(state); // "新增一个"
    SaveEditorLine(list, state, u"calc:calc.exe");
    EXPECT_EQ(listMirror.Items(),
              (Lines{u"calc:calc.exe", kThree[0], u"dl:E:\\Downloads", kThree[2]}));
}

// ---------------------------------------------------------------------------------------------
// Opening in edit mode

TEST(EditOpeningTest, FillsTheBoxesAndMarksTheListChanged) {
    MirroredList listMirror(kThree);
    EntryList& list = listMirror.list;
    LauncherState state = State(0, EditorMode::Add);
    const auto boxes = EditOpening(list, state);
    ASSERT_TRUE(boxes);
    EXPECT_EQ(boxes->keywords, u"note");
    EXPECT_EQ(boxes->target, u"notepad.exe");
    EXPECT_EQ(state.mode, EditorMode::Edit);
    EXPECT_TRUE(state.listChanged); // set at once: closing unsaved still rewrites the file
    EXPECT_EQ(listMirror.Items(), kThree);
}

TEST(EditOpeningTest, SplitsAtTheFirstColonOfTheItem) {
    struct Case {
        std::u16string line;
        std::u16string keywords;
        std::u16string target;
    };
    const Case cases[] = {
        {JoinEntryLine(u"x:y", u"z"), u"x", u"y:z"},
        {u"dl:D:\\Downloads", u"dl", u"D:\\Downloads"},
        {u"记事本\uFF1Anotepad.exe", u"记事本", u"notepad.exe"},
        {u"no colon here", u"", u"no colon here"},
        {u"", u"", u""},
    };
    for (const Case& c : cases) {
        MirroredList listMirror({c.line});
        EntryList& list = listMirror.list;
        LauncherState state = State(0, EditorMode::Add);
        const auto boxes = EditOpening(list, state);
        ASSERT_TRUE(boxes);
        EXPECT_EQ(boxes->keywords, c.keywords);
        EXPECT_EQ(boxes->target, c.target);
    }
}

TEST(EditOpeningTest, NoItemSelectedChangesNothing) {
    for (const Lines& items : {kThree, Lines{}}) {
        for (int selIndex : {-1, 3, 7}) {
            MirroredList listMirror(items);
            EntryList& list = listMirror.list;
            LauncherState state = State(selIndex, EditorMode::Add);
            EXPECT_FALSE(EditOpening(list, state)) << "selected " << selIndex;
            EXPECT_EQ(state.mode, EditorMode::Add);
            EXPECT_FALSE(state.listChanged);
            EXPECT_EQ(state.selected, selIndex);
            EXPECT_EQ(listMirror.Items(), items);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Deleting one

TEST(DeleteSelectedTest, RemovesTheItemAndMarksTheListChanged) {
    struct Case {
        int selIndex;
        Lines left;
    };
    const Case cases[] = {
        {0, {kThree[1], kThree[2]}},
        {1, {kThree[0], kThree[2]}},
        {2, {kThree[0], kThree[1]}},
    };
    for (const Case& c : cases) {
        MirroredList listMirror(kThree);
        EntryList& list = listMirror.list;
        LauncherState state = State(c.selIndex, EditorMode::Add);
        EXPECT_TRUE(DeleteSelected(list, state));
        EXPECT_EQ(listMirror.Items(), c.left) << "selected " << c.selIndex;
        EXPECT_TRUE(state.listChanged);
    }
}

TEST(DeleteSelectedTest, NoItemSelectedChangesNothing) {
    for (const Lines& items : {kThree, Lines{}}) {
        for (int selIndex : {-1, -100, 3, 50}) {
            MirroredList listMirror(items);
            EntryList& list = listMirror.list;
            LauncherState state = State(selIndex, EditorMode::Edit);
            EXPECT_FALSE(DeleteSelected(list, state)) << "selected " << selIndex;
            EXPECT_EQ(listMirror.Items(), items);
            EXPECT_FALSE(state.listChanged);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Deleting all

class DeleteAllTest : public ::testing::Test {
protected:
    std::string Read() const { return dir_.Read("data.txt"); }

    testing::TempDir dir_;
    EntryFile file_{dir_.Name("data.txt"), kCodePageGbk};
};

constexpr char kOldFile[] = "note:notepad.exe\r\ndl:D:\\Downloads\r\ng:https://g.cn/?q={query}\r\n";

TEST_F(DeleteAllTest, EmptiesTheListAndLeavesExactlyOneLineEndInTheFile) {
    dir_.Write("data.txt", kOldFile);
    MirroredList listMirror(kThree);
    EntryList& list = listMirror.list;
    EXPECT_TRUE(DeleteAll(list, file_));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(Read(), "\r\n");

    // Read back, the file gives one empty line.
    EXPECT_EQ(file_.Read()->Decode(), Lines{u""});
}

TEST_F(DeleteAllTest, CreatesTheFileWhenMissing) {
    MirroredList listMirror(kThree);
    EntryList& list = listMirror.list;
    EXPECT_TRUE(DeleteAll(list, file_));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(Read(), "\r\n");
}

TEST_F(DeleteAllTest, FailedWriteKeepsTheListWhole) {
    MirroredList listMirror(kThree);
    EntryList& list = listMirror.list;
    EntryFile nowhere(dir_.Name("no such folder/data.txt"), kCodePageGbk);
    EXPECT_FALSE(DeleteAll(list, nowhere));
    EXPECT_EQ(listMirror.Items(), kThree);
    EXPECT_FALSE(fs::exists(dir_.Path("no such folder")));
}

TEST_F(DeleteAllTest, FailedWriteKeepsTheOldFileWhole) {
    dir_.Write("data.txt", kOldFile);
    fs::permissions(dir_.Path(""), fs::perms::owner_read | fs::perms::owner_exec);
    if (std::ofstream(dir_.Path("probe"))) {
        GTEST_SKIP() << "the folder stays writable for this user (running with privileges)";
    }
    MirroredList listMirror(kThree);
    EntryList& list = listMirror.list;
    EXPECT_FALSE(DeleteAll(list, file_));
    EXPECT_EQ(listMirror.Items(), kThree);
    EXPECT_EQ(Read(), kOldFile);
}

} // namespace
} // namespace corvantis::core
