#pragma once
// The plain reference that the launcher's own reading is held to, in tests and benchmarks: the
// whole entry file decoded into one text, each line preceded by CR LF, and resolution over that
// text cut at every CR LF.

#include "core/command_line.h"
#include "core/entry_file.h"
#include "core/resolve.h"
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

// The text is cut at every CR LF and the piece before the first one is passed over.
inline void ResolveTargets(std::u16string_view request, std::u16string_view fileText,
                           const core::TargetSink& onTarget) {
    constexpr auto npos = std::u16string_view::npos;
    core::Resolver resolver(request, onTarget);
    for (size_t cut = fileText.find(core::kCrLf); cut != npos;) {
        const size_t start = cut + core::kCrLf.size();
        cut = fileText.find(core::kCrLf, start);
        const auto line = fileText.substr(start, cut == npos ? npos : cut - start);
        if (!line.empty()) {
            resolver.Line(line);
        }
    }
}

// A sink that hands `onTarget` each matched target with the query of `request` put in, as a
// target that is opened whole takes it.
inline core::TargetSink WithQuery(std::u16string_view request, const core::TargetSink& onTarget) {
    return [query = core::SplitRequest(request).query, &onTarget](std::u16string_view target) {
        if (query) {
            onTarget(core::PutQuery(target, *query, core::IsWebAddress(target)));
        } else {
            onTarget(target);
        }
    };
}

} // namespace corvantis::testing
