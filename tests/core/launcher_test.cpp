#include "core/launcher.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvantis::core {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::u16string>;

constexpr unsigned kCodePageGbk = 936;
const Lines kThree = {u"note:notepad.exe", u"dl:D:\\Downloads", u"g:https://g.cn/?q={query}"};
constexpr char kThreeFile[] =
    "note:notepad.exe\r\ndl:D:\\Downloads\r\ng:https://g.cn/?q={query}\r\n";

// A view that follows every change as the list box does: whatever a command does, the two must
// agree.
class MirroredView final : public EntryListView {
public:
    explicit MirroredView(const EntryList& list) : list_(list) {}

    void Appended(int count) override {
        ++told_;
        for (int i = list_.Count() - count; i < list_.Count(); ++i) {
            shown_.push_back(list_.Item(i));
        }
    }
    void Inserted(int index) override {
        ++told_;
        shown_.insert(shown_.begin() + index, list_.Item(index));
    }
    void Removed(int index) override {
        ++told_;
        shown_.erase(shown_.begin() + index);
    }
    void Replaced(int index) override {
        ++told_;
        shown_[index] = list_.Item(index);
    }
    void Cleared() override {
        ++told_;
        shown_.clear();
    }

    const Lines& Shown() const { return shown_; }
    int Told() const { return told_; }

private:
    const EntryList& list_;
    Lines shown_;
    int told_ = 0;
};

// The launcher of a folder whose data.txt holds `file`, loaded, with a view on its list.
class Session {
public:
    explicit Session(const std::string& file = kThreeFile) {
        dir_.Write("data.txt", file);
        launcher_.Show(&view_);
        launcher_.Load();
    }

    Launcher& launcher() { return launcher_; }
    // The list, checked against what the view shows.
    Lines Items() const {
        const Lines items = launcher_.Entries().Items();
        EXPECT_EQ(view_.Shown(), items) << "the view no longer shows the list";
        return items;
    }
    std::string File() const { return dir_.Read("data.txt"); }
    // Whether closing writes the list back, and what the file then holds.
    std::string CloseAndRead() {
        EXPECT_EQ(launcher_.Close(), std::nullopt);
        return File();
    }
    const testing::TempDir& Dir() const { return dir_; }
    int Told() const { return view_.Told(); }

private:
    testing::TempDir dir_;
    Launcher launcher_{dir_.Name(""), EntryFile(dir_.Name("data.txt"), kCodePageGbk)};
    MirroredView view_{launcher_.Entries()};
};

// ---------------------------------------------------------------------------------------------
// The editor's saves

TEST(LauncherAdd, PutsTheNewEntryOnTopAndClosingKeepsIt) {
    for (const std::string& file : {std::string(kThreeFile), std::string()}) {
        Session session(file);
        Lines expected = session.Items();
        session.launcher().Add(u"a b:notepad.exe");
        expected.insert(expected.begin(), u"a b:notepad.exe");
        EXPECT_EQ(session.Items(), expected);
        EXPECT_EQ(session.CloseAndRead(), "a b:notepad.exe\r\n" + file);
    }
}

TEST(LauncherEdit, ReplacesTheEntryInPlace) {
    for (int index = 0; index < 3; ++index) {
        Session session;
        const auto opening = session.launcher().OpenEdit(index);
        ASSERT_TRUE(opening);
        session.launcher().Edit(opening->id, u"new:line");
        Lines expected = kThree;
        expected[index] = u"new:line";
        EXPECT_EQ(session.Items(), expected) << "index " << index;
    }
}

TEST(LauncherEdit, SavesIntoTheEntryItWasOpenedOnWhereverItIsNow) {
    const std::u16string edited = u"dl:E:\\Downloads";
    const struct {
        const char* meanwhile;
        std::function<void(Launcher&)> act;
        Lines expected;
    } cases[] = {
        {"nothing", [](Launcher&) {}, {kThree[0], edited, kThree[2]}},
        {"the menu opened on another item",
         [](Launcher& launcher) { launcher.OpenEdit(2); },
         {kThree[0], edited, kThree[2]}},
        {"an item above deleted",
         [](Launcher& launcher) { launcher.Delete(0); },
         {edited, kThree[2]}},
        {"an entry added on top",
         [](Launcher& launcher) { launcher.Add(u"x:y"); },
         {u"x:y", kThree[0], edited, kThree[2]}},
        {"the entry itself deleted: saved as new",
         [](Launcher& launcher) { launcher.Delete(1); },
         {edited, kThree[0], kThree[2]}},
        {"the list saved, ids carried over",
         [](Launcher& launcher) { launcher.Save(); },
         {kThree[0], edited, kThree[2]}},
        {"a new entry added after the edit opened",
         [](Launcher& launcher) { launcher.Add(u"calc:calc.exe"); },
         {u"calc:calc.exe", kThree[0], edited, kThree[2]}},
    };
    for (const auto& c : cases) {
        Session session;
        const auto opening = session.launcher().OpenEdit(1);
        ASSERT_TRUE(opening);
        c.act(session.launcher());
        session.launcher().Edit(opening->id, edited);
        EXPECT_EQ(session.Items(), c.expected) << c.meanwhile;
    }
}

// ---------------------------------------------------------------------------------------------
// Opening the editor on an entry

TEST(LauncherOpenEdit, SplitsTheEntryAtItsFirstColonAndMarksTheListChanged) {
    const struct {
        std::string line;
        std::u16string keywords;
        std::u16string target;
    } cases[] = {
        {"x:y:z", u"x", u"y:z"},
        {"dl:D:\\Downloads", u"dl", u"D:\\Downloads"},
        {"\xBC\xC7\xCA\xC2\xB1\xBE\xA3\xBAnotepad.exe", u"记事本", u"notepad.exe"},
        {"no colon here", u"", u"no colon here"},
        {"", u"", u""},
    };
    for (const auto& c : cases) {
        const std::string file = c.line + "\r\n";
        Session session(file);
        const auto opening = session.launcher().OpenEdit(0);
        ASSERT_TRUE(opening) << c.line;
        EXPECT_EQ(opening->parts.keywords, c.keywords);
        EXPECT_EQ(opening->parts.target, c.target);
        // Marked at once: closing unsaved still rewrites the file, unchanged in content.
        fs::remove(session.Dir().Path("data.txt"));
        EXPECT_EQ(session.CloseAndRead(), file) << c.line;
    }
}

// ---------------------------------------------------------------------------------------------
// Commands on the entry the menu was opened on

TEST(LauncherDelete, RemovesTheEntryAndClosingWritesTheRest) {
    for (int index = 0; index < 3; ++index) {
        Session session;
        EXPECT_TRUE(session.launcher().Delete(index));
        Lines left = kThree;
        left.erase(left.begin() + index);
        EXPECT_EQ(session.Items(), left) << "index " << index;
        EXPECT_EQ(session.File(), kThreeFile) << "written only at the close";
        std::string expected;
        for (const std::u16string& line : left) {
            expected += platform::EncodeUtf8(line) + "\r\n";
        }
        EXPECT_EQ(session.CloseAndRead(), expected);
    }
}

TEST(LauncherCommands, AnIndexThatNamesNoEntryChangesNothing) {
    for (const std::string& file : {std::string(kThreeFile), std::string()}) {
        for (int index : {-1, -100, 3, 50}) {
            Session session(file);
            const Lines before = session.Items();
            EXPECT_FALSE(session.launcher().Delete(index)) << index;
            EXPECT_FALSE(session.launcher().OpenEdit(index)) << index;
            EXPECT_EQ(session.Items(), before);
            fs::remove(session.Dir().Path("data.txt"));
            EXPECT_EQ(session.launcher().Close(), std::nullopt);
            EXPECT_FALSE(fs::exists(session.Dir().Path("data.txt"))) << "nothing marked";
        }
    }
}

TEST(LauncherDeleteAll, EmptiesTheListAndLeavesExactlyOneLineEndInTheFile) {
    for (const bool missing : {false, true}) {
        Session session;
        if (missing) {
            fs::remove(session.Dir().Path("data.txt"));
        }
        EXPECT_EQ(session.launcher().DeleteAll(), std::nullopt);
        EXPECT_EQ(session.Items(), Lines{});
        EXPECT_EQ(session.File(), "\r\n");
        // Read back, the file gives the empty list again.
        session.launcher().Reload();
        EXPECT_EQ(session.Items(), Lines{u""});
    }
}

TEST(LauncherDeleteAll, AFailedWriteKeepsTheListAndTheOldFileWhole) {
    Session session;
    {
        const testing::DiskFull full;
        EXPECT_EQ(session.launcher().DeleteAll(), WriteFault::DiskFull);
    }
    EXPECT_EQ(session.Items(), kThree);
    EXPECT_EQ(session.File(), kThreeFile);
    EXPECT_EQ(
        std::distance(fs::directory_iterator(session.Dir().Path("")), fs::directory_iterator()), 1)
        << "no temporary left";
}

TEST(LauncherReload, ShowsTheFileInAnEmptyListAndAddsItsLinesAgainToAFullOne) {
    Session session("g:A\r\n\r\nlast without end");
    session.launcher().Clear();
    EXPECT_EQ(session.Items(), Lines{});
    session.launcher().Reload();
    const Lines file = {u"g:A", u"", u"last without end"};
    EXPECT_EQ(session.Items(), file);
    // A list with entries is not cleared first: every line comes twice.
    session.launcher().Reload();
    Lines twice = file;
    twice.insert(twice.end(), file.begin(), file.end());
    EXPECT_EQ(session.Items(), twice);
    // Neither marks the list: closing writes nothing.
    EXPECT_EQ(session.CloseAndRead(), "g:A\r\n\r\nlast without end");
}

// ---------------------------------------------------------------------------------------------
// Launching

TEST(LauncherResolve, FindsTheWordsOfATargetBesideTheProgramAndExpandsTheEnvironment) {
    Session session("t:tool --flag {query}\r\n"
                    "e:%CORVANTIS_TEST_TOOLS%/tool %CORVANTIS_TEST_TOOLS% {query}\r\n"
                    "w:https://x.org/?q={query}\r\n"
                    "n:nowhere x {query}\r\n"
                    "t x:other\r\n");
    // Beside data.txt, not in the working directory of the test.
    session.Dir().Write("tool", "#!/bin/sh\n");
    const std::string folder = fs::path(session.Dir().Path("tool")).parent_path().string();
    ASSERT_EQ(setenv("CORVANTIS_TEST_TOOLS", folder.c_str(), 1), 0);
    const std::u16string tools(folder.begin(), folder.end()); // an ASCII temporary folder

    const struct {
        std::u16string_view request;
        std::vector<Launch> expected;
    } cases[] = {
        {u"t a b", {{u"tool", u"--flag a b"}, {u"other", u""}}},
        {u"e %CORVANTIS_TEST_TOOLS%", {{tools + u"/tool", tools + u" %CORVANTIS_TEST_TOOLS%"}}},
        {u"w a&b", {{u"https://x.org/?q=a%26b", u""}}},
        {u"n q", {{u"nowhere x q", u""}}},
        {u"none", {}},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(Resolve(session.launcher().Match(c.request)) == c.expected)
            << std::string(c.request.begin(), c.request.end());
    }
    unsetenv("CORVANTIS_TEST_TOOLS");
}

TEST(LauncherMatch, TakesTheTargetsAsWrittenAndLeavesTheirWordsToResolve) {
    Session session("t:tool --flag {query}\r\nt:%CORVANTIS_NOT_SET%\r\n");
    const Matched matched = session.launcher().Match(u"t a b");
    EXPECT_EQ(matched.targets, (Targets{u"tool --flag {query}", u"%CORVANTIS_NOT_SET%"}));
    EXPECT_EQ(matched.query, u"a b");
    EXPECT_EQ(matched.folder, session.launcher().Folder());
    // The words are looked up when resolved, not when matched: a tool that comes after the match
    // is found.
    EXPECT_TRUE(Resolve(matched) ==
                (std::vector<Launch>{{u"tool --flag a b", u""}, {u"%CORVANTIS_NOT_SET%", u""}}));
    session.Dir().Write("tool", "#!/bin/sh\n");
    EXPECT_TRUE(Resolve(matched) ==
                (std::vector<Launch>{{u"tool", u"--flag a b"}, {u"%CORVANTIS_NOT_SET%", u""}}));
}

// ---------------------------------------------------------------------------------------------
// Closing

TEST(LauncherClose, WritesOnlyAMarkedListAndEndsOnlyWhenNothingIsLost) {
    enum class Disk { Writable, Full, ReadOnlyFile };
    const auto deleteSecond = [](Launcher& launcher) {
        launcher.Delete(1);
    };
    const struct {
        void (*change)(Launcher&);
        Disk disk;
        std::optional<WriteFault> fault;
        std::string file;
    } cases[] = {
        {nullptr, Disk::Writable, std::nullopt, kThreeFile},
        {nullptr, Disk::Full, std::nullopt, kThreeFile}, // unmarked, a failing write is no matter
        {deleteSecond, Disk::Writable, std::nullopt,
         "note:notepad.exe\r\ng:https://g.cn/?q={query}\r\n"},
        {deleteSecond, Disk::Full, WriteFault::DiskFull, kThreeFile},
        {deleteSecond, Disk::ReadOnlyFile, WriteFault::ReadOnly, kThreeFile},
        // Marked, with nothing changed: the file holds the list already, and is not written.
        {[](Launcher& launcher) { launcher.OpenEdit(0); }, Disk::ReadOnlyFile, std::nullopt,
         kThreeFile},
    };
    for (const auto& c : cases) {
        const int row = static_cast<int>(&c - cases);
        Session session;
        if (c.change != nullptr) {
            c.change(session.launcher());
        }
        const int told = session.Told();
        const auto mode = fs::status(session.Dir().Path("data.txt")).permissions();
        if (c.disk == Disk::ReadOnlyFile) {
            fs::permissions(session.Dir().Path("data.txt"), fs::perms::owner_read);
        }
        {
            std::optional<testing::DiskFull> full;
            if (c.disk == Disk::Full) {
                full.emplace();
            }
            EXPECT_EQ(session.launcher().Close(), c.fault) << "row " << row;
        }
        fs::permissions(session.Dir().Path("data.txt"), mode);
        EXPECT_EQ(session.File(), c.file) << "row " << row;
        // The list is not shown again as written just before the program ends.
        EXPECT_EQ(session.Told(), told);
        if (c.fault) {
            // The launcher stays with its list, shown as before, and a later close writes it.
            session.launcher().Delete(0);
            EXPECT_EQ(session.Items(), Lines{kThree[2]});
            EXPECT_EQ(session.CloseAndRead(), "g:https://g.cn/?q={query}\r\n");
        }
    }
}

TEST(LauncherClose, KeepsTheListInANewFileAndNeverOverwritesOne) {
    Session session;
    session.launcher().Delete(1);
    const std::u16string copy = session.Dir().Name("data-kept.txt");
    session.Dir().Write("taken.txt", "theirs");
    EXPECT_FALSE(session.launcher().WriteCopy(session.Dir().Name("taken.txt")));
    EXPECT_EQ(session.Dir().Read("taken.txt"), "theirs");
    ASSERT_TRUE(session.launcher().WriteCopy(copy));
    EXPECT_EQ(session.Dir().Read("data-kept.txt"),
              "note:notepad.exe\r\ng:https://g.cn/?q={query}\r\n");
    EXPECT_EQ(session.File(), kThreeFile) << "data.txt is not touched";
}

} // namespace
} // namespace corvantis::core
