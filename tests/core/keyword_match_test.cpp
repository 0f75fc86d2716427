#include "core/keyword_match.h"

#include "platform/codepage.h"
#include "platform/file.h"
#include "reference_reader.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace corvantis::core {
namespace {

constexpr unsigned kGbk = 936;

// The entry file's lines as the reference reader gives them: each preceded by CR LF.
std::u16string ModeOneText(const std::vector<std::u16string>& lines) {
    std::u16string text;
    for (const auto& line : lines) {
        text += kCrLf;
        text += line;
    }
    return text;
}

using testing::ResolveTargets;

// What the request opens in the file at `path`, read afresh, with its query put in.
Targets ResolveFile(const std::u16string& path, std::u16string_view request, unsigned codePage) {
    const auto bytes = platform::ReadFileBytes(path);
    if (!bytes) {
        return {};
    }
    return testing::WithQuery(request,
                              MatchTargets(*bytes, codePage, SplitRequest(request).keyword));
}

struct SplitCase {
    std::u16string_view text;
    std::u16string_view keyword;
    std::optional<std::u16string_view> query;
};

TEST(SplitRequest, DividesAtTheFirstSpaceAndKeepsTheQueryAsTyped) {
    const SplitCase cases[] = {
        {u"", u"", std::nullopt},
        {u"g", u"g", std::nullopt},
        {u"g ", u"g", u""},
        {u"g cats and dogs", u"g", u"cats and dogs"},
        {u"g  x ", u"g", u" x "},
        {u" g", u"", u"g"},
        {u" ", u"", u""},
        {u"g\u3000cats", u"g", u"cats"},           // ideographic space divides too
        {u"g\u3000cats dogs", u"g", u"cats dogs"}, // only the first space divides
        {u"g x\u3000y", u"g", u"x\u3000y"},        // later spaces stay as typed
        {u"g\tx", u"g\tx", std::nullopt},          // a tab does not divide
        {u"\uFF47 x", u"\uFF47", u"x"},            // the keyword is not folded
        {u"G x", u"G", u"x"},                      // nor its case
        {u"g\u00A0x", u"g\u00A0x", std::nullopt},  // a no-break space does not divide
        {u"C:\\x y", u"C:\\x", u"y"},
    };
    for (const auto& c : cases) {
        const Request request = SplitRequest(c.text);
        EXPECT_EQ(request.keyword, c.keyword) << "request of " << c.text.size() << " units";
        ASSERT_EQ(request.query.has_value(), c.query.has_value());
        if (c.query) {
            EXPECT_EQ(*request.query, *c.query);
        }
    }
}

struct ResolveCase {
    const char* behaviour;
    std::vector<std::u16string> lines;
    std::u16string_view request;
    Targets expected;
};

TEST(ResolveTargets, OpensTheTargetOfEveryMatchingKeywordInFileOrder) {
    const ResolveCase cases[] = {
        {"no space keeps the placeholder", {u"g:A?q={query}"}, u"g", {u"A?q={query}"}},
        {"a trailing space gives an empty query", {u"g:A?q={query}"}, u"g ", {u"A?q="}},
        {"the query keeps its spaces",
         {u"g:A?q={query}"},
         u"g cats and dogs",
         {u"A?q=cats and dogs"}},
        {"the query keeps a leading space", {u"g:A?q={query}"}, u"g  x", {u"A?q= x"}},
        {"the placeholder is found in capitals", {u"g:A?q={QUERY}"}, u"g x", {u"A?q=x"}},
        {"the placeholder is found in mixed case", {u"g:A?q={Query}"}, u"g x", {u"A?q=x"}},
        {"the placeholder is found in full width",
         {u"g:A?q=\uFF5B\uFF51\uFF55\uFF45\uFF52\uFF59\uFF5D"},
         u"g x",
         {u"A?q=x"}},
        {"every placeholder is replaced", {u"g:A?q={query}&r={QUERY}"}, u"g x", {u"A?q=x&r=x"}},
        {"a query holding the placeholder is inserted unchanged",
         {u"g:{query}-{query}"},
         u"g {query}x",
         {u"{query}x-{query}x"}},
        {"a request with a space opens a target without placeholder", {u"g:A"}, u"g x", {u"A"}},
        {"the ideographic space divides the request",
         {u"g:A?q={query}"},
         u"g\u3000cats",
         {u"A?q=cats"}},
        {"keywords are case-sensitive", {u"g:A", u"G:B"}, u"g", {u"A"}},
        {"keywords are not width-folded", {u"\uFF47:A", u"g:B"}, u"g", {u"B"}},
        {"every matching line opens, in file order",
         {u"g:A", u"x:C", u"h g:B"},
         u"g",
         {u"A", u"B"}},
        {"a keyword named twice opens twice", {u"g x g:A"}, u"g", {u"A", u"A"}},
        {"no prefix matching", {u"go:A"}, u"g", {}},
        {"no substring matching", {u"xgx:A", u"gx xg:B"}, u"g", {}},
        {"an empty keyword part yields no keyword", {u":A"}, u"", {}},
        {"an empty keyword part never opens", {u":A"}, u"A", {}},
        {"two spaces hold an empty keyword", {u"g  h:A"}, u"", {u"A"}},
        {"a leading space holds an empty keyword", {u" g:A"}, u"", {u"A"}},
        {"a trailing space holds an empty keyword", {u"g :A"}, u"", {u"A"}},
        {"a request starting with a space has an empty keyword",
         {u"g  h:A?{query}"},
         u" x",
         {u"A?x"}},
        {"an empty request matches no real keyword", {u"g:A"}, u"", {}},
        {"a request starting with a space matches no real keyword", {u"g:A"}, u" g", {}},
        {"only the first colon divides", {u"c:C:\\Tools\\x.exe"}, u"c", {u"C:\\Tools\\x.exe"}},
        {"a drive-letter target takes the query", {u"d:D:\\{query}"}, u"d foo", {u"D:\\foo"}},
        {"the full-width colon ends the keyword part", {u"g\uFF1AA"}, u"g", {u"A"}},
        {"a full-width colon before a colon divides", {u"g\uFF1AC:\\x"}, u"g", {u"C:\\x"}},
        {"a full-width colon after the first colon is target text",
         {u"g:x\uFF1Ay"},
         u"g",
         {u"x\uFF1Ay"}},
        {"empty lines are passed over", {u"x:B", u"", u"g:A"}, u"g", {u"A"}},
        {"a line without colon is passed over", {u"g", u"g h", u"g:A"}, u"g", {u"A"}},
        {"a request without a keyword passes colon-less lines over", {u"g  h", u" "}, u"", {}},
        {"only U+0020 cuts keywords", {u"g\u3000h:A", u"g\th:B", u"g\u00A0h:C"}, u"g", {}},
        {"a tab stays inside its keyword", {u"g\th:B"}, u"g\th", {u"B"}},
        {"a lone LF is target text", {u"g:A\nB"}, u"g", {u"A\nB"}},
        {"a lone LF is keyword text", {u"x\ng:A"}, u"g", {}},
        {"a lone LF joins keyword text", {u"x\ng:A"}, u"x\ng", {u"A"}},
        {"an empty target opens as empty", {u"g:"}, u"g", {u""}},
        {"units holding a CR byte are no line end",
         {u"g:A\u4E0D\u0D0D\u0A0D\u0D00B"},
         u"g",
         {u"A\u4E0D\u0D0D\u0A0D\u0D00B"}},
        {"non-ASCII keywords match exactly", {u"\u641C \u0433:A"}, u"\u0433 x", {u"A"}},
        {"no lines open nothing", {}, u"", {}},
    };
    for (const auto& c : cases) {
        const auto text = ModeOneText(c.lines);
        EXPECT_EQ(ResolveTargets(c.request, text), c.expected) << c.behaviour;
    }
}

struct TextCase {
    const char* behaviour;
    std::u16string_view text;
    std::u16string_view request;
    Targets expected;
};

TEST(ResolveTargets, CutsTheTextAtEveryCrLfAndPassesThePieceBeforeTheFirstOver) {
    const TextCase cases[] = {
        {"empty text", u"", u"", {}},
        {"text without CR LF is only the first piece", u"g:A", u"g", {}},
        {"the first piece is passed over", u"g:A\r\ng:B", u"g", {u"B"}},
        {"a lone CR is line text", u"\r\ng:A\rB", u"g", {u"A\rB"}},
        {"a trailing CR is line text", u"\r\ng:A\r", u"g", {u"A\r"}},
        {"a final CR LF leaves an empty last piece", u"\r\ng:A\r\n", u"g", {u"A"}},
        {"CR CR LF ends a line after its CR", u"\r\ng:A\r\r\ng:B", u"g", {u"A\r", u"B"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResolveTargets(c.request, c.text), c.expected) << c.behaviour;
    }
}

TEST(ResolveTargets, HasNoSixteenBitLimitOnLinesOrColonPositions) {
    constexpr int kLines = 40'000;
    std::vector<std::u16string> lines;
    lines.reserve(kLines + 1);
    for (int i = 0; i < kLines; ++i) {
        std::string line = "k";
        line += std::to_string(i);
        line += ":T";
        lines.emplace_back(line.begin(), line.end());
    }
    lines.push_back(std::u16string(40'000, u'x') + u" far:Far {query}");
    const auto text = ModeOneText(lines);

    EXPECT_EQ(ResolveTargets(u"k32767", text), Targets{u"T"});
    EXPECT_EQ(ResolveTargets(u"k39999", text), Targets{u"T"});
    EXPECT_EQ(ResolveTargets(u"far q", text), Targets{u"Far q"});
}

TEST(ResolveTargets, FindsAPlaceholderBeyondSixteenBitPositions) {
    const auto target = std::u16string(40'000, u'a') + u"{QUERY}";
    EXPECT_EQ(ResolveTargets(u"g x", ModeOneText({u"g:" + target})),
              Targets{std::u16string(40'000, u'a') + u"x"});
}

class ResolveFileTest : public ::testing::Test {
protected:
    std::u16string Path() const { return dir_.Name("data.txt"); }
    void Write(std::string_view bytes) const {
        ASSERT_TRUE(platform::WriteFileAtomically(Path(), bytes));
    }

    testing::TempDir dir_;
};

TEST_F(ResolveFileTest, AMissingFileOpensNothing) {
    EXPECT_EQ(ResolveFile(Path(), u"g", kGbk), Targets{});
}

TEST_F(ResolveFileTest, ReadsTheFileInTheCodePage) {
    const auto bytes =
        platform::EncodeCodePage(u"x:B\r\n\u767E\u5EA6 g:https://b/s?wd={query}\r\n", kGbk);
    ASSERT_TRUE(bytes.has_value());
    Write(*bytes);
    EXPECT_EQ(ResolveFile(Path(), u"\u767E\u5EA6 \u732B", kGbk), Targets{u"https://b/s?wd=\u732B"});
    EXPECT_EQ(ResolveFile(Path(), u"g", kGbk), Targets{u"https://b/s?wd={query}"});
}

TEST_F(ResolveFileTest, TakesLinesAsTheEntryFileReaderDoes) {
    Write("g:A\rg:B\n\r\n\r\nh g:C");
    EXPECT_EQ(ResolveFile(Path(), u"g", kGbk), (Targets{u"A", u"B", u"C"}));
}

TEST_F(ResolveFileTest, OpensWhatTheModeOneTextOfTheFileOpens) {
    const std::string_view files[] = {
        "",
        "\r\n",
        "g:A",
        "g:A\r\n\r\ng:B\r\n",
        "g:A\rg:B\r\r\ng:C\n\ng:D\r",
        "\xEF\xBB\xBFg:\xE4\xB8\r\ng:\xE7\x8C\xAB\r\n",
        "g:\xB2\xBB\x0D\x0A g:\xB0\r\n",
    };
    for (const auto bytes : files) {
        Write(bytes);
        const auto text = testing::ReadFileText(Path(), kGbk);
        for (const std::u16string_view request : {u"g", u"g x", u"", u" "}) {
            EXPECT_EQ(ResolveFile(Path(), request, kGbk), ResolveTargets(request, text))
                << "file of " << bytes.size() << " bytes";
        }
    }
}

// Files put together at random from pieces that matter to resolution, in GBK and in UTF-8 after
// a byte-order mark: keywords, spaces, colons (also full width), line ends, the placeholder, a
// character with a CR byte in its UTF-16 form, and bytes that are not valid.
TEST_F(ResolveFileTest, OpensWhatTheModeOneTextOpensForRandomFiles) {
    struct Encoding {
        std::string_view start;
        std::vector<std::string_view> pieces;
    };
    const Encoding encodings[] = {
        {"",
         {"g", "h", "gh", " ", ":", ":", "\xA3\xBA", "\xA1\xA1", "\xB2\xBB", "\xA3\xE7", "\r\n",
          "\r", "\n", "{query}", "{QUERY}", "C:\\", "\x81", "\xB0\xD9\xB6\xC8"}},
        {kUtf8Bom,
         {"g", "h", "gh", " ", ":", ":", "\xEF\xBC\x9A", "\xE3\x80\x80", "\xE4\xB8\x8D",
          "\xEF\xBD\x87", "\r\n", "\r", "\n", "{query}", "{Query}", "\xE4\xB8", "\x80",
          "\xE7\x99\xBE"}},
    };
    const std::u16string_view requests[] = {
        u"g",      u"h x",      u"gh",           u"",         u" ", u"g\u3000y",
        u"\uFF47", u"\u4E0D z", u"\u767E\u5EA6", u"\u767E x", u"g:"};
    std::mt19937 random(20240611);
    for (const auto& encoding : encodings) {
        std::uniform_int_distribution<size_t> piece(0, encoding.pieces.size() - 1);
        for (int file = 0; file < 100; ++file) {
            std::string bytes(encoding.start);
            for (int i = 0; i < 40; ++i) {
                bytes += encoding.pieces[piece(random)];
            }
            Write(bytes);
            const auto text = testing::ReadFileText(Path(), kGbk);
            for (const auto request : requests) {
                ASSERT_EQ(ResolveFile(Path(), request, kGbk), ResolveTargets(request, text))
                    << "file " << file << " of encoding " << encoding.start.size();
            }
        }
    }
}

TEST_F(ResolveFileTest, HasNoSixteenBitLimitOnLinesOrColonPositions) {
    std::string bytes;
    for (int i = 0; i < 40'000; ++i) {
        bytes += "k";
        bytes += std::to_string(i);
        bytes += ":T\r\n";
    }
    bytes += std::string(40'000, 'x') + " far:Far {query}\r\n";
    bytes += std::string(40'000, 'y') + " \xB0\xD9\xB6\xC8:Baidu {query}\r\n";
    Write(bytes);

    EXPECT_EQ(ResolveFile(Path(), u"k32767", kGbk), Targets{u"T"});
    EXPECT_EQ(ResolveFile(Path(), u"k39999", kGbk), Targets{u"T"});
    EXPECT_EQ(ResolveFile(Path(), u"far q", kGbk), Targets{u"Far q"});
    EXPECT_EQ(ResolveFile(Path(), u"\u767E\u5EA6 q", kGbk), Targets{u"Baidu q"});
}

class BangsTest : public ::testing::Test {
protected:
    static constexpr const char* kBangs = CORVANTIS_SHARED_DATA "/bangs.txt";

    void SetUp() override {
        if (!std::filesystem::exists(kBangs)) {
            GTEST_SKIP() << kBangs << " is absent";
        }
    }

    static std::u16string Path() { return std::filesystem::path(kBangs).u16string(); }
};

TEST_F(BangsTest, OpensTheEntriesOfARealFile) {
    EXPECT_EQ(ResolveFile(Path(), u"01net cats", kGbk),
              Targets{u"https://www.01net.com/recherche/recherche.php?searchstring=cats"
                      u"&chaine=home"});
    EXPECT_EQ(ResolveFile(Path(), u"tsbb", kGbk),
              Targets{u"https://tesaurus.kemendikdasmen.go.id/tematis/lema/{query}"});
    EXPECT_EQ(ResolveFile(Path(), u"g cats", kGbk),
              Targets{u"https://www.google.com/search?q=cats"});
    EXPECT_EQ(ResolveFile(Path(), u"\u043F\u3000cats", kGbk),
              Targets{u"https://www.google.com/search?q=cats"});
    EXPECT_EQ(ResolveFile(Path(), u"allocin\u00E9 x", kGbk),
              Targets{u"https://www.allocine.fr/rechercher/?q=x"});
}

TEST_F(BangsTest, MatchesNeitherOtherCaseNorPrefixes) {
    EXPECT_EQ(ResolveFile(Path(), u"G cats", kGbk), Targets{});
    EXPECT_EQ(ResolveFile(Path(), u"\u041F", kGbk), Targets{});
    EXPECT_EQ(ResolveFile(Path(), u"ALLOCIN\u00C9", kGbk), Targets{});
    EXPECT_EQ(ResolveFile(Path(), u"01ne", kGbk), Targets{});
    EXPECT_EQ(ResolveFile(Path(), u"", kGbk), Targets{});
}

TEST_F(BangsTest, ReadsTheFileAsTheModeOneTextOfIt) {
    const auto text = testing::ReadFileText(Path(), kGbk);
    for (const std::u16string_view request :
         {u"g", u"tsbb x", u"\u0434\u0432\u0430\u0433\u0438\u0441 x", u"", u"zzz"}) {
        EXPECT_EQ(ResolveFile(Path(), request, kGbk), ResolveTargets(request, text));
    }
    EXPECT_EQ(ResolveFile(Path(), u"\u0434\u0432\u0430\u0433\u0438\u0441 x", kGbk),
              Targets{u"https://2gis.ru/search/x"});
}

TEST_F(BangsTest, OpensEveryMatchInFileOrder) {
    auto text = testing::ReadFileText(Path(), kGbk);
    ASSERT_FALSE(text.empty());
    text = u"\r\ng:first" + text + u"\r\nx g:last";
    EXPECT_EQ(ResolveTargets(u"g", text),
              (Targets{u"first", u"https://www.google.com/search?q={query}", u"last"}));
}

} // namespace
} // namespace corvantis::core
