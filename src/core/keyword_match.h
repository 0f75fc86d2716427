#pragma once
// Keyword matching: which targets of the entry file a request opens, in file order.
//
// The request divides at its first space (text comparison, so U+3000 divides too) into keyword
// and query. A line's keyword part ends at its first colon (text comparison, so U+FF1A ends it
// too) and is cut into keywords at every U+0020; the request keyword must equal one of them code
// unit by code unit. Each equal keyword yields the line's target once, as the line holds it;
// core/command_line.h says what it opens and where the query goes. A line without a colon, or
// whose colon comes first, is not an entry and opens nothing.

#include "core/text_compare.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvantis::core {

struct Request {
    std::u16string keyword;
    // Present only when the request holds a space; exactly as typed after it, maybe empty.
    std::optional<std::u16string> query;
};

Request SplitRequest(std::u16string_view text);

using Targets = std::vector<std::u16string>;

// One keyword matched against lines, one at a time: each matching line adds its target to
// `targets`, once per equal keyword, as the line holds it.
class KeywordMatcher {
public:
    explicit KeywordMatcher(std::u16string_view keyword);

    void Line(std::u16string_view line, Targets& targets) const;

    // A line as bytes of a file whose text is in `codePage` (the line itself may be in UTF-8, see
    // LineCodePage): adds what Line adds for the decoded line, but decodes only what it must.
    void EncodedLine(std::string_view line, unsigned codePage, Targets& targets) const;

private:
    void NonAsciiLine(std::string_view line, unsigned codePage, Targets& targets) const;

    const std::u16string keyword_;
    // The keyword as bytes when it is ASCII; otherwise no line of ASCII keywords can match.
    const std::optional<std::string> asciiKeyword_;
    const EqualChars colons_{u':'};
};

// The targets that `keyword` opens in the entry file whose bytes are `file` (code-page text in
// `codePage`, see StoredText), in file order.
Targets MatchTargets(std::string_view file, unsigned codePage, std::u16string_view keyword);

} // namespace corvantis::core
