#pragma once
// Keyword resolution: which targets of the entry file a request opens, in file order.
//
// The request divides at its first space (text comparison, so U+3000 divides too) into keyword
// and query. A line's keyword part ends at its first colon (text comparison, so U+FF1A ends it
// too) and is cut into keywords at every U+0020; the request keyword must equal one of them code
// unit by code unit. Each equal keyword yields the line's target once, with every "{query}" (any
// case, full-width forms too) replaced by the query when the request holds a space.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace corvantis::app {

struct Request {
    std::u16string keyword;
    // Present only when the request holds a space; exactly as typed after it, maybe empty.
    std::optional<std::u16string> query;
};

Request SplitRequest(std::u16string_view text);

// Called once per match with the target after substitution; the view lasts only for the call.
using TargetSink = std::function<void(std::u16string_view target)>;

// `fileText` is the entry file as ReadFileText gives it in mode 1: each line preceded by CR LF.
// It is cut at every CR LF and the piece before the first one is passed over. A line without a
// colon is not an entry and is passed over.
void ResolveTargets(std::u16string_view request, std::u16string_view fileText,
                    const TargetSink& onTarget);

// The same against the entry file at `path`, read afresh: opens what ResolveTargets opens in
// ReadFileText(path, 1, codePage), a UTF-8 byte-order mark included, but decodes only the lines
// that need it. A file that cannot be read opens nothing.
void ResolveFile(const std::u16string& path, std::u16string_view request, unsigned codePage,
                 const TargetSink& onTarget);

} // namespace corvantis::app
