#include "core/command_line.h"

#include "core/text_compare.h"
#include "core/web_query.h"

namespace corvantis::core {
namespace {

constexpr auto npos = std::u16string_view::npos;
constexpr std::u16string_view kPlaceholder = u"{query}";
constexpr char16_t kVariableMark = u'%';
constexpr char16_t kQuote = u'"';
constexpr char16_t kSpace = u' ';
constexpr size_t kShortestScheme = 2; // "C:" is a drive, not a scheme

bool IsAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsSchemeChar(char16_t c) {
    return IsAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}

std::u16string_view AfterSpaces(std::u16string_view text) {
    const size_t start = text.find_first_not_of(kSpace);
    return start == npos ? std::u16string_view() : text.substr(start);
}

bool HasScheme(std::u16string_view target) {
    if (target.empty() || !IsAsciiLetter(target.front())) {
        return false;
    }
    size_t end = 1;
    while (end < target.size() && IsSchemeChar(target[end])) {
        ++end;
    }
    return end >= kShortestScheme && end < target.size() && target[end] == u':';
}

} // namespace

std::u16string ExpandVariables(std::u16string_view text, const VariableLookup& variable) {
    std::u16string expanded;
    size_t at = 0;
    for (size_t mark = text.find(kVariableMark); mark != npos;
         mark = text.find(kVariableMark, at)) {
        const size_t close = text.find(kVariableMark, mark + 1);
        if (close == npos) {
            break;
        }
        expanded.append(text, at, mark - at);
        const std::u16string_view name = text.substr(mark + 1, close - mark - 1);
        const std::optional<std::u16string> value = name.empty() ? std::nullopt : variable(name);
        if (value) {
            expanded += *value;
        } else {
            expanded.append(text, mark, close + 1 - mark);
        }
        at = close + 1;
    }
    expanded.append(text, at);
    return expanded;
}

Launch SplitCommandLine(std::u16string_view target, const NameLookup& names) {
    if (target.starts_with(kQuote)) {
        const size_t close = target.find(kQuote, 1);
        if (close == npos) {
            return {std::u16string(target.substr(1)), {}};
        }
        return {std::u16string(target.substr(1, close - 1)),
                std::u16string(AfterSpaces(target.substr(close + 1)))};
    }
    if (names(target) != platform::NameKind::Nothing) {
        return {std::u16string(target), {}};
    }
    // Growing at each space, as CreateProcess tries an unquoted path with spaces; a run of
    // spaces ends the words before it only once.
    for (size_t space = target.find(kSpace); space != npos;
         space = target.find(kSpace, space + 1)) {
        if (space == 0 || target[space - 1] == kSpace) {
            continue;
        }
        const std::u16string_view words = target.substr(0, space);
        if (names(words) == platform::NameKind::File) {
            return {std::u16string(words), std::u16string(AfterSpaces(target.substr(space)))};
        }
    }
    return {std::u16string(target), {}};
}

std::u16string PutQuery(std::u16string_view text, std::u16string_view query, bool webAddress) {
    std::u16string out;
    size_t copied = 0;
    // Search the text, not what is built, so a query holding "{query}" stays as typed.
    for (size_t found = FindText(text, kPlaceholder); found != npos;
         found = FindText(text, kPlaceholder, copied)) {
        out.append(text, copied, found - copied);
        if (webAddress) {
            AppendQuery(out, text, found, query);
        } else {
            out += query;
        }
        copied = found + kPlaceholder.size();
    }
    out.append(text, copied);
    return out;
}

Launch LaunchOf(std::u16string_view target, const std::optional<std::u16string>& query,
                const VariableLookup& variable, const NameLookup& names) {
    if (HasScheme(target)) {
        return {query ? PutQuery(target, *query, IsWebAddress(target)) : std::u16string(target),
                {}};
    }
    Launch launch = SplitCommandLine(ExpandVariables(target, variable), names);
    if (query) {
        launch.file = PutQuery(launch.file, *query, false);
        launch.parameters = PutQuery(launch.parameters, *query, false);
    }
    return launch;
}

} // namespace corvantis::core
