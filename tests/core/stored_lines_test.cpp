#include "core/stored_lines.h"

#include "core/entry_line.h"
#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace corvantis::core {
namespace {

using Lines = std::vector<std::u16string>;

constexpr unsigned kGbk = 936;
constexpr unsigned kWestern = 1252;

Lines SplitLines(std::u16string_view text) {
    Lines lines;
    ForEachLine(text, [&](std::u16string_view line) { lines.emplace_back(line); });
    return lines;
}

TEST(StoredLinesCut, EndAtCrLfCrOrLfAndKeepEveryLineWhole) {
    const struct {
        std::u16string text;
        Lines lines;
    } cases[] = {
        {u"", {}},
        {u"a", {u"a"}},
        {u"a\r\nb", {u"a", u"b"}},
        {u"a\r\nb\r\n", {u"a", u"b"}}, // no empty line after a final CR LF
        {u"a\rb\r", {u"a", u"b"}},     // CR alone ends a line
        {u"a\nb\n", {u"a", u"b"}},     // LF alone ends a line, as editors write it
        {u"a\n\r\nb", {u"a", u"", u"b"}},
        {u"a\n\rb", {u"a", u"", u"b"}},     // LF CR is two line ends
        {u"a\r\n\r\nb", {u"a", u"", u"b"}}, // empty lines are kept
        {u"\r\n", {u""}},
        {u"\r\n\r\n", {u"", u""}},
        {u"a\r\r\nb", {u"a", u"", u"b"}},
        {u"\n", {u""}},
        {u"\r", {u""}},
        {u"a\r\nb\rc\r\n", {u"a", u"b", u"c"}}, // one lone CR among CR LFs
        {u"a\r\nb\r", {u"a", u"b"}},
        {u"\r\r\n", {u"", u""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitLines(c.text), c.lines) << platform::EncodeUtf8(c.text);
        // Bytes are cut the same way, and so are the lines of a file.
        const std::string bytes = platform::EncodeUtf8(c.text);
        Lines byteLines;
        ForEachLine(std::string_view(bytes), [&](std::string_view line) {
            byteLines.push_back(platform::DecodeUtf8(line));
        });
        EXPECT_EQ(byteLines, c.lines) << bytes;
        EXPECT_EQ(StoredLines(bytes, kGbk).Decode(), c.lines) << bytes;
    }
}

TEST(StoredLinesCut, AFileIsCutAsTheTextIsWhereverItsLineEndsFall) {
    // The file's bytes are cut in blocks: line ends at, across and between block edges, CR LF
    // split over two blocks, lone CRs in some blocks and not others.
    std::mt19937 random(20261207);
    const std::u16string_view lineEnds[] = {u"\r\n", u"\n", u"\r"};
    for (int round = 0; round < 3000; ++round) {
        const size_t size = random() % 300;
        const size_t longestLine = 1 + random() % 80;
        const size_t kinds = 1 + random() % 3; // some rounds have no lone CR, some no lone LF
        std::u16string text;
        while (text.size() < size) {
            text.append(random() % longestLine, u'x');
            text += lineEnds[random() % kinds];
        }
        text.resize(size);
        const std::string bytes = platform::EncodeUtf8(text);
        ASSERT_EQ(StoredLines(bytes, kGbk).Decode(), SplitLines(text)) << bytes;
    }
}

TEST(StoredLinesForm, IsUtf8AfterAMarkOrWhenValidAndNotAsciiElseTheCodePage) {
    const struct {
        std::string bytes;
        TextForm form;
        Lines lines;
    } cases[] = {
        {"", TextForm::CodePage, {}},
        {"a:1\r\n", TextForm::CodePage, {u"a:1"}},
        {"\xEF\xBB\xBF", TextForm::Utf8Bom, {}},
        {"\xEF\xBB\xBF"
         "a:1\r\n",
         TextForm::Utf8Bom,
         {u"a:1"}},
        {"\xEF\xBB\xBF\xD6\xD0\r\n", TextForm::Utf8Bom, {u"\uFFFD\uFFFD"}}, // the mark decides
        {"a:\xE4\xB8\xAD\r\n", TextForm::Utf8, {u"a:中"}},
        {"a:\xD6\xD0\r\n", TextForm::CodePage, {u"a:中"}},
        // One byte that is no UTF-8 makes the file the code page's; a line in it that is no text
        // of the code page but is UTF-8 still reads as UTF-8, and one that is neither as the
        // code page reads it.
        {"a:\xE4\xB8\xAD\r\nb:\xD6\xD0\r\n", TextForm::CodePage, {u"a:中", u"b:中"}},
        {"a:\x81\r\nb:\xD6\xD0\r\n", TextForm::CodePage, {u"a:\uFFFD", u"b:中"}},
    };
    for (const auto& c : cases) {
        const StoredLines stored(c.bytes, kGbk);
        EXPECT_EQ(stored.Form(), c.form) << c.bytes;
        EXPECT_EQ(stored.Decode(), c.lines) << c.bytes;
        EXPECT_EQ(stored.Bytes(), c.bytes) << "kept as read";
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

} // namespace
} // namespace corvantis::core
