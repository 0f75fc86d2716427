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

} // namespace
} // namespace corvantis::core
