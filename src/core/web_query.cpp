#include "core/web_query.h"

namespace corvantis::core {
namespace {

constexpr std::u16string_view kPathEncoded = u"%?#";
constexpr std::u16string_view kQueryEncoded = u"%&+#";

bool StartsWithAsciiNoCase(std::u16string_view text, std::u16string_view lowerPrefix) {
    if (text.size() < lowerPrefix.size()) {
        return false;
    }
    for (size_t i = 0; i < lowerPrefix.size(); ++i) {
        const char16_t c = text[i];
        const char16_t lower = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c;
        if (lower != lowerPrefix[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

bool IsWebAddress(std::u16string_view target) {
    return StartsWithAsciiNoCase(target, u"http:") || StartsWithAsciiNoCase(target, u"https:");
}

void AppendQuery(std::u16string& out, std::u16string_view target, size_t placeholder,
                 std::u16string_view query) {
    if (!IsWebAddress(target)) {
        out += query;
        return;
    }
    const bool afterPath = target.substr(0, placeholder).find_first_of(u"?#") != target.npos;
    const std::u16string_view encoded = afterPath ? kQueryEncoded : kPathEncoded;
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    for (const char16_t c : query) {
        if (encoded.find(c) == encoded.npos) {
            out += c;
            continue;
        }
        out += u'%';
        out += kHex[c >> 4];
        out += kHex[c & 0xF];
    }
}

} // namespace corvantis::core
