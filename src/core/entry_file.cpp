#include "core/entry_file.h"

#include "platform/codepage.h"

#include <algorithm>

namespace corvantis::core {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Whether bytes stored in one form are the same bytes in another.
bool SameBytes(TextForm stored, TextForm form) {
    return stored == form || (stored != TextForm::CodePage && form != TextForm::CodePage);
}

} // namespace

std::string EncodeLines(std::span<const LineToWrite> lines, TextForm form, unsigned codePage) {
    if (lines.empty()) {
        return std::string(kLineEnd);
    }
    // Room for the lines as stored and the others at three bytes a unit, the most UTF-8 takes.
    size_t room = kUtf8Bom.size();
    for (const LineToWrite& line : lines) {
        room += (line.stored ? line.stored->size() : line.text.size() * 3) + kLineEnd.size();
    }
    for (;;) {
        std::string out;
        out.reserve(room);
        out += form == TextForm::Utf8Bom ? kUtf8Bom : "";
        bool fits = true;
        for (const LineToWrite& line : lines) {
            if (line.stored && SameBytes(line.storedForm, form)) {
                out += *line.stored;
                out += kLineEnd;
                continue;
            }
            const std::u16string decoded =
                line.stored
                    ? platform::DecodeCodePage(*line.stored, line.storedForm == TextForm::CodePage
                                                                 ? codePage
                                                                 : platform::kCodePageUtf8)
                    : std::u16string();
            const std::u16string_view text = line.stored ? decoded : line.text;
            if (form != TextForm::CodePage) {
                out += platform::EncodeUtf8(text);
            } else if (auto bytes = platform::EncodeCodePage(text, codePage)) {
                out += *bytes;
            } else {
                fits = false;
                break;
            }
            out += kLineEnd;
        }
        // Only UTF-8 with a byte-order mark holds every line, and only it reads back as written
        // bytes that begin with the mark's or that look like UTF-8.
        const bool readsBackAsWritten =
            !out.starts_with(kUtf8Bom) &&
            (form != TextForm::CodePage || TextOf(out, codePage).form == TextForm::CodePage);
        if (form != TextForm::Utf8Bom && (!fits || !readsBackAsWritten)) {
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

std::optional<std::string> EntryFile::ReadBytes() const {
    return platform::ReadFileBytes(path_);
}

LoadOutcome EntryFile::Load(EntryList& list) {
    // The stamp before the read: a change during the read shows as a change afterwards.
    const auto stamp = platform::StampOf(path_);
    auto bytes = platform::ReadFileBytes(path_);
    if (!bytes) {
        const bool missing = !platform::PathExists(path_);
        known_ = missing ? std::make_shared<const StoredLines>(std::string(), codePage_) : nullptr;
        stamp_.reset();
        list.Assign(known_);
        return missing ? LoadOutcome::Missing : LoadOutcome::Unreadable;
    }
    stamp_ = stamp;
    known_ = std::make_shared<const StoredLines>(std::move(*bytes), codePage_);
    list.Assign(known_);
    return LoadOutcome::Loaded;
}

bool EntryFile::Save(EntryList& list) {
    const StoredLines none(std::string(), codePage_);
    const StoredLines& base = known_ ? *known_ : none;
    std::optional<StoredLines> current;
    if (auto bytes = platform::ReadFileBytes(path_)) {
        // Most often nobody else wrote the file since: then what it holds is the base.
        if (!known_ || *bytes != known_->Bytes()) {
            current.emplace(std::move(*bytes), codePage_);
        }
    } else if (platform::PathExists(path_)) {
        return false; // what it holds cannot be read, so it is not replaced blindly
    }
    // A file that went away holds no outside change to carry over either.
    const StoredLines& theirs = current ? *current : base;
    const std::vector<std::string_view> baseLines = base.Views();
    const std::vector<std::string_view> theirLines = theirs.Views();
    const std::vector<MergedLine> merged = MergeLines(baseLines, list.Origins(), theirLines);

    // Lines of theirs are written as the bytes they were read as, ours (new and edited) from
    // their text. Ours, and theirs that we kept as read, keep the list's ids.
    const bool sameForm = base.Form() == theirs.Form();
    // The texts of our lines, reserved up front: the lines to write view them.
    std::vector<std::u16string> texts;
    texts.reserve(static_cast<size_t>(std::ranges::count_if(merged, &MergedLine::ours)));
    std::vector<LineToWrite> toWrite;
    std::vector<EntryList::Id> ids;
    toWrite.reserve(merged.size());
    ids.reserve(merged.size());
    for (const MergedLine& line : merged) {
        if (!line.ours) {
            toWrite.push_back({{}, theirLines[line.index], theirs.Form()});
            ids.push_back(
                sameForm && line.keptBy != kNoLine ? list.IdOf(static_cast<int>(line.keptBy)) : 0);
            continue;
        }
        const int index = static_cast<int>(line.index);
        toWrite.push_back({texts.emplace_back(list.Item(index)), std::nullopt});
        ids.push_back(list.IdOf(index));
    }
    if (!Write(EncodeLines(toWrite, theirs.Form(), codePage_))) {
        return false;
    }
    // No lines are written as one empty line, which stands for the empty list.
    list.Assign(merged.empty() ? nullptr : known_, ids);
    return true;
}

bool EntryFile::Empty(EntryList& list) {
    if (!Write(EncodeEntryLines({}, codePage_))) {
        return false;
    }
    list.Assign(nullptr); // the one empty line stands for the empty list
    return true;
}

bool EntryFile::Write(std::string bytes) {
    if (!platform::WriteFileAtomically(path_, bytes)) {
        return false;
    }
    stamp_ = platform::StampOf(path_);
    known_ = std::make_shared<const StoredLines>(std::move(bytes), codePage_);
    return true;
}

bool EntryFile::ChangedOnDisk() const {
    return !known_ || platform::StampOf(path_) != stamp_;
}

bool EntryFile::Follow(EntryList& list) {
    if (!ChangedOnDisk() || !ListShowsFile(list)) {
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
    known_ = std::make_shared<const StoredLines>(std::move(*bytes), codePage_);
    list.Assign(known_);
    return true;
}

bool EntryFile::ListShowsFile(const EntryList& list) const {
    if (!known_) {
        return list.Count() == 0;
    }
    // The file of an empty list holds one empty line.
    const bool emptied = known_->Count() == 1 && known_->Line(0).empty() && list.Count() == 0;
    return emptied || list.Untouched(known_->Count());
}

} // namespace corvantis::core
