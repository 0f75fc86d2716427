#pragma once
// The entry file's bytes as read, cut into lines, and the form of their text: the system's ANSI
// code page, or UTF-8, after a byte-order mark or without one when the bytes are valid UTF-8
// and not plain ASCII. In a file of the code page, a line that is not text of the code page but
// is valid UTF-8 (one that another program added in UTF-8) is read as UTF-8. Lines are kept as
// bytes and decoded only when asked for, so that holding a file of any size costs its bytes and
// a small table. Writing goes the other way: lines in the file's form, untouched ones byte for
// byte.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvantis::core {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
inline constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

// UTF-16 (what Notepad calls "Unicode") is known by its byte-order mark, in either byte order.
enum class TextForm { CodePage, Utf8, Utf8Bom, Utf16Le, Utf16Be };

// A file's bytes seen as text: their form, the code page the lines decode with (the system's,
// or UTF-8; GBK for a GBK file where the system's is UTF-8), and the text after any byte-order
// mark. A UTF-16 file's text is turned into UTF-8, which `utf8` receives and `text` then views;
// every unit carries over, a lone surrogate too, so that the text turns back into the same bytes.
struct StoredText {
    TextForm form;
    unsigned codePage;
    std::string_view text;
};

StoredText TextOf(std::string_view bytes, unsigned systemCodePage, std::string& utf8);

// The code page one line of a file decodes with, given the file's (StoredText::codePage): the
// file's, but UTF-8 for a line of a code-page file that is not text of the code page and is
// valid UTF-8. A line reads the same whatever lines are around it, as long as the file stays
// in the code page.
unsigned LineCodePage(std::string_view line, unsigned fileCodePage);

class StoredLines {
public:
    StoredLines(std::string bytes, unsigned codePage);

    TextForm Form() const { return form_; }
    // The code page the file's text is in: the system's, or UTF-8.
    unsigned CodePage() const { return codePage_; }
    // The code page line `index` decodes with.
    unsigned CodePageOf(size_t index) const { return LineCodePage(Line(index), codePage_); }

    size_t Count() const { return lines_.size(); }
    // A line's bytes as read; a UTF-16 file's in UTF-8.
    std::string_view Line(size_t index) const {
        const LineSpan& line = lines_[index];
        return std::string_view(utf16Text_.empty() ? bytes_ : utf16Text_)
            .substr(line.offset, line.length);
    }
    std::vector<std::string_view> Views() const;
    const std::string& Bytes() const { return bytes_; }

    template <typename OnLine> void ForEach(OnLine&& onLine) const {
        for (size_t i = 0; i < lines_.size(); ++i) {
            onLine(Line(i));
        }
    }

    std::u16string Decode(size_t index) const;
    std::vector<std::u16string> Decode() const;

private:
    struct LineSpan {
        size_t offset;
        size_t length;
    };

    std::string bytes_;
    std::string utf16Text_; // a UTF-16 file's text, in UTF-8
    TextForm form_ = TextForm::CodePage;
    unsigned codePage_ = 0;
    std::vector<LineSpan> lines_;
};

// A line to write: its text, or for a line untouched since it was read, the bytes it was read as
// and the form of the file it was read from (the text is then the bytes decoded as that file
// reads them).
struct LineToWrite {
    std::u16string_view text;
    std::optional<std::string_view> stored;
    TextForm storedForm = TextForm::CodePage;
};

// The bytes of a file that holds `lines`, each followed by CR LF (no lines give one CR LF), in
// `form` where that holds every line exactly and untouched lines keep their bytes; otherwise
// UTF-8 after a byte-order mark. The file always reads back as the lines' texts: where bytes
// would read as other text (code-page text that begins with a byte-order mark's bytes, or a file
// of code-page text that has become valid UTF-8 as a whole), the file is written as UTF-8 with a
// byte-order mark instead, the untouched lines that would not read back encoded from their text.
std::string EncodeLines(std::span<const LineToWrite> lines, TextForm form, unsigned codePage);

// New lines only, in the code page where it holds them all, else UTF-8 after a byte-order mark.
std::string EncodeEntryLines(std::span<const std::u16string> lines, unsigned codePage);

} // namespace corvantis::core
