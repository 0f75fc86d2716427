#include "core/entry_file.h"

#include "core/entry_list.h"

#include "platform/codepage.h"
#include "platform/file_lock.h"
#include "random_edits.h"
#include "file_and_list.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace corvantis::core {
namespace {

using namespace std::string_literals;

using testing::Follow;
using testing::Load;
using testing::Save;
using testing::WriteEmpty;

using testing::TempDir;
using Lines = std::vector<std::u16string>;

constexpr unsigned kGbk = 936;
constexpr unsigned kWestern = 1252;
constexpr unsigned kUtf8 = platform::kCodePageUtf8;

Lines Shown(const EntryList& list) {
    return list.Items();
}

// A file written a moment ago is taken once a second look finds it the same: the list never
// shows a file half-written.
bool FollowSettled(EntryFile& file, EntryList& list) {
    return Follow(file, list) || Follow(file, list);
}

TEST(EntryFilePath, IsTheProgramFolderFollowedByDataTxt) {
    EXPECT_EQ(EntryFile::InFolder(u"C:\\Tools\\Corvantis", kGbk).Path(),
              u"C:\\Tools\\Corvantis\\data.txt");
}

TEST(EntryFileLoad, ShowsEveryLineOrNothingWhenTheFileCannotBeRead) {
    TempDir dir;
    std::filesystem::create_directories(dir.Path("folder.txt"));
    const struct {
        std::u16string path;
        Lines lines;
        LoadOutcome outcome;
    } cases[] = {
        {dir.Write("two.txt", "a\r\nb\r\n"), {u"a", u"b"}, LoadOutcome::Loaded},
        {dir.Write("empty.txt", ""), {}, LoadOutcome::Loaded},
        {dir.Write("end.txt", "g:A\r\n\r\nlast without end"),
         {u"g:A", u"", u"last without end"},
         LoadOutcome::Loaded},
        {dir.Name("missing.txt"), {}, LoadOutcome::Missing},
        {dir.Name("folder.txt"), {}, LoadOutcome::Unreadable},
    };
    for (const auto& c : cases) {
        EntryList list;
        list.Append({u"old"});
        EntryFile file(c.path, kWestern);
        EXPECT_EQ(Load(file, list), c.outcome) << platform::EncodeUtf8(c.path);
        EXPECT_EQ(Shown(list), c.lines) << platform::EncodeUtf8(c.path);
        EXPECT_TRUE(list.ShowsUnchanged(file.Known()));
    }
}

TEST(EntryFileForm, ReadsTheCodePageOrUtf8WithOrWithoutItsMark) {
    const struct {
        std::string bytes;
        unsigned codePage;
        Lines lines;
        TextForm form;
    } cases[] = {
        {"\xB0\xD9\xB6\xC8:x\r\n", kGbk, {u"百度:x"}, TextForm::CodePage},
        {"\xEF\xBB\xBF\xE7\x99\xBE\xE5\xBA\xA6:x\r\n", kGbk, {u"百度:x"}, TextForm::Utf8Bom},
        {"\xE7\x8C\xAB:https://zh.wikipedia.org/wiki/\xE7\x8C\xAB\r\n",
         kGbk,
         {u"猫:https://zh.wikipedia.org/wiki/猫"},
         TextForm::Utf8},
        {"g:plain ascii\r\n", kGbk, {u"g:plain ascii"}, TextForm::CodePage},
        // One byte that is no UTF-8: the file is the code page's, but a line that is no text of
        // the code page and is UTF-8 reads as UTF-8.
        {"\xE7\x8C\xAB:x\r\n\xB0\xD9:y", kGbk, {u"猫:x", u"百:y"}, TextForm::CodePage},
        {"\xE7\x8C\xAB:x\r\n\x81:y\r\n\xB0\xD9:z",
         kGbk,
         {u"猫:x", u"\uFFFD:y", u"百:z"},
         TextForm::CodePage},
        // Any other leading bytes are text of the first line.
        {"\xEF\xBB:x", kWestern, {u"\u00EF\u00BB:x"}, TextForm::CodePage},
        // Where the system's code page is UTF-8, a file that is not UTF-8 but GBK reads as GBK.
        {"\xB0\xD9\xB6\xC8:x\r\n", kUtf8, {u"百度:x"}, TextForm::CodePage},
        {"\xE7\x8C\xAB:x\r\n", kUtf8, {u"猫:x"}, TextForm::Utf8},
        {"a:\x81\r\n", kUtf8, {u"a:\uFFFD"}, TextForm::CodePage},
        // UTF-16 after its mark, in either byte order (what Notepad's "Unicode" saves); after a
        // mark, an odd number of bytes is no UTF-16.
        {"\xFF\xFE"
         "a\0:\0b\0\r\0\n\0c\0:\0d\0\r\0\n\0"s,
         kGbk,
         {u"a:b", u"c:d"},
         TextForm::Utf16Le},
        {"\xFE\xFF"
         "\x76\x7E\0:\xD8\x3D\xDE\x00"s,
         kGbk,
         {u"百:\U0001F600"},
         TextForm::Utf16Be},
        {"\xFF\xFE"
         "a\0:"s,
         kWestern,
         {u"\u00FF\u00FEa"s + u'\0' + u":"},
         TextForm::CodePage},
    };
    for (const auto& c : cases) {
        const StoredLines stored(c.bytes, c.codePage);
        EXPECT_EQ(stored.Decode(), c.lines) << c.bytes;
        EXPECT_EQ(stored.Form(), c.form) << c.bytes;
    }
}

// A file loaded, one line added on top and saved: every untouched line keeps its bytes, and the
// file its form, unless the new line does not fit it.
TEST(EntryFileForm, KeepsUntouchedLinesByteForByteAndMovesToUtf8OnlyWhenANewLineNeedsIt) {
    const std::string nul(1, '\0');
    const struct {
        const char* what;
        std::string bytes;
        unsigned codePage;
        std::u16string added;
        std::string saved;
    } cases[] = {
        {"UTF-8 without mark stays so", "\xE7\x8C\xAB:x\r\n", kGbk, u"百:y",
         "\xE7\x99\xBE:y\r\n\xE7\x8C\xAB:x\r\n"},
        {"UTF-8 with mark stays so", "\xEF\xBB\xBF\xE7\x8C\xAB:x\r\n", kGbk, u"n:y",
         "\xEF\xBB\xBFn:y\r\n\xE7\x8C\xAB:x\r\n"},
        {"an undecodable byte survives", "a:\x81\r\nb:\xFF\xFF\r\n", kGbk, u"n:y",
         "n:y\r\na:\x81\r\nb:\xFF\xFF\r\n"},
        {"a NUL survives", "a" + nul + "b:x\r\n", kGbk, u"n:y", "n:y\r\na" + nul + "b:x\r\n"},
        {"lone LF and CR ends become CR LF", "a:x\nb:y\rc:z", kGbk, u"n:y",
         "n:y\r\na:x\r\nb:y\r\nc:z\r\n"},
        {"a GBK file where the system's code page is UTF-8 stays GBK", "\xB0\xD9:x\r\n", kUtf8,
         u"\u5EA6:y", "\xB6\xC8:y\r\n\xB0\xD9:x\r\n"},
        {"a new line the code page lacks moves the file to UTF-8 with mark", "\xB0\xD9:x\r\n", kGbk,
         u"\uD55C:y", "\xEF\xBB\xBF\xED\x95\x9C:y\r\n\xE7\x99\xBE:x\r\n"},
        {"code page bytes that would read as a mark are written as UTF-8 with mark", "a:x\r\n",
         kWestern, u"\u00EF\u00BB\u00BFk:y", "\xEF\xBB\xBF\xC3\xAF\xC2\xBB\xC2\xBFk:y\r\na:x\r\n"},
        {"UTF-16 LE stays so",
         "\xFF\xFE"
         "a\0:\0b\0\r\0\n\0c\0:\0d\0\r\0\n\0"s,
         kGbk, u"百:y",
         "\xFF\xFE"
         "\x7E\x76:\0y\0\r\0\n\0a\0:\0b\0\r\0\n\0c\0:\0d\0\r\0\n\0"s},
        // A lone surrogate, which no UTF-8 holds, keeps its bytes too.
        {"UTF-16 BE stays so",
         "\xFE\xFF"
         "\0a\0:\xD8\x3D\0\r\0\n\xD8\x3D\xDE\x00"s,
         kGbk, u"\U0001F600:y",
         "\xFE\xFF"
         "\xD8\x3D\xDE\x00\0:\0y\0\r\0\n\0a\0:\xD8\x3D\0\r\0\n\xD8\x3D\xDE\x00\0\r\0\n"s},
    };
    for (const auto& c : cases) {
        TempDir dir;
        EntryFile file(dir.Write("data.txt", c.bytes), c.codePage);
        EntryList list;
        ASSERT_EQ(Load(file, list), LoadOutcome::Loaded) << c.what;
        list.Insert(0, c.added);
        ASSERT_TRUE(Save(file, list)) << c.what;
        EXPECT_EQ(dir.Read("data.txt"), c.saved) << c.what;
        // Read back, the list is what was saved.
        EntryList reloaded;
        Load(file, reloaded);
        EXPECT_EQ(Shown(reloaded), Shown(list)) << c.what;
    }
}

// A file of mixed lines (UTF-8 lines in a code-page file): each line reads as the text it is, and
// after a save every untouched line keeps its bytes, and the file reads back as the list showed.
TEST(EntryFileForm, MixedFilesKeepEveryUntouchedLinesBytesAndText) {
    const auto remove = [](int index) {
        return [=](EntryList& list) {
            list.Remove(index);
        };
    };
    const auto add = [](std::u16string line) {
        return [=](EntryList& list) {
            list.Insert(0, line);
        };
    };
    const struct {
        const char* what;
        std::string bytes;
        unsigned codePage;
        Lines shown;
        std::function<void(EntryList&)> change;
        std::string saved;
    } cases[] = {
        {"the UTF-8 line stays UTF-8 when the code-page line goes",
         "a:\xE4\xB8\xAD\r\nb:\xD6\xD0\r\n",
         kGbk,
         {u"a:中", u"b:中"},
         remove(1),
         "a:\xE4\xB8\xAD\r\n"},
        {"the code-page line stays when the UTF-8 line goes",
         "a:\xE4\xB8\xAD\r\nb:\xD6\xD0\r\n",
         kGbk,
         {u"a:中", u"b:中"},
         remove(0),
         "b:\xD6\xD0\r\n"},
        {"a new code-page line joins them",
         "a:\xE4\xB8\xAD\r\nb:\xD6\xD0\r\n",
         kGbk,
         {u"a:中", u"b:中"},
         add(u"百:y"),
         "\xB0\xD9:y\r\na:\xE4\xB8\xAD\r\nb:\xD6\xD0\r\n"},
        {"a new line the code page lacks: the code-page line is moved to UTF-8, the other kept",
         "a:\xE4\xB8\xAD\r\nb:\xD6\xD0\r\n",
         kGbk,
         {u"a:中", u"b:中"},
         add(u"\uD55C"),
         "\xEF\xBB\xBF\xED\x95\x9C\r\na:\xE4\xB8\xAD\r\nb:\xE4\xB8\xAD\r\n"},
        {"code-page text that would read as UTF-8 once alone is written as UTF-8 with mark",
         "yi:\xD2\xBB\r\nb:\xD6\xD0\r\n",
         kGbk,
         {u"yi:一", u"b:中"},
         remove(1),
         "\xEF\xBB\xBFyi:\xE4\xB8\x80\r\n"},
        {"bytes no code page reads keep their bytes in UTF-8 with mark",
         "a:\x81\r\n",
         kGbk,
         {u"a:\uFFFD"},
         add(u"\uD55C"),
         "\xEF\xBB\xBF\xED\x95\x9C\r\na:\x81\r\n"},
        {"a UTF-8 line beside undecodable bytes",
         "a:\x81\r\nc:\xE7\x8C\xAB\r\n",
         kGbk,
         {u"a:\uFFFD", u"c:猫"},
         add(u"n:y"),
         "n:y\r\na:\x81\r\nc:\xE7\x8C\xAB\r\n"},
        {"code-page text that would become the mark",
         "a:x\r\n\xEF\xBB\xBFk:y\r\nz:\xE9\r\n",
         kWestern,
         {u"a:x", u"\u00EF\u00BB\u00BFk:y", u"z:\u00E9"},
         remove(0),
         "\xEF\xBB\xBF\xC3\xAF\xC2\xBB\xC2\xBFk:y\r\nz:\xC3\xA9\r\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        EntryFile file(dir.Write("data.txt", c.bytes), c.codePage);
        EntryList list;
        ASSERT_EQ(Load(file, list), LoadOutcome::Loaded) << c.what;
        EXPECT_EQ(Shown(list), c.shown) << c.what;
        c.change(list);
        const Lines before = Shown(list);
        ASSERT_TRUE(Save(file, list)) << c.what;
        EXPECT_EQ(dir.Read("data.txt"), c.saved) << c.what;
        EntryList reloaded;
        Load(file, reloaded);
        EXPECT_EQ(Shown(reloaded), before) << c.what;
    }
}

// Random files of ASCII, code-page text, UTF-8 text and undecodable bytes, given plain ASCII
// edits: the file reads back as the list showed, and an untouched line keeps its bytes unless
// it is code-page text that would read as UTF-8 in a file of UTF-8 alone.
TEST(EntryFileForm, AsciiEditsOfMixedFilesKeepUntouchedLinesAndTheirText) {
    TempDir dir;
    std::mt19937 random(18);
    const std::string pieces[] = {
        "g",    ":",    " ",       "x", "\xB0\xD9", "\xD2\xBB", "\xE7\x8C\xAB", "\xE4\xB8\xAD",
        "\x81", "\xFF", "\xC3\xA9"};
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::string> lines(1 + random() % 6);
        for (auto& line : lines) {
            for (int i = static_cast<int>(random() % 5); i > 0; --i) {
                line += pieces[random() % std::size(pieces)];
            }
        }
        std::string bytes;
        for (const auto& line : lines) {
            bytes += line + "\r\n";
        }
        EntryFile file(dir.WriteSettled("data.txt", bytes), kGbk);
        EntryList list;
        ASSERT_EQ(Load(file, list), LoadOutcome::Loaded);
        testing::EditAtRandom(list, random, static_cast<int>(1 + random() % 3), u"e:x", u"n:x");
        std::vector<std::string> untouched;
        for (const OurLine& line : list.Origins()) {
            if (line.source != kNoLine && !line.edited) {
                untouched.push_back(lines[line.source]);
            }
        }
        const Lines before = Shown(list);
        ASSERT_TRUE(Save(file, list)) << bytes;
        const std::string saved = dir.Read("data.txt");
        EntryList reloaded;
        Load(file, reloaded);
        // (An empty list is saved as one empty line.)
        ASSERT_EQ(Shown(reloaded), before.empty() ? Lines{u""} : before)
            << bytes << " saved as " << saved;
        // The untouched lines' bytes, in order, among the saved lines.
        const StoredLines savedLines(saved, kGbk);
        size_t next = 0;
        for (const std::string& line : untouched) {
            const bool mayMove = platform::FirstNonAscii(line) < line.size() &&
                                 platform::IsValidUtf8(line) &&
                                 platform::IsValidInCodePage(line, kGbk);
            while (!mayMove && next < savedLines.Count() && savedLines.Line(next) != line) {
                ++next;
            }
            ASSERT_TRUE(mayMove || next++ < savedLines.Count())
                << bytes << " saved as " << saved << ": lost the bytes of " << line;
        }
    }
}

TEST(EntryFileFollow, TheListFollowsOutsideChangesOnlyWhileItHasNoneOfItsOwn) {
    TempDir dir;
    EntryFile file(dir.Write("data.txt", "a:1\r\n"), kWestern);
    EntryList list;
    Load(file, list);
    EXPECT_FALSE(Follow(file, list)); // nothing changed
    dir.Write("data.txt", "a:1\r\nb:2\r\n");
    EXPECT_TRUE(FollowSettled(file, list));
    EXPECT_EQ(Shown(list), (Lines{u"a:1", u"b:2"}));

    list.Remove(0); // a change of its own: the list stays, and the save merges
    dir.Write("data.txt", "a:1\r\nb:2\r\nc:3\r\n");
    EXPECT_FALSE(FollowSettled(file, list));
    EXPECT_EQ(Shown(list), Lines{u"b:2"});
    ASSERT_TRUE(Save(file, list));
    EXPECT_EQ(dir.Read("data.txt"), "b:2\r\nc:3\r\n");
}

TEST(EntryFileFollow, AFileUnreadableAtStartIsShownOnceItCanBeRead) {
    TempDir dir;
    std::filesystem::create_directories(dir.Path("data.txt"));
    EntryFile file(dir.Name("data.txt"), kWestern);
    EntryList list;
    EXPECT_EQ(Load(file, list), LoadOutcome::Unreadable);
    EXPECT_FALSE(Follow(file, list));
    std::filesystem::remove(dir.Path("data.txt"));
    dir.Write("data.txt", "a:1\r\nb:2\r\n");
    EXPECT_TRUE(FollowSettled(file, list));
    EXPECT_EQ(Shown(list), (Lines{u"a:1", u"b:2"}));
}

TEST(EntryFileSave, ReplacesTheFileAndLeavesNoTemporaryBehind) {
    TempDir dir;
    EntryFile file(dir.Write("data.txt", "old\r\n"), kWestern);
    EntryList list;
    Load(file, list);
    list.Replace(0, u"new");
    ASSERT_TRUE(Save(file, list));
    EXPECT_EQ(dir.Read("data.txt"), "new\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("")),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(EntryFileSave, FailsWithoutTouchingAnythingWhenTheFileCannotBeReplaced) {
    TempDir dir;
    // Nothing can take the place of a folder, and a missing folder cannot hold the new file.
    std::filesystem::create_directories(dir.Path("data.txt") / "inside");
    EntryList list;
    list.Append({u"new"});
    EntryFile folder(dir.Name("data.txt"), kWestern);
    EXPECT_FALSE(Save(folder, list));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path("data.txt") / "inside"));
    EntryFile missing(dir.Name("missing/data.txt"), kWestern);
    EXPECT_FALSE(Save(missing, list));
    EXPECT_EQ(Shown(list), Lines{u"new"});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("")),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(EntryFileSave, AFileEmptiedWhileThisCopyKnewLinesGetsTheWholeList) {
    // Emptied, most likely by a program that rewrites it in place and has not written it yet:
    // taken as gone, not as every line deleted. One empty line is what "删除所有" leaves.
    const struct {
        std::string now;
        std::string saved;
    } cases[] = {
        {"", "b:2\r\nc:3\r\n"},
        {std::string(kUtf8Bom), "b:2\r\nc:3\r\n"},
        {"\r\n", "\r\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        EntryFile file(dir.WriteSettled("data.txt", "a:1\r\nb:2\r\nc:3\r\n"), kWestern);
        EntryList list;
        Load(file, list);
        list.Remove(0);
        dir.Write("data.txt", c.now);
        EXPECT_FALSE(FollowSettled(file, list));
        ASSERT_TRUE(Save(file, list)) << c.now;
        EXPECT_EQ(dir.Read("data.txt"), c.saved) << c.now;
    }
    // The list does not follow a file that was emptied either.
    TempDir dir;
    EntryFile file(dir.WriteSettled("data.txt", "a:1\r\n"), kWestern);
    EntryList list;
    Load(file, list);
    dir.Write("data.txt", "");
    EXPECT_FALSE(FollowSettled(file, list));
    EXPECT_EQ(Shown(list), Lines{u"a:1"});
}

// Runs `check` in a child process that is ended after `bound`: true when it returned true in
// time, false when it returned false, hung or crashed.
template <typename Check> bool WithinBound(std::chrono::seconds bound, Check&& check) {
    const pid_t child = fork();
    if (child == 0) {
        alarm(static_cast<unsigned>(bound.count()));
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(EntryFileSave, RefusesAnythingButARegularFileWithoutWaitingOnIt) {
    // A pipe would block a read until a writer comes, a device read to its end never ends.
    constexpr auto kBound = std::chrono::seconds(10);
    TempDir dir;
    std::filesystem::create_directories(dir.Path("folder"));
    const struct {
        const char* what;
        std::function<void(const std::filesystem::path&)> make;
    } cases[] = {
        {"a pipe",
         [](const std::filesystem::path& at) {
             mkfifo(at.c_str(), 0666);
         }},
        {"a link to an endless device",
         [](const std::filesystem::path& at) {
             std::filesystem::create_symlink("/dev/zero", at);
         }},
        {"a link to an empty device",
         [](const std::filesystem::path& at) {
             std::filesystem::create_symlink("/dev/null", at);
         }},
        {"a folder",
         [](const std::filesystem::path& at) {
             std::filesystem::create_directories(at / "x");
         }},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(dir.Path("folder/data.txt"));
        c.make(dir.Path("folder/data.txt"));
        const auto type = std::filesystem::symlink_status(dir.Path("folder/data.txt")).type();
        const bool refused = WithinBound(kBound, [&] {
            EntryFile file(dir.Name("folder/data.txt"), kWestern);
            EntryList list;
            const bool loaded = Load(file, list) != LoadOutcome::Unreadable;
            list.Append({u"new:x"});
            return !loaded && !file.Read() && !file.ReadBytes() && !Save(file, list) &&
                   !WriteEmpty(file, list) && Shown(list) == Lines{u"new:x"};
        });
        EXPECT_TRUE(refused) << c.what;
        EXPECT_EQ(std::filesystem::symlink_status(dir.Path("folder/data.txt")).type(), type)
            << c.what;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("folder")),
                                std::filesystem::directory_iterator()),
                  1)
            << c.what;
    }
}

TEST(EntryFileSave, LeavesAReadOnlyFileAsItIsWhoeverRuns) {
    namespace fs = std::filesystem;
    const struct {
        fs::perms mode;
        bool saved;
    } cases[] = {
        {fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read, false},
        {fs::perms::owner_read, false},
        {fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read, true},
    };
    for (const auto& c : cases) {
        for (const bool throughLink : {false, true}) {
            TempDir dir;
            dir.WriteSettled("real.txt", "a:1\r\n");
            fs::permissions(dir.Path("real.txt"), c.mode);
            if (throughLink) {
                fs::create_symlink(dir.Path("real.txt"), dir.Path("data.txt"));
            }
            const std::string name = throughLink ? "data.txt" : "real.txt";
            EntryFile file(dir.Name(name), kWestern);
            EntryList list;
            Load(file, list);
            list.Insert(0, u"new:x");
            // No write permission for anyone: refused to root too, whom the system would let
            // write.
            EXPECT_EQ(Save(file, list), c.saved) << name;
            EXPECT_EQ(WriteEmpty(file, list), c.saved) << name;
            EXPECT_EQ(dir.Read("real.txt"), c.saved ? "\r\n" : "a:1\r\n") << name;
            EXPECT_EQ(Shown(list), c.saved ? Lines{} : (Lines{u"new:x", u"a:1"})) << name;
            EXPECT_EQ(fs::status(dir.Path("real.txt")).permissions(), c.mode) << name;
            EXPECT_EQ(fs::is_symlink(dir.Path("data.txt")), throughLink) << name;
        }
    }
}

TEST(EntryFileSave, WaitsForAnotherCopysSaveAndFailsWhenItDoesNotEnd) {
    TempDir dir;
    EntryFile file(dir.WriteSettled("data.txt", "a:1\r\n"), kWestern);
    EntryList list;
    Load(file, list);
    list.Insert(0, u"new:x");
    {
        const auto held = platform::FileLock::Take(dir.Name("data.txt"), std::chrono::seconds(0));
        ASSERT_TRUE(held);
        EXPECT_FALSE(Save(file, list));
        EXPECT_FALSE(WriteEmpty(file, list));
        EXPECT_EQ(dir.Read("data.txt"), "a:1\r\n");
        EXPECT_EQ(Shown(list), (Lines{u"new:x", u"a:1"}));
    }
    ASSERT_TRUE(Save(file, list));
    EXPECT_EQ(dir.Read("data.txt"), "new:x\r\na:1\r\n");
}

// Loads a file and saves the list back, as the load and save commands do.
std::string LoadAndSave(const TempDir& dir, const std::string& bytes, unsigned codePage) {
    EntryFile file(dir.WriteSettled("data.txt", bytes), codePage);
    EntryList list;
    EXPECT_EQ(Load(file, list), LoadOutcome::Loaded);
    EXPECT_TRUE(Save(file, list));
    return dir.Read("data.txt");
}

TEST(EntryFileRoundTrip, AnyFileOfCrLfEndedLinesSavesBackByteForByte) {
    TempDir dir;
    std::mt19937 random(20261207);
    const std::string pieces[] = {"g",
                                  "x",
                                  " ",
                                  ":",
                                  "{query}",
                                  "\xB0\xD9",
                                  "\xB6\xC8",
                                  "\xA1\xA1",
                                  "\xA3\xBA",
                                  "\t",
                                  std::string(1, '\0'),
                                  "http://a/?q=",
                                  "C:\\"};
    for (int file = 0; file < 200; ++file) {
        std::string bytes;
        const int lines = static_cast<int>(random() % 20);
        for (int line = 0; line < lines; ++line) {
            const int length = static_cast<int>(random() % 12);
            for (int i = 0; i < length; ++i) {
                bytes += pieces[random() % std::size(pieces)];
            }
            bytes += "\r\n";
        }
        if (bytes.empty()) {
            continue; // an empty file saves as one empty line
        }
        ASSERT_EQ(LoadAndSave(dir, bytes, kGbk), bytes);
    }
}

TEST(EntryFileRoundTrip, HasNoSixteenBitLimits) {
    TempDir dir;
    std::string bytes;
    for (int i = 0; i < 40000; ++i) {
        bytes.append("k").append(std::to_string(i)).append(":https://example.com/?q={query}\r\n");
    }
    bytes += std::string(70000, 'x') + ":long\r\n";
    EXPECT_EQ(LoadAndSave(dir, bytes, kGbk), bytes);
}

TEST(EntryFileRoundTrip, RealEntryFileSavesBackByteForByte) {
    const std::filesystem::path bangs = CORVANTIS_SHARED_DATA "/bangs.txt";
    if (!std::filesystem::exists(bangs)) {
        GTEST_SKIP() << "no " << bangs << " here: skipped";
    }
    TempDir dir;
    const std::string bytes = testing::ReadBytes(bangs);
    EntryFile file(dir.Write("data.txt", bytes), kGbk);
    EntryList list;
    ASSERT_EQ(Load(file, list), LoadOutcome::Loaded);
    EXPECT_EQ(list.Count(), 10837);
    ASSERT_TRUE(Save(file, list));
    EXPECT_EQ(dir.Read("data.txt"), bytes);
}

} // namespace
} // namespace corvantis::core
