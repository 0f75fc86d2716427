#include "core/entry_file.h"

#include "platform/codepage.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace corvantis::core {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// How long a save waits for another copy's save of the same file to end.
constexpr auto kLockWait = std::chrono::seconds(2);
// How often a save reads and merges again when a writer that takes no lock comes in between.
constexpr int kSaveAttempts = 3;
// A file nobody wrote for this long, or two reads this far apart that agree, count as settled:
// far longer than the pauses of a program that writes a file in pieces.
constexpr auto kSettleMoment = std::chrono::milliseconds(50);
// How many moments a read waits for a file that keeps changing before it gives up.
constexpr int kSettleMoments = 20;

unsigned FileCodePage(TextForm form, unsigned codePage) {
    return form == TextForm::CodePage ? codePage : platform::kCodePageUtf8;
}

bool IsAscii(std::string_view bytes) {
    return platform::FirstNonAscii(bytes) == bytes.size();
}

// The text an untouched line was read as: its bytes decoded as the file it came from reads them.
std::u16string TextOfStored(const LineToWrite& line, unsigned codePage) {
    const unsigned fileCodePage = FileCodePage(line.storedForm, codePage);
    return platform::DecodeCodePage(*line.stored, LineCodePage(*line.stored, fileCodePage));
}

// Whether an untouched line's bytes read back as its text in a file of `form`, as long as that
// file stays in its form (which EncodeLines checks once the file is whole).
bool KeepsBytes(const LineToWrite& line, TextForm form, unsigned codePage) {
    const std::string_view bytes = *line.stored;
    if (IsAscii(bytes)) {
        return true; // the same text in every form
    }
    const bool fromCodePage = line.storedForm == TextForm::CodePage;
    switch (form) {
    case TextForm::CodePage:
        // A line of a code-page file reads the same in any other; a UTF-8 one only when the code
        // page would not read it first.
        return fromCodePage ||
               (platform::IsValidUtf8(bytes) && !platform::IsValidInCodePage(bytes, codePage));
    case TextForm::Utf8:
        return platform::IsValidUtf8(bytes) &&
               (!fromCodePage || LineCodePage(bytes, codePage) == platform::kCodePageUtf8);
    case TextForm::Utf8Bom:
        return (!fromCodePage || LineCodePage(bytes, codePage) == platform::kCodePageUtf8) ||
               platform::DecodeUtf8(bytes) == TextOfStored(line, codePage);
    }
    return false;
}

// A file of the code page whose bytes have become valid UTF-8 as a whole reads as UTF-8: right
// only when none of its lines is code-page text that is not ASCII.
bool HoldsCodePageText(std::span<const LineToWrite> lines, unsigned codePage) {
    return std::ranges::any_of(lines, [&](const LineToWrite& line) {
        if (!line.stored) {
            const auto bytes = platform::EncodeCodePage(line.text, codePage);
            return bytes && !IsAscii(*bytes);
        }
        return line.storedForm == TextForm::CodePage && !IsAscii(*line.stored) &&
               LineCodePage(*line.stored, codePage) == codePage;
    });
}

// A file emptied under this copy: it holds no line at all (it is empty, or a byte-order mark
// alone) where this copy knew some, most likely half-written by a program that rewrites it in
// place.
bool EmptiedUnder(const StoredLines& known, std::string_view bytes) {
    return known.Count() > 0 && (bytes.empty() || bytes == kUtf8Bom);
}

// A read to be taken as it is: nothing wrote the file while it was read, and either nobody wrote
// it for a moment or it holds `same` (when given), what was seen before.
bool Settled(const platform::FileContent& read, const std::string* same) {
    return !read.changedWhileRead && (!platform::WrittenWithin(read.stamp, kSettleMoment) ||
                                      (same != nullptr && read.bytes == *same));
}

// The file as it stands once it has settled; nullopt when it kept changing. A file has settled
// when it holds what this copy knows it held whole, when nobody wrote it for a moment, or when
// two reads a moment apart agree: a file that a program is rewriting in place (emptied, then
// written in pieces) is never taken half-written.
std::optional<platform::FileContent> ReadSettled(const std::u16string& path,
                                                 const StoredLines* known) {
    platform::FileContent read = platform::ReadFileContent(path);
    for (int moment = 0;; ++moment) {
        if (read.status != platform::ReadStatus::Read) {
            return read;
        }
        if (Settled(read, known != nullptr ? &known->Bytes() : nullptr)) {
            return read;
        }
        if (moment == kSettleMoments) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(kSettleMoment);
        platform::FileContent again = platform::ReadFileContent(path);
        if (again.status == platform::ReadStatus::Read && !again.changedWhileRead &&
            again.bytes == read.bytes) {
            return again;
        }
        read = std::move(again);
    }
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
        bool notAscii = false; // some line holds more than ASCII
        for (const LineToWrite& line : lines) {
            if (line.stored && KeepsBytes(line, form, codePage)) {
                out += *line.stored;
                out += kLineEnd;
                notAscii = notAscii || !IsAscii(*line.stored);
                continue;
            }
            // Never decoded with another code page than the line was read with.
            const std::u16string decoded =
                line.stored ? TextOfStored(line, codePage) : std::u16string();
            const std::u16string_view text = line.stored ? decoded : line.text;
            if (form != TextForm::CodePage) {
                out += platform::EncodeUtf8(text);
            } else if (auto bytes = platform::EncodeCodePage(text, codePage)) {
                out += *bytes;
                notAscii = notAscii || !IsAscii(*bytes);
            } else {
                fits = false;
                break;
            }
            out += kLineEnd;
        }
        // Only UTF-8 with a byte-order mark holds every line, and only it reads back as written
        // bytes that begin with the mark's, or code-page text in a file that is all valid UTF-8.
        const auto readsBackAsWritten = [&] {
            return !out.starts_with(kUtf8Bom) &&
                   !(form == TextForm::CodePage && notAscii && platform::IsValidUtf8(out) &&
                     HoldsCodePageText(lines, codePage));
        };
        if (form != TextForm::Utf8Bom && (!fits || !readsBackAsWritten())) {
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
    auto now = ReadSettled(path_, known_.get());
    if (!now || now->status != platform::ReadStatus::Read) {
        return std::nullopt;
    }
    return StoredLines(std::move(now->bytes), codePage_);
}

std::optional<std::string> EntryFile::ReadBytes() const {
    return platform::ReadFileBytes(path_);
}

LoadOutcome EntryFile::Load(EntryList& list) {
    auto now = ReadSettled(path_, known_.get());
    unsettled_.reset();
    if (!now || now->status != platform::ReadStatus::Read) {
        const bool missing = now && now->status == platform::ReadStatus::Missing;
        known_ = missing ? std::make_shared<const StoredLines>(std::string(), codePage_) : nullptr;
        stamp_.reset();
        list.Assign(known_);
        return missing ? LoadOutcome::Missing : LoadOutcome::Unreadable;
    }
    stamp_ = now->stamp;
    known_ = std::make_shared<const StoredLines>(std::move(now->bytes), codePage_);
    list.Assign(known_);
    return LoadOutcome::Loaded;
}

bool EntryFile::Save(EntryList& list) {
    // One saving copy at a time: between another's re-read and replace, a save of ours would
    // be lost.
    const auto lock = platform::FileLock::Take(path_, kLockWait);
    if (!lock) {
        return false;
    }
    for (int attempt = 0; attempt < kSaveAttempts; ++attempt) {
        auto now = ReadSettled(path_, known_.get());
        if (!now || now->status == platform::ReadStatus::Unreadable) {
            return false; // what it holds cannot be known, so it is not replaced blindly
        }
        switch (SaveOver(list, std::move(*now))) {
        case platform::ReplaceOutcome::Replaced:
            return true;
        case platform::ReplaceOutcome::Failed:
            return false;
        case platform::ReplaceOutcome::Changed:
            break; // written by someone else since it was read: read and merge again
        }
    }
    return false;
}

platform::ReplaceOutcome EntryFile::SaveOver(EntryList& list, platform::FileContent now) {
    const StoredLines none(std::string(), codePage_);
    const StoredLines& base = known_ ? *known_ : none;
    const bool missing = now.status == platform::ReadStatus::Missing;
    // Most often nobody else wrote the file since: then what it holds is the base. A file that
    // went away holds no outside change to carry over, and neither does one emptied under this
    // copy: the list is written whole.
    std::optional<StoredLines> current;
    if (!missing && now.bytes != base.Bytes() && !EmptiedUnder(base, now.bytes)) {
        current.emplace(std::move(now.bytes), codePage_);
    }
    const StoredLines& theirs = current ? *current : base;
    const std::vector<std::string_view> baseLines = base.Views();
    const std::vector<std::string_view> theirLines = theirs.Views();
    const std::vector<MergedLine> merged = MergeLines(baseLines, list.Origins(), theirLines);

    // Lines of theirs are written as the bytes they were read as, ours (new and edited) from
    // their text. Ours, and theirs that we kept as read, keep the list's ids; a kept line reads
    // as the same text in theirs as in the base when both files are in one code page.
    const bool sameForm = base.CodePage() == theirs.CodePage();
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
    // New lines go in the file's own code page, which may not be the system's (a GBK file
    // where the system's is UTF-8).
    const unsigned fileCodePage =
        theirs.Form() == TextForm::CodePage ? theirs.CodePage() : codePage_;
    std::string bytes = EncodeLines(toWrite, theirs.Form(), fileCodePage);
    const auto outcome = platform::ReplaceUnchanged(
        path_, bytes, missing ? std::nullopt : std::optional<platform::FileStamp>(now.stamp));
    if (outcome == platform::ReplaceOutcome::Replaced) {
        Remember(std::move(bytes));
        // No lines are written as one empty line, which stands for the empty list.
        list.Assign(merged.empty() ? nullptr : known_, ids);
    }
    return outcome;
}

bool EntryFile::Empty(EntryList& list) {
    const auto lock = platform::FileLock::Take(path_, kLockWait);
    std::string bytes = EncodeEntryLines({}, codePage_);
    if (!lock || !platform::WriteFileAtomically(path_, bytes)) {
        return false;
    }
    Remember(std::move(bytes));
    list.Assign(nullptr); // the one empty line stands for the empty list
    return true;
}

void EntryFile::Remember(std::string bytes) {
    stamp_ = platform::StampOf(path_);
    known_ = std::make_shared<const StoredLines>(std::move(bytes), codePage_);
    unsettled_.reset();
}

bool EntryFile::ChangedOnDisk() const {
    return !known_ || platform::StampOf(path_) != stamp_;
}

bool EntryFile::Follow(EntryList& list) {
    if (!ChangedOnDisk() || !ListShowsFile(list)) {
        return false;
    }
    platform::FileContent now = platform::ReadFileContent(path_);
    if (now.status != platform::ReadStatus::Read) {
        return false;
    }
    if (known_ && known_->Bytes() == now.bytes) {
        if (!now.changedWhileRead) {
            stamp_ = now.stamp; // touched, not changed
        }
        unsettled_.reset();
        return false;
    }
    if (known_ && EmptiedUnder(*known_, now.bytes)) {
        unsettled_.reset();
        return false; // emptied: shown as it was, as a save would write it back
    }
    // What the last call saw and did not take may have settled since.
    if (!Settled(now, unsettled_ ? &*unsettled_ : nullptr)) {
        unsettled_ = std::move(now.bytes);
        return false;
    }
    unsettled_.reset();
    stamp_ = now.stamp;
    known_ = std::make_shared<const StoredLines>(std::move(now.bytes), codePage_);
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
