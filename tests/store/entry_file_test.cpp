#include "store/entry_file.h"

#include "platform/codepage.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace corvantis::store {
namespace {

using testing::TempDir;
using Lines = std::vector<std::u16string>;

constexpr unsigned kGbk = 936;
constexpr unsigned kWestern = 1252;

struct VectorSink final : ItemSink {
    void AddItem(std::u16string_view line) override { items.emplace_back(line); }
    Lines items;
};

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
    EXPECT_EQ(EntryFilePath(u"C:\\Tools\\Corvantis"), u"C:\\Tools\\Corvantis\\data.txt");
}

TEST(ReadFileText, AssemblesLinesByMode) {
    TempDir dir;
    const auto twoLines = dir.Write("two.txt", "a\r\nb\r\n");
    const auto empty = dir.Write("empty.txt", "");
    const auto missing = dir.Name("missing.txt");
    const struct {
        std::u16string path;
        int mode;
        std::u16string expected;
    } cases[] = {
        {twoLines, 0, u"ab"}, {twoLines, 1, u"\r\na\r\nb"},
        {twoLines, 2, u""},   {twoLines, -1, u""},
        {empty, 0, u""},      {empty, 1, u""},
        {missing, 0, u""},    {missing, 1, u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadFileText(c.path, c.mode, kWestern), c.expected)
            << platform::EncodeUtf8(c.path) << " mode " << c.mode;
    }
}

TEST(ReadFileText, DecodesTheCodePageAndAUtf8ByteOrderMark) {
    TempDir dir;
    const auto gbk = dir.Write("gbk.txt", "\xB0\xD9\xB6\xC8:x\r\n"); // 百度
    const auto utf8 = dir.Write("utf8.txt", "\xEF\xBB\xBF\xE7\x99\xBE\xE5\xBA\xA6:x\r\n");
    EXPECT_EQ(ReadFileText(gbk, 1, kGbk), u"\r\n百度:x");
    EXPECT_EQ(ReadFileText(utf8, 1, kGbk), u"\r\n百度:x");
    // Any other leading bytes are text of the first line.
    const auto latin = dir.Write("latin.txt", "\xEF\xBB:x");
    EXPECT_EQ(ReadFileText(latin, 0, kWestern), u"\u00EF\u00BB:x");
}

TEST(LoadFileToList, AppendsEveryLineAsANewLastItem) {
    TempDir dir;
    const auto path = dir.Write("data.txt", "g:A\r\n\r\nlast without end");
    VectorSink list;
    list.items = {u"kept"};
    EXPECT_TRUE(LoadFileToList(path, list, kWestern));
    EXPECT_EQ(list.items, (Lines{u"kept", u"g:A", u"", u"last without end"}));
    // The reload command does not clear the list first: every line comes twice.
    EXPECT_TRUE(LoadFileToList(path, list, kWestern));
    EXPECT_EQ(list.items.size(), 7u);
    EXPECT_EQ(list.items[4], u"g:A");
}

TEST(LoadFileToList, LeavesTheListAsItWasWhenTheFileIsMissing) {
    TempDir dir;
    VectorSink list;
    list.items = {u"kept"};
    EXPECT_FALSE(LoadFileToList(dir.Name("missing.txt"), list, kWestern));
    EXPECT_EQ(list.items, Lines{u"kept"});
}

TEST(EncodeEntryFile, EndsEveryItemWithCrLfAndAnEmptyListWithOne) {
    EXPECT_EQ(EncodeEntryFile(Lines{}, kWestern), "\r\n");
    EXPECT_EQ(EncodeEntryFile(Lines{u""}, kWestern), "\r\n");
    EXPECT_EQ(EncodeEntryFile(Lines{u"a", u"", u"b"}, kWestern), "a\r\n\r\nb\r\n");
    EXPECT_EQ(EncodeEntryFile(Lines{u"a\nb"}, kWestern), "a\nb\r\n");
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
        EXPECT_EQ(EncodeEntryFile(c.items, c.codePage), c.bytes) << c.codePage;
    }
}

TEST(SaveEntryFile, ReplacesTheFileAndLeavesNoTemporaryBehind) {
    TempDir dir;
    const auto path = dir.Write("data.txt", "old\r\n");
    ASSERT_TRUE(SaveEntryFile(path, Lines{u"new"}, kWestern));
    EXPECT_EQ(dir.Read("data.txt"), "new\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("")),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(SaveEntryFile, FailsWithoutTouchingAnythingWhenTheFileCannotBeReplaced) {
    TempDir dir;
    // Nothing can take the place of a folder, and a missing folder cannot hold the new file.
    std::filesystem::create_directories(dir.Path("data.txt") / "inside");
    EXPECT_FALSE(SaveEntryFile(dir.Name("data.txt"), Lines{u"new"}, kWestern));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path("data.txt") / "inside"));
    EXPECT_FALSE(SaveEntryFile(dir.Name("missing/data.txt"), Lines{u"new"}, kWestern));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("")),
                            std::filesystem::directory_iterator()),
              1);
}

// Loads a file and saves the list back, as the load and save commands do.
std::string LoadAndSave(const TempDir& dir, const std::string& bytes, unsigned codePage) {
    const auto path = dir.Write("data.txt", bytes);
    VectorSink list;
    EXPECT_TRUE(LoadFileToList(path, list, codePage));
    EXPECT_TRUE(SaveEntryFile(path, list.items, codePage));
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
    const auto path = dir.Write("data.txt", bytes);
    VectorSink list;
    ASSERT_TRUE(LoadFileToList(path, list, kGbk));
    EXPECT_EQ(list.items.size(), 10837u);
    ASSERT_TRUE(SaveEntryFile(path, list.items, kGbk));
    EXPECT_EQ(dir.Read("data.txt"), bytes);
}

} // namespace
} // namespace corvantis::store
