#include "core/entry_file.h"

#include "platform/codepage.h"

namespace corvantis::core {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Whether bytes stored in one form are the same bytes in another.
bool SameBytes(TextForm stored, TextForm form) {
    return stored == form || (stored != TextForm::CodePage && form != TextForm::CodePage);
}

} // namespace

StoredLines::StoredLines(std::string bytes, unsigned codePage)
    : bytes_(std::move(bytes)), codePage_(codePage) {
    std::string_view text = bytes_;
    if (text.starts_with(kUtf8Bom)) {
        form_ = TextForm::Utf8Bom;
        text.remove_prefix(kUtf8Bom.size());
    } else if (!platform::IsAsciiText(text) && platform::IsValidUtf8(text)) {
        form_ = TextForm::Utf8;
    }
    if (form_ != TextForm::CodePage) {
        codePage_ = platform::kCodePageUtf8;
    }
    ForEachLine(text, [&](std::string_view line) {
        lines_.emplace_back(static_cast<size_t>(line.data() - bytes_.data()), line.size());
    });
}

std::vector<std::string_view> StoredLines::Views() const {
    std::vector<std::string_view> views;
    views.reserve(lines_.size());
    ForEach([&](std::string_view line) { views.push_back(line); });
    return views;
}

std::u16string StoredLines::Decode(size_t index) const {
    return platform::DecodeCodePage(Line(index), codePage_);
}

std::vector<std::u16string> StoredLines::Decode() const {
    std::vector<std::u16string> lines;
    lines.reserve(lines_.size());
    ForEach(
        [&](std::string_view line) { lines.push_back(platform::DecodeCodePage(line, codePage_)); });
    return lines;
}

std::string EncodeLines(std::span<const LineToWrite> lines, TextForm form, unsigned codePage) {
    if (lines.empty()) {
        return std::string(kLineEnd);
    }
    for (;;) {
        std::string out(form == TextForm::Utf8Bom ? kUtf8Bom : "");
        bool fits = true;
        for (const LineToWrite& line : lines) {
            if (line.stored && SameBytes(line.storedForm, form)) {
                out += *line.stored;
            } else if (form != TextForm::CodePage) {
                out += platform::EncodeUtf8(line.text);
            } else if (auto bytes = platform::EncodeCodePage(line.text, codePage)) {
                out += *bytes;
            } else {
                fits = false;
                break;
            }
            out += kLineEnd;
        }
        // Only UTF-8 with a byte-order mark holds every line, and only it reads back a file that
        // begins with the mark's bytes as written.
        if (form != TextForm::Utf8Bom && (!fits || out.starts_with(kUtf8Bom))) {
            form = TextForm::Utf8Bom;
            continue;
        }
        return out;
    }
}

std::string EncodeEntryLines(std::span<const std::u16string> lines, unsigned codePage) {
    std::vector<LineToWrite> toWrite;
    toWrite.reserve(lines.size());
    for (const auto& line : lines) {
        toWrite.push_back({line, std::nullopt});
    }
    return EncodeLines(toWrite, TextForm::CodePage, codePage);
}

EntryFile::EntryFile(std::u16string path, unsigned codePage)
    : path_(std::move(path)), codePage_(codePage) {}

EntryFile EntryFile::InFolder(std::u16string_view folder, unsigned codePage) {
    std::u16string path(folder);
    path += u"\\data.txt";
    return EntryFile(std::move(path), codePage);
}

std::optional<StoredLines> EntryFile::Read() const {
    auto bytes = platform::ReadFileBytes(path_);
    if (!bytes) {
        return std::nullopt;
    }
    return StoredLines(std::move(*bytes), codePage_);
}

LoadOutcome EntryFile::Load(EntryList& list) {
    // The stamp before the read: a change during the read shows as a change afterwards.
    const auto stamp = platform::StampOf(path_);
    auto bytes = platform::ReadFileBytes(path_);
    if (!bytes) {
        const bool missing = !platform::PathExists(path_);
        known_.reset();
        if (missing) {
            known_.emplace(std::string(), codePage_);
        }
        stamp_.reset();
        list.Assign({});
        return missing ? LoadOutcome::Missing : LoadOutcome::Unreadable;
    }
    stamp_ = stamp;
    known_.emplace(std::move(*bytes), codePage_);
    list.Assign(known_->Decode());
    return LoadOutcome::Loaded;
}

bool EntryFile::Save(EntryList& list) {
    std::optional<StoredLines> current;
    if (auto bytes = platform::ReadFileBytes(path_)) {
        current.emplace(std::move(*bytes), codePage_);
    } else if (platform::PathExists(path_)) {
        return false; // what it holds cannot be read, so it is not replaced blindly
    }
    const StoredLines none(std::string(), codePage_);
    const StoredLines& base = known_ ? *known_ : none;
    // A file that went away holds no outside change to carry over.
    const StoredLines& theirs = current ? *current : base;
    const std::vector<std::string_view> baseLines = base.Views();
    const std::vector<std::string_view> theirLines = theirs.Views();
    const std::vector<MergedLine> merged = MergeLines(baseLines, list.Origins(), theirLines);

    std::vector<std::u16string> texts;
    std::vector<EntryList::Id> ids;
    texts.reserve(merged.size());
    ids.reserve(merged.size());
    // Our lines, and theirs that we kept as they were read, are already decoded in the list, and
    // keep their ids; only what theirs added or changed is decoded here.
    const bool sameForm = base.Form() == theirs.Form();
    for (const MergedLine& line : merged) {
        const size_t ours = line.ours ? line.index : sameForm ? line.keptBy : kNoLine;
        const int index = static_cast<int>(ours);
        texts.push_back(ours != kNoLine ? list.Item(index) : theirs.Decode(line.index));
        ids.push_back(ours != kNoLine ? list.IdOf(index) : 0);
    }
    std::vector<LineToWrite> toWrite;
    toWrite.reserve(merged.size());
    for (size_t i = 0; i < merged.size(); ++i) {
        toWrite.push_back(merged[i].ours
                              ? LineToWrite{texts[i], std::nullopt}
                              : LineToWrite{texts[i], theirLines[merged[i].index], theirs.Form()});
    }
    return Write(EncodeLines(toWrite, theirs.Form(), codePage_), list, std::move(texts),
                 std::move(ids));
}

bool EntryFile::Empty(EntryList& list) {
    return Write(EncodeEntryLines({}, codePage_), list, {}, {});
}

bool EntryFile::Write(std::string bytes, EntryList& list, std::vector<std::u16string> lines,
                      std::vector<EntryList::Id> ids) {
    if (!platform::WriteFileAtomically(path_, bytes)) {
        return false;
    }
    stamp_ = platform::StampOf(path_);
    known_.emplace(std::move(bytes), codePage_);
    list.Assign(std::move(lines), ids);
    return true;
}

bool EntryFile::ChangedOnDisk() const {
    return !known_ || platform::StampOf(path_) != stamp_;
}

bool EntryFile::Follow(EntryList& list) {
    if (!ChangedOnDisk() || !ListIsSaved(list)) {
        return false;
    }
    const auto stamp = platform::StampOf(path_);
    auto bytes = platform::ReadFileBytes(path_);
    if (!bytes) {
        return false;
    }
    stamp_ = stamp;
    if (known_ && known_->Bytes() == *bytes) {
        return false; // touched, not changed
    }
    known_.emplace(std::move(*bytes), codePage_);
    list.Assign(known_->Decode());
    return true;
}

bool EntryFile::ListIsSaved(const EntryList& list) const {
    if (!known_) {
        return list.Count() == 0;
    }
    // The file of an empty list holds one empty line.
    const bool emptied = known_->Count() == 1 && known_->Line(0).empty() && list.Count() == 0;
    return emptied || list.Untouched(known_->Count());
}

} // namespace corvantis::core
