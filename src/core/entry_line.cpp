#include "core/entry_line.h"

#include "core/text_compare.h"

namespace corvantis::core {
namespace {

bool HasLineBreak(std::u16string_view text) {
    return text.find_first_of(std::u16string_view(u"\r\n\0", 3)) != std::u16string_view::npos;
}

} // namespace

EntryParts SplitEntryLine(std::u16string_view line) {
    const size_t colon = FindChar(line, u':');
    if (colon == std::u16string_view::npos) {
        return {u"", std::u16string(line)};
    }
    return {std::u16string(line.substr(0, colon)), std::u16string(line.substr(colon + 1))};
}

std::u16string JoinEntryLine(std::u16string_view keywords, std::u16string_view target) {
    std::u16string line;
    line.reserve(keywords.size() + 1 + target.size());
    line.append(keywords).append(1, u':').append(target);
    return line;
}

SaveCheck CheckEntryParts(std::u16string_view keywords, std::u16string_view target) {
    if (keywords.empty()) {
        return SaveCheck::EmptyKeyword;
    }
    if (target.empty()) {
        return SaveCheck::EmptyTarget;
    }
    if (HasLineBreak(keywords)) {
        return SaveCheck::KeywordLineBreak;
    }
    if (FindChar(keywords, u':') != std::u16string_view::npos) {
        return SaveCheck::KeywordColon;
    }
    if (HasLineBreak(target)) {
        return SaveCheck::TargetLineBreak;
    }
    return SaveCheck::Ok;
}

} // namespace corvantis::core
