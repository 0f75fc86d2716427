#pragma once
// One line of the entry file: keywords separated by single spaces, the first colon, then the
// target, which may hold colons of its own and the placeholder "{query}".

#include <algorithm>
#include <string>
#include <string_view>

namespace corvantis::core {

inline constexpr std::u16string_view kCrLf = u"\r\n";

// Calls `onLine` for each line of `text`. A line ends at CR LF, CR or LF; the last line may lack
// its end; a final line end yields no empty line after it. Works on bytes too: in no code page is
// a CR or LF byte part of a longer character.
template <typename Char, typename OnLine>
void ForEachLine(std::basic_string_view<Char> text, OnLine&& onLine) {
    constexpr auto npos = std::basic_string_view<Char>::npos;
    size_t cr = text.find(Char('\r'));
    size_t lf = text.find(Char('\n'));
    size_t start = 0;
    while (start < text.size()) {
        if (cr < start) {
            cr = text.find(Char('\r'), start);
        }
        if (lf < start) {
            lf = text.find(Char('\n'), start);
        }
        const size_t end = std::min(cr, lf);
        if (end == npos) {
            onLine(text.substr(start));
            return;
        }
        onLine(text.substr(start, end - start));
        const bool crLf = end == cr && end + 1 == lf;
        start = end + (crLf ? 2 : 1);
    }
}

// The first line of a text, as a single-line box takes a paste: up to its first line end.
inline std::u16string_view FirstLine(std::u16string_view text) {
    return text.substr(0, text.find_first_of(u"\r\n"));
}

struct EntryParts {
    std::u16string keywords;
    std::u16string target;
};

// The line divided at its first colon, found with the platform's text comparison, so a
// full-width colon (U+FF1A) divides it too. Dividing at the first colon keeps a target's own
// colons: "dl:D:\Downloads" gives "dl" and "D:\Downloads". A line without a colon has no
// keywords: its whole text is the target.
EntryParts SplitEntryLine(std::u16string_view line);

// The line the editor saves: keywords and target joined by ":", exactly as typed (nothing
// trimmed).
std::u16string JoinEntryLine(std::u16string_view keywords, std::u16string_view target);

} // namespace corvantis::core
