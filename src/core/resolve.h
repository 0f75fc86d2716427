#pragma once
// Keyword resolution: which targets of the entry file a request opens, in file order.
//
// The request divides at its first space (text comparison, so U+3000 divides too) into keyword
// and query. A line's keyword part ends at its first colon (text comparison, so U+FF1A ends it
// too) and is cut into keywords at every U+0020; the request keyword must equal one of them code
// unit by code unit. Each equal keyword yields the line's target once, as the line holds it;
// core/command_line.h says what it opens and where the query goes. A line without a colon, or
// whose colon comes first, is not an entry and opens nothing.

#include "core/entry_file.h"
#include "core/text_compare.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace corvantis::core {

struct Request {
    std::u16string keyword;
    // Present only when the request holds a space; exactly as typed after it, maybe empty.
    std::optional<std::u16string> query;
};

Request SplitRequest(std::u16string_view text);

// Called once per match with the line's target; the view lasts only for the call.
using TargetSink = std::function<void(std::u16string_view target)>;

// One request matched against lines, one at a time.
class Resolver {
public:
    Resolver(std::u16string_view request, const TargetSink& onTarget);

    void Line(std::u16string_view line);

    // A line as bytes of a file whose text is in `codePage` (the line itself may be in UTF-8, see
    // LineCodePage): opens what Line opens for the decoded line, but decodes only what it must.
    void EncodedLine(std::string_view line, unsigned codePage);

private:
    void NonAsciiLine(std::string_view line, unsigned codePage);

    const std::u16string keyword_;
    // The keyword as bytes when it is ASCII; otherwise no line of ASCII keywords can match.
    const std::optional<std::string> asciiKeyword_;
    const TargetSink& onTarget_;
    const EqualChars colons_{u':'};
};

// The request against the entry file, read afresh. A file that cannot be read opens nothing.
void ResolveRequest(const EntryFile& file, std::u16string_view request, const TargetSink& onTarget);

} // namespace corvantis::core
