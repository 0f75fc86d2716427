#include "core/entry_file.h"

#include "core/entry_list.h"

#include "platform/codepage.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>

namespace corvantis::core {
namespace {

using testing::TempDir;
using Lines = std::vector<std::u16string>;

constexpr unsigned kGbk = 936;
constexpr unsigned kWestern = 1252;

Lines Shown(const EntryList& list) {
    return list.Items();
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
        EXPECT_EQ(file.Load(list), c.outcome) << platform::EncodeUtf8(c.path);
        EXPECT_EQ(Shown(list), c.lines) << platform::EncodeUtf8(c.path);
        EXPECT_TRUE(file.ListShowsFile(list));
    }
}

TEST(EncodeEntryLines, EndsEveryItemWithCrLfAndAnEmptyListWithOne) {
    EXPECT_EQ(EncodeEntryLines(Lines{}, kWestern), "\r\n");
    EXPECT_EQ(EncodeEntryLines(Lines{u""}, kWestern), "\r\n");
    EXPECT_EQ(EncodeEntryLines(Lines{u"a", u"", u"b"}, kWestern), "a\r\n\r\nb\r\n");
    EXPECT_EQ(EncodeEntryLines(Lines{u"a\nb"}, kWestern), "a\nb\r\n");
}

TEST(EncodeEntryLines, UsesTheCodePageWhenItHoldsEveryCharacterElseUtf8WithByteOrderMark) {
    const struct {
        Lines items;
        unsigned codePage;
        std::string bytes;
    } cases[] = {
        {{u"百度:x"}, kGbk, "\xB0\xD9\xB6\xC8:x\r\n"},
        {{u"caf\u00E9"}, kWestern, "caf\xE9\r\n"},
        // One character the code page lacks sends the whole file to UTF-8.
        {{u"a", u"한:x"},
         kGbk,
         "\xEF\xBB\xBF"
         "a\r\n\xED\x95\x9C:x\r\n"},
        {{u"百度"}, kWestern, "\xEF\xBB\xBF\xE7\x99\xBE\xE5\xBA\xA6\r\n"},
        {{u"\U0001F600"}, kGbk, "\xEF\xBB\xBF\xF0\x9F\x98\x80\r\n"},
        // In GBK "一" is D2 BB, which is also UTF-8 (for U+04BB): written so, the file would
        // read back as UTF-8 and show another entry.
        {{u"yi:一"}, kGbk, "\xEF\xBB\xBFyi:\xE4\xB8\x80\r\n"},
        {{u"yi:一", u"百度:x"}, kGbk, "yi:\xD2\xBB\r\n\xB0\xD9\xB6\xC8:x\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeEntryLines(c.items, c.codePage), c.bytes) << c.codePage;
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
        // One byte that is no UTF-8: the file is the code page's.
        {"\xE7\x8C\xAB:x\r\n\xB0\xD9:y", kGbk, {u"鐚\uFFFD:x", u"百:y"}, TextForm::CodePage},
        // Any other leading bytes are text of the first line.
        {"\xEF\xBB:x", kWestern, {u"\u00EF\u00BB:x"}, TextForm::CodePage},
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
        {"a new line the code page lacks moves the file to UTF-8 with mark", "\xB0\xD9:x\r\n", kGbk,
         u"\uD55C:y", "\xEF\xBB\xBF\xED\x95\x9C:y\r\n\xE7\x99\xBE:x\r\n"},
        {"code page bytes that would read as a mark are written as UTF-8 with mark", "a:x\r\n",
         kWestern, u"\u00EF\u00BB\u00BFk:y", "\xEF\xBB\xBF\xC3\xAF\xC2\xBB\xC2\xBFk:y\r\na:x\r\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        EntryFile file(dir.Write("data.txt", c.bytes), c.codePage);
        EntryList list;
        ASSERT_EQ(file.Load(list), LoadOutcome::Loaded) << c.what;
        list.Insert(0, c.added);
        ASSERT_TRUE(file.Save(list)) << c.what;
        EXPECT_EQ(dir.Read("data.txt"), c.saved) << c.what;
        // Read back, the list is what was saved.
        EntryList reloaded;
        file.Load(reloaded);
        EXPECT_EQ(Shown(reloaded), Shown(list)) << c.what;
    }
}

TEST(EntryFileFollow, TheListFollowsOutsideChangesOnlyWhileItHasNoneOfItsOwn) {
    TempDir dir;
    EntryFile file(dir.Write("data.txt", "a:1\r\n"), kWestern);
    EntryList list;
    file.Load(list);
    EXPECT_FALSE(file.Follow(list)); // nothing changed
    dir.Write("data.txt", "a:1\r\nb:2\r\n");
    EXPECT_TRUE(file.Follow(list));
    EXPECT_EQ(Shown(list), (Lines{u"a:1", u"b:2"}));

    list.Remove(0); // a change of its own: the list stays, and the save merges
    dir.Write("data.txt", "a:1\r\nb:2\r\nc:3\r\n");
    EXPECT_FALSE(file.Follow(list));
    EXPECT_EQ(Shown(list), Lines{u"b:2"});
    ASSERT_TRUE(file.Save(list));
    EXPECT_EQ(dir.Read("data.txt"), "b:2\r\nc:3\r\n");
}

TEST(EntryFileFollow, AFileUnreadableAtStartIsShownOnceItCanBeRead) {
    TempDir dir;
    std::filesystem::create_directories(dir.Path("data.txt"));
    EntryFile file(dir.Name("data.txt"), kWestern);
    EntryList list;
    EXPECT_EQ(file.Load(list), LoadOutcome::Unreadable);
    EXPECT_FALSE(file.Follow(list));
    std::filesystem::remove(dir.Path("data.txt"));
    dir.Write("data.txt", "a:1\r\nb:2\r\n");
    EXPECT_TRUE(file.Follow(list));
    EXPECT_EQ(Shown(list), (Lines{u"a:1", u"b:2"}));
}

TEST(EntryFileSave, ReplacesTheFileAndLeavesNoTemporaryBehind) {
    TempDir dir;
    EntryFile file(dir.Write("data.txt", "old\r\n"), kWestern);
    EntryList list;
    file.Load(list);
    list.Replace(0, u"new");
    ASSERT_TRUE(file.Save(list));
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
    EXPECT_FALSE(folder.Save(list));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path("data.txt") / "inside"));
    EntryFile missing(dir.Name("missing/data.txt"), kWestern);
    EXPECT_FALSE(missing.Save(list));
    EXPECT_EQ(Shown(list), Lines{u"new"});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("")),
                            std::filesystem::directory_iterator()),
              1);
}

// Loads a file and saves the list back, as the load and save commands do.
std::string LoadAndSave(const TempDir& dir, const std::string& bytes, unsigned codePage) {
    EntryFile file(dir.Write("data.txt", bytes), codePage);
    EntryList list;
    EXPECT_EQ(file.Load(list), LoadOutcome::Loaded);
    EXPECT_TRUE(file.Save(list));
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
    ASSERT_EQ(file.Load(list), LoadOutcome::Loaded);
    EXPECT_EQ(list.Count(), 10837);
    ASSERT_TRUE(file.Save(list));
    EXPECT_EQ(dir.Read("data.txt"), bytes);
}

} // namespace
} // namespace corvantis::core
