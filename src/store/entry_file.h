#pragma once
// The entry file: data.txt beside the program, one entry per line, in the system's ANSI code
// page with CR LF line ends. A file that starts with a UTF-8 byte-order mark is read as UTF-8;
// the writer falls back to that form only when the code page cannot hold every character.

#include <span>
#include <string>
#include <string_view>

namespace corvantis::store {

inline constexpr std::u16string_view kEntryFileName = u"\\data.txt";
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
inline constexpr std::u16string_view kCrLf = u"\r\n";

// Anything that takes lines as new last items: the launcher's list box, a test double.
class ItemSink {
public:
    virtual void AddItem(std::u16string_view line) = 0;

protected:
    ~ItemSink() = default;
};

// The program folder's path followed by "\data.txt".
std::u16string EntryFilePath(std::u16string_view programFolder);

// The file's bytes and the encoding they are in: UTF-8 after a UTF-8 byte-order mark (which is
// taken off), otherwise the code page.
struct EntryBytes {
    std::string_view bytes;
    unsigned codePage;
};
EntryBytes ClassifyEntryBytes(std::string_view bytes, unsigned codePage);

// Calls `onLine` for each line of `text`. A line ends at CR or CR LF; a lone LF is an ordinary
// character; the last line may lack its end; a final line end yields no empty line after it.
// Works on bytes too: in no code page is a CR or LF byte part of a longer character.
template <typename Char, typename OnLine>
void ForEachLine(std::basic_string_view<Char> text, OnLine&& onLine) {
    size_t start = 0;
    while (start < text.size()) {
        const size_t cr = text.find(Char('\r'), start);
        if (cr == std::basic_string_view<Char>::npos) {
            onLine(text.substr(start));
            return;
        }
        onLine(text.substr(start, cr - start));
        start = cr + 1;
        if (start < text.size() && text[start] == Char('\n')) {
            ++start;
        }
    }
}

// The whole file as one text. Mode 0 joins the lines with nothing between them; mode 1 puts
// CR LF before each line; any other mode drops every line. A file that cannot be read gives "".
std::u16string ReadFileText(const std::u16string& path, int mode, unsigned codePage);

// Appends every line of the file to `list`. Returns false when the file cannot be read (the
// list is then unchanged).
bool LoadFileToList(const std::u16string& path, ItemSink& list, unsigned codePage);

// The bytes of a file that holds `items`, each followed by CR LF (an empty list gives one CR LF):
// in the code page when it represents every item exactly, otherwise UTF-8 after a byte-order mark.
std::string EncodeEntryFile(std::span<const std::u16string> items, unsigned codePage);

// Rewrites the file from `items` in one step. On failure the old file is left whole.
bool SaveEntryFile(const std::u16string& path, std::span<const std::u16string> items,
                   unsigned codePage);

} // namespace corvantis::store
