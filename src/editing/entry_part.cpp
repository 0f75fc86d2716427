#include "editing/entry_part.h"

#include "platform/text_compare.h"

namespace corvantis::editing {

std::u16string EntryPart(std::u16string_view line, std::u16string_view which) {
    const size_t colon = platform::FindChar(line, u':');
    const bool hasColon = colon != std::u16string_view::npos;
    if (which == u"l") {
        return hasColon ? std::u16string(line.substr(0, colon)) : std::u16string();
    }
    if (which == u"r") {
        return std::u16string(hasColon ? line.substr(colon + 1) : line);
    }
    return {};
}

} // namespace corvantis::editing
