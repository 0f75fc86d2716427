#include "core/web_query.h"

#include "core/keyword_match.h"
#include "reference_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvantis::core {
namespace {

// The targets that the line "k:<target>" opens for the request "k <query>".
std::vector<std::u16string> Opened(std::u16string_view target, std::u16string_view query) {
    Targets opened;
    KeywordMatcher(u"k").Line(u"k:" + std::u16string(target), opened);
    return testing::WithQuery(u"k " + std::u16string(query), std::move(opened));
}

struct QueryCase {
    const char* behaviour;
    std::u16string_view target;
    std::u16string_view query;
    std::u16string_view expected;
};

TEST(WebQuery, EncodesOnlyWhatWouldChangeTheAddressWhereThePlaceholderStands) {
    const QueryCase cases[] = {
        {"query part: # & + are encoded, spaces stay", u"https://duckduckgo.com/?q={query}",
         u"C# AT&T 1+1", u"https://duckduckgo.com/?q=C%23 AT%26T 1%2B1"},
        {"query part: % is encoded", u"https://x.org/s?q={query}", u"100%25",
         u"https://x.org/s?q=100%2525"},
        {"query part: ? = / stay", u"https://x.org/s?q={query}", u"a?b=c/d",
         u"https://x.org/s?q=a?b=c/d"},
        {"path: a slash stays", u"https://github.com/{query}", u"owner/repo",
         u"https://github.com/owner/repo"},
        {"path: ? # % are encoded, & + stay", u"https://x.org/wiki/{query}", u"a?b#c%d&e+f",
         u"https://x.org/wiki/a%3Fb%23c%25d&e+f"},
        {"after a fragment mark the query-part rule holds", u"https://x.org/#/s?q={query}", u"a&b#",
         u"https://x.org/#/s?q=a%26b%23"},
        {"each placeholder by its own place", u"https://x.org/{query}?q={QUERY}", u"?&",
         u"https://x.org/%3F&?q=?%26"},
        {"the scheme in capitals", u"HTTP://x.org/?q={query}", u"&", u"HTTP://x.org/?q=%26"},
        {"the scheme in mixed case", u"hTtPs://x.org/?q={query}", u"+", u"hTtPs://x.org/?q=%2B"},
        {"Chinese and the ideographic space stay", u"https://www.baidu.com/s?wd={query}",
         u"\u732B\u3000\u72D7&", u"https://www.baidu.com/s?wd=\u732B\u3000\u72D7%26"},
        {"an empty query", u"https://x.org/?q={query}", u"", u"https://x.org/?q="},
        {"mailto is no web address", u"mailto:{query}", u"a&b#c+d%", u"mailto:a&b#c+d%"},
        {"a path is no web address", u"C:\\notes\\{query}.txt", u"a#b?%", u"C:\\notes\\a#b?%.txt"},
        {"nor another scheme", u"ftp://x.org/?q={query}", u"a&b", u"ftp://x.org/?q=a&b"},
        {"nor a scheme without its colon", u"httpd {query}", u"a&b", u"httpd a&b"},
        {"nor a web address after a space", u" https://x.org/?q={query}", u"a&b",
         u" https://x.org/?q=a&b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Opened(c.target, c.query),
                  std::vector<std::u16string>{std::u16string(c.expected)})
            << c.behaviour;
    }
}

} // namespace
} // namespace corvantis::core
