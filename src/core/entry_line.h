#pragma once
// One line of the entry file: keywords separated by single spaces, the first colon, then the
// target, which may hold colons of its own and the placeholder "{query}".

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#include <emmintrin.h>
#define CORVANTIS_CUT_LINES_BY_BLOCKS
#endif

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

#ifdef CORVANTIS_CUT_LINES_BY_BLOCKS
namespace line_blocks {

inline constexpr size_t kBytes = 64;

// Bit i set where byte i of the block at `block` is `wanted`.
inline std::uint64_t BytesEqual(const char* block, char wanted) {
    const __m128i every = _mm_set1_epi8(wanted);
    std::uint64_t mask = 0;
    for (size_t part = 0; part < kBytes / 16; ++part) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * part));
        const auto found = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, every)));
        mask |= std::uint64_t{found} << (16 * part);
    }
    return mask;
}

} // namespace line_blocks

// The same lines for bytes, found a block at a time: an entry file is read in one go for every
// request, and searching it line by line costs more in calls than the bytes looked at.
template <typename OnLine> void ForEachLine(std::string_view text, OnLine&& onLine) {
    const char* const bytes = text.data();
    const size_t size = text.size();
    size_t start = 0;
    const auto lineEndsAt = [&](size_t end) {
        if (end < start) {
            return; // the LF of a CR LF
        }
        const bool crLf = bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n';
        // A CR just before an LF is part of the line end when not taken as one by itself.
        const bool afterCr = bytes[end] == '\n' && end > start && bytes[end - 1] == '\r';
        onLine(text.substr(start, end - start - (afterCr ? 1 : 0)));
        start = end + (crLf ? 2 : 1);
    };
    size_t block = 0;
    for (; block + line_blocks::kBytes <= size; block += line_blocks::kBytes) {
        const std::uint64_t lfs = line_blocks::BytesEqual(bytes + block, '\n');
        const std::uint64_t crs = line_blocks::BytesEqual(bytes + block, '\r');
        const size_t after = block + line_blocks::kBytes;
        const std::uint64_t lfNext = after < size && bytes[after] == '\n' ? 1 : 0;
        // Where every CR comes before an LF, as in nearly every file, only the LFs end lines.
        const bool loneCr = (crs & ~((lfs >> 1) | (lfNext << 63))) != 0;
        for (std::uint64_t ends = loneCr ? lfs | crs : lfs; ends != 0; ends &= ends - 1) {
            lineEndsAt(block + static_cast<size_t>(std::countr_zero(ends)));
        }
    }
    for (; block < size; ++block) {
        if (bytes[block] == '\n' || bytes[block] == '\r') {
            lineEndsAt(block);
        }
    }
    if (start < size) {
        onLine(text.substr(start));
    }
}
#endif

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

enum class SaveCheck {
    Ok,
    EmptyKeyword,
    EmptyTarget,
    KeywordLineBreak, // CR, LF or NUL: the line would break apart
    KeywordColon,     // the first colon divides the line, so keywords cannot hold one
    TargetLineBreak,
};

// The editor's checks before a save, the keyword box first: only the first failure is reported.
// A box of spaces passes; so does a target with colons of its own.
SaveCheck CheckEntryParts(std::u16string_view keywords, std::u16string_view target);

} // namespace corvantis::core
