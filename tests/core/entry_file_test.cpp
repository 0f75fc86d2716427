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

Lines SplitLines(std::u16string_view text) {
    Lines lines;
    ForEachLine(text, [&](std::u16string_view line) { lines.emplace_back(line); });
    return lines;
}

TEST(EntryFileLines, EndAtCrOrCrLfOnlyAndKeepEveryLineWhole) {
    const struct {
        std::u16string text;
        Lines lines;
    } cases[] = {
        {u"", {}},
        {u"a", {u"a"}},
        {u"a\r\nb", {u"a", u"b"}},
        {u"a\r\nb\r\n", {u"a", u"b"}}, // no empty line after a final CR LF
        {u"a\rb\r", {u"a", u"b"}},     // CR alone ends a line
        {u"a\nb\n", {u"a\nb\n"}},      // a lone LF is part of its line
        {u"a\n\r\nb", {u"a\n", u"b"}},
        {u"a\r\n\r\nb", {u"a", u"", u"b"}}, // empty lines are kept
        {u"\r\n", {u""}},
        {u"\r\n\r\n", {u"", u""}},
        {u"a\r\r\nb", {u"a", u"", u"b"}},
        {u"\n", {u"\n"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitLines(c.text), c.lines) << platform::EncodeUtf8(c.text);
    }
}

TEST(EntryFilePath, IsTheProgramFolderFollowedByDataTxt) {
    EXPECT_EQ(EntryFile::InFolder(u"C:\\Tools\\Corvantis", kGbk).Path(),
              u"C:\\Tools\\Corvantis\\data.txt");
}

TEST(EntryFileLoad, GivesEveryLineOrNothingWhenTheFileCannotBeRead) {
    TempDir dir;
    const struct {
        std::u16string path;
        std::optional<Lines> lines;
    } cases[] = {
        {dir.Write("two.txt", "a\r\nb\r\n"), Lines{u"a", u"b"}},
        {dir.Write("empty.txt", ""), Lines{}},
        {dir.Write("end.txt", "g:A\r\n\r\nlast without end"),
         Lines{u"g:A", u"", u"last without end"}},
        {dir.Name("missing.txt"), std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EntryFile(c.path, kWestern).Load(), c.lines) << platform::EncodeUtf8(c.path);
    }
}

TEST(EntryFileLoad, DecodesTheCodePageAndAUtf8ByteOrderMark) {
    TempDir dir;
    const auto gbk = dir.Write("gbk.txt", "\xB0\xD9\xB6\xC8:x\r\n"); // 百度
    const auto utf8 = dir.Write("utf8.txt", "\xEF\xBB\xBF\xE7\x99\xBE\xE5\xBA\xA6:x\r\n");
    EXPECT_EQ(EntryFile(gbk, kGbk).Load(), Lines{u"百度:x"});
    EXPECT_EQ(EntryFile(utf8, kGbk).Load(), Lines{u"百度:x"});
    // Any other leading bytes are text of the first line.
    const auto latin = dir.Write("latin.txt", "\xEF\xBB:x");
    EXPECT_EQ(EntryFile(latin, kWestern).Load(), Lines{u"\u00EF\u00BB:x"});
}

TEST(EntryFileLoad, TheReloadCommandAddsEveryLineAgainAsNewLastItems) {
    TempDir dir;
    const EntryFile file(dir.Write("data.txt", "g:A\r\n\r\nlast without end"), kWestern);
    EntryList list;
    list.Append({u"kept"});
    list.Append(file.Load().value());
    EXPECT_EQ(Lines(list.Lines().begin(), list.Lines().end()),
              (Lines{u"kept", u"g:A", u"", u"last without end"}));
    // The list is not cleared first: every line comes twice.
    list.Append(file.Load().value());
    EXPECT_EQ(list.Count(), 7);
    EXPECT_EQ(list.Item(4), u"g:A");
}

TEST(EncodeEntryFile, EndsEveryItemWithCrLfAndAnEmptyListWithOne) {
    EXPECT_EQ(EncodeEntryLines(Lines{}, kWestern), "\r\n");
    EXPECT_EQ(EncodeEntryLines(Lines{u""}, kWestern), "\r\n");
    EXPECT_EQ(EncodeEntryLines(Lines{u"a", u"", u"b"}, kWestern), "a\r\n\r\nb\r\n");
    EXPECT_EQ(EncodeEntryLines(Lines{u"a\nb"}, kWestern), "a\nb\r\n");
}

TEST(EncodeEntryFile, UsesTheCodePageWhenItHoldsEveryCharacterElseUtf8WithByteOrderMark) {
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
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeEntryLines(c.items, c.codePage), c.bytes) << c.codePage;
    }
}

TEST(EntryFileSave, ReplacesTheFileAndLeavesNoTemporaryBehind) {
    TempDir dir;
    const auto path = dir.Write("data.txt", "old\r\n");
    ASSERT_TRUE(EntryFile(path, kWestern).Save(Lines{u"new"}));
    EXPECT_EQ(dir.Read("data.txt"), "new\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("")),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(EntryFileSave, FailsWithoutTouchingAnythingWhenTheFileCannotBeReplaced) {
    TempDir dir;
    // Nothing can take the place of a folder, and a missing folder cannot hold the new file.
    std::filesystem::create_directories(dir.Path("data.txt") / "inside");
    EXPECT_FALSE(EntryFile(dir.Name("data.txt"), kWestern).Save(Lines{u"new"}));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path("data.txt") / "inside"));
    EXPECT_FALSE(EntryFile(dir.Name("missing/data.txt"), kWestern).Save(Lines{u"new"}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("")),
                            std::filesystem::directory_iterator()),
              1);
}

// Loads a file and saves the list back, as the load and save commands do.
std::string LoadAndSave(const TempDir& dir, const std::string& bytes, unsigned codePage) {
    const EntryFile file(dir.Write("data.txt", bytes), codePage);
    const auto lines = file.Load();
    EXPECT_TRUE(lines && file.Save(*lines));
    return dir.Read("data.txt");
}

TEST(EntryFileRoundTrip, AnyFileOfCrLfEndedLinesSavesBackByteForByte) {
    TempDir dir;
    std::mt19937 random(20261207);
    const std::string pieces[] = {
        "g",        "x",        " ",  ":",  "{query}",      "\xB0\xD9", "\xB6\xC8",
        "\xA1\xA1", "\xA3\xBA", "\t", "\n", "http://a/?q=", "C:\\"};
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
    const EntryFile file(dir.Write("data.txt", bytes), kGbk);
    const auto lines = file.Load();
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->size(), 10837u);
    ASSERT_TRUE(file.Save(*lines));
    EXPECT_EQ(dir.Read("data.txt"), bytes);
}

} // namespace
} // namespace corvantis::core
