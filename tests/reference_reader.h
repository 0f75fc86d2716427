#pragma once
// The plain reference that the launcher's own reading is held to, in tests and benchmarks: the
// whole entry file decoded into one text, each line preceded by CR LF, and resolution over that
// text cut at every CR LF.

#include "core/command_line.h"
#include "core/entry_file.h"
#include "core/entry_line.h"
#include "core/keyword_match.h"
#include "core/web_query.h"
#include "platform/codepage.h"

#include <string>
#include <string_view>

namespace corvantis::testing {

// "" when the file cannot be read.
inline std::u16string ReadFileText(const std::u16string& path, unsigned codePage) {
    const auto stored = core::EntryFile(path, codePage).Read();
    std::u16string text;
    if (stored) {
        stored->ForEach([&](std::string_view line) {
            text += core::kCrLf;
            platform::AppendDecoded(text, line, core::LineCodePage(line, stored->CodePage()));
        });
    }
    return text;
}

// Each target with the query of `request` put in, as a target that is opened whole takes it.
inline core::Targets WithQuery(std::u16string_view request, core::Targets targets) {
    if (const auto query = core::SplitRequest(request).query) {
        for (auto& target : targets) {
            target = core::PutQuery(target, *query, core::IsWebAddress(target));
        }
    }
    return targets;
}

// The targets `request` opens, with its query put in: the text is cut at every CR LF and the
// piece before the first one is passed over.
inline core::Targets ResolveTargets(std::u16string_view request, std::u16string_view fileText) {
    constexpr auto npos = std::u16string_view::npos;
    const core::KeywordMatcher matcher(core::SplitRequest(request).keyword);
    core::Targets targets;
    for (size_t cut = fileText.find(core::kCrLf); cut != npos;) {
        const size_t start = cut + core::kCrLf.size();
        cut = fileText.find(core::kCrLf, start);
        const auto line = fileText.substr(start, cut == npos ? npos : cut - start);
        if (!line.empty()) {
            matcher.Line(line, targets);
        }
    }
    return WithQuery(request, std::move(targets));
}

} // namespace corvantis::testing
