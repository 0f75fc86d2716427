#include "editing/entry_commands.h"

#include "platform/codepage.h"
#include "platform/file.h"
#include "store/entry_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace corvantis::editing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::u16string>;

// The launcher's list box stand-in: an out-of-range index fails the test and changes nothing.
class VectorList final : public EntryList, public store::ItemSink {
public:
    explicit VectorList(Lines items = {}) : items_(std::move(items)) {}

    int Count() const override { return static_cast<int>(items_.size()); }
    std::u16string Item(int index) const override {
        return Valid(index, false) ? items_[index] : std::u16string();
    }
    void Insert(int index, std::u16string_view line) override {
        if (Valid(index, true)) {
            items_.emplace(items_.begin() + index, line);
        }
    }
    void Remove(int index) override {
        if (Valid(index, false)) {
            items_.erase(items_.begin() + index);
        }
    }
    void Replace(int index, std::u16string_view line) override {
        if (Valid(index, false)) {
            items_[index] = line;
        }
    }
    void Clear() override { items_.clear(); }
    void AddItem(std::u16string_view line) override { items_.emplace_back(line); }

    const Lines& Items() const { return items_; }

private:
    bool Valid(int index, bool endAllowed) const {
        const bool valid = index >= 0 && (index < Count() || (endAllowed && index == Count()));
        EXPECT_TRUE(valid) << "index " << index << " of " << Count();
        return valid;
    }

    Lines items_;
};

const Lines kThree = {u"note:notepad.exe", u"dl:D:\\Downloads", u"g:https://g.cn/?q={query}"};

store::Pubstr State(int selIndex, int editMode) {
    store::Pubstr pubstr;
    pubstr.SelIndex = selIndex;
    pubstr.EditMode = editMode;
    return pubstr;
}

// ---------------------------------------------------------------------------------------------
// The editor's boxes

TEST(CheckEditorBoxesTest, KeywordIsCheckedFirstAndOnlyEmptyFails) {
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
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckEditorBoxes(c.keywords, c.target), c.expected);
    }
}

TEST(BuildEntryLineTest, JoinsTheBoxesWithOneColonAsTyped) {
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
        EXPECT_EQ(BuildEntryLine(c.keywords, c.target), c.line);
    }
}

// ---------------------------------------------------------------------------------------------
// Saving

TEST(SaveEditorLineTest, AddModePutsTheNewEntryOnTop) {
    VectorList list(kThree);
    store::Pubstr pubstr = State(1, 0);
    SaveEditorLine(list, pubstr, u"a b:notepad.exe");
    EXPECT_EQ(list.Items(), (Lines{u"a b:notepad.exe", kThree[0], kThree[1], kThree[2]}));
    EXPECT_EQ(pubstr.ListChanged, 1);
    EXPECT_EQ(pubstr.SelIndex, 1);
    EXPECT_EQ(pubstr.EditMode, 0);
}

TEST(SaveEditorLineTest, AddModeIntoAnEmptyList) {
    VectorList list;
    store::Pubstr pubstr = State(-1, 0);
    SaveEditorLine(list, pubstr, u"note:notepad.exe");
    EXPECT_EQ(list.Items(), Lines{u"note:notepad.exe"});
    EXPECT_EQ(pubstr.ListChanged, 1);
}

TEST(SaveEditorLineTest, EditModeReplacesTheSelectedItemInPlace) {
    for (int index = 0; index < 3; ++index) {
        VectorList list(kThree);
        store::Pubstr pubstr = State(index, 1);
        SaveEditorLine(list, pubstr, u"new:line");
        Lines expected = kThree;
        expected[index] = u"new:line";
        EXPECT_EQ(list.Items(), expected) << "index " << index;
        EXPECT_EQ(pubstr.ListChanged, 1);
    }
}

TEST(SaveEditorLineTest, EditModeWithNoItemSelectedInsertsOnTopAndKeepsTheList) {
    for (int selIndex : {-1, -2, 3, 4, 1000}) {
        VectorList list(kThree);
        store::Pubstr pubstr = State(selIndex, 1);
        SaveEditorLine(list, pubstr, u"new:line");
        EXPECT_EQ(list.Items(), (Lines{u"new:line", kThree[0], kThree[1], kThree[2]}))
            << "SelIndex " << selIndex;
        EXPECT_EQ(pubstr.ListChanged, 1);
    }
}

TEST(SaveEditorLineTest, OnlyEditModeOneReplaces) {
    for (int editMode : {0, 2, -1}) {
        VectorList list(kThree);
        store::Pubstr pubstr = State(0, editMode);
        SaveEditorLine(list, pubstr, u"new:line");
        EXPECT_EQ(list.Count(), 4) << "EditMode " << editMode;
        EXPECT_EQ(list.Item(0), u"new:line");
    }
}

TEST(SaveEditorLineTest, SaveUsesTheSelectionAtTheMomentOfSaving) {
    // Edit the first entry, then open the menu on the third while the editor is open.
    VectorList list(kThree);
    store::Pubstr pubstr = State(0, 0);
    ASSERT_TRUE(EditOpening(list, pubstr));
    pubstr.SelIndex = 2;
    SaveEditorLine(list, pubstr, u"g:https://www.bing.com/search?q={query}");
    EXPECT_EQ(list.Items(),
              (Lines{kThree[0], kThree[1], u"g:https://www.bing.com/search?q={query}"}));
}

TEST(SaveEditorLineTest, AddAfterAnEditLeavesTheEditedEntryAlone) {
    VectorList list(kThree);
    store::Pubstr pubstr = State(1, 0);
    ASSERT_TRUE(EditOpening(list, pubstr));
    SaveEditorLine(list, pubstr, u"dl:E:\\Downloads");
    pubstr.EditMode = 0; // "新增一个"
    SaveEditorLine(list, pubstr, u"calc:calc.exe");
    EXPECT_EQ(list.Items(), (Lines{u"calc:calc.exe", kThree[0], u"dl:E:\\Downloads", kThree[2]}));
}

// ---------------------------------------------------------------------------------------------
// Opening in edit mode

TEST(EditOpeningTest, FillsTheBoxesAndMarksTheListChanged) {
    VectorList list(kThree);
    store::Pubstr pubstr = State(0, 0);
    const auto boxes = EditOpening(list, pubstr);
    ASSERT_TRUE(boxes);
    EXPECT_EQ(boxes->keywords, u"note");
    EXPECT_EQ(boxes->target, u"notepad.exe");
    EXPECT_EQ(pubstr.EditMode, 1);
    EXPECT_EQ(pubstr.ListChanged, 1); // set at once: closing unsaved still rewrites the file
    EXPECT_EQ(list.Items(), kThree);
}

TEST(EditOpeningTest, SplitsAtTheFirstColonOfTheItem) {
    struct Case {
        std::u16string line;
        std::u16string keywords;
        std::u16string target;
    };
    const Case cases[] = {
        {BuildEntryLine(u"x:y", u"z"), u"x", u"y:z"},
        {u"dl:D:\\Downloads", u"dl", u"D:\\Downloads"},
        {u"记事本\uFF1Anotepad.exe", u"记事本", u"notepad.exe"},
        {u"no colon here", u"", u"no colon here"},
        {u"", u"", u""},
    };
    for (const Case& c : cases) {
        VectorList list({c.line});
        store::Pubstr pubstr = State(0, 0);
        const auto boxes = EditOpening(list, pubstr);
        ASSERT_TRUE(boxes);
        EXPECT_EQ(boxes->keywords, c.keywords);
        EXPECT_EQ(boxes->target, c.target);
    }
}

TEST(EditOpeningTest, NoItemSelectedChangesNothing) {
    for (const Lines& items : {kThree, Lines{}}) {
        for (int selIndex : {-1, 3, 7}) {
            VectorList list(items);
            store::Pubstr pubstr = State(selIndex, 0);
            EXPECT_FALSE(EditOpening(list, pubstr)) << "SelIndex " << selIndex;
            EXPECT_EQ(pubstr.EditMode, 0);
            EXPECT_EQ(pubstr.ListChanged, 0);
            EXPECT_EQ(pubstr.SelIndex, selIndex);
            EXPECT_EQ(list.Items(), items);
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
        VectorList list(kThree);
        store::Pubstr pubstr = State(c.selIndex, 0);
        EXPECT_TRUE(DeleteSelected(list, pubstr));
        EXPECT_EQ(list.Items(), c.left) << "SelIndex " << c.selIndex;
        EXPECT_EQ(pubstr.ListChanged, 1);
    }
}

TEST(DeleteSelectedTest, NoItemSelectedChangesNothing) {
    for (const Lines& items : {kThree, Lines{}}) {
        for (int selIndex : {-1, -100, 3, 50}) {
            VectorList list(items);
            store::Pubstr pubstr = State(selIndex, 1);
            EXPECT_FALSE(DeleteSelected(list, pubstr)) << "SelIndex " << selIndex;
            EXPECT_EQ(list.Items(), items);
            EXPECT_EQ(pubstr.ListChanged, 0);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Deleting all

class DeleteAllTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / ("corvantis_delete_all_" + std::string(info->name()) +
                                               "_" + std::to_string(std::random_device{}()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }

    void TearDown() override {
        std::error_code ignored;
        fs::permissions(folder_, fs::perms::owner_all, ignored);
        fs::remove_all(folder_, ignored);
    }

    fs::path File() const { return folder_ / "data.txt"; }
    static std::u16string Utf16(const fs::path& path) {
        return platform::DecodeUtf8(path.string());
    }

    static void Write(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    static std::string Read(const fs::path& path) {
        return platform::ReadFileBytes(Utf16(path)).value_or("<unreadable>");
    }

    fs::path folder_;
};

constexpr char kOldFile[] = "note:notepad.exe\r\ndl:D:\\Downloads\r\ng:https://g.cn/?q={query}\r\n";

TEST_F(DeleteAllTest, EmptiesTheListAndLeavesExactlyOneLineEndInTheFile) {
    Write(File(), kOldFile);
    VectorList list(kThree);
    EXPECT_TRUE(DeleteAll(list, Utf16(File())));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(Read(File()), "\r\n");

    // Read back, the file gives one empty line.
    VectorList reloaded;
    ASSERT_TRUE(store::LoadFileToList(Utf16(File()), reloaded, platform::kCodePageUtf8));
    EXPECT_EQ(reloaded.Items(), Lines{u""});
}

TEST_F(DeleteAllTest, CreatesTheFileWhenMissing) {
    VectorList list(kThree);
    EXPECT_TRUE(DeleteAll(list, Utf16(File())));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(Read(File()), "\r\n");
}

TEST_F(DeleteAllTest, FailedWriteKeepsTheListWhole) {
    VectorList list(kThree);
    EXPECT_FALSE(DeleteAll(list, Utf16(folder_ / "no such folder" / "data.txt")));
    EXPECT_EQ(list.Items(), kThree);
    EXPECT_FALSE(fs::exists(folder_ / "no such folder"));
}

TEST_F(DeleteAllTest, FailedWriteKeepsTheOldFileWhole) {
    Write(File(), kOldFile);
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
    if (std::ofstream(folder_ / "probe")) {
        GTEST_SKIP() << "the folder stays writable for this user (running with privileges)";
    }
    VectorList list(kThree);
    EXPECT_FALSE(DeleteAll(list, Utf16(File())));
    EXPECT_EQ(list.Items(), kThree);
    EXPECT_EQ(Read(File()), kOldFile);
}

} // namespace
} // namespace corvantis::editing
