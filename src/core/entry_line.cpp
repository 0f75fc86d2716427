#include "core/entry_line.h"

#include "platform/text_compare.h"

namespace corvantis::core {

EntryParts SplitEntryLine(std::u16string_view line) {
    const size_t colon = platform::FindChar(line, u':');
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

} // namespace corvantis::core
