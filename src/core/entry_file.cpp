#include "core/entry_file.h"

#include "platform/codepage.h"
#include "platform/file_lock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace corvantis::core {
namespace {

// How long a save waits for another copy's save of the same file to end.
constexpr auto kLockWait = std::chrono::seconds(2);
// How often a save reads and merges again when a writer that takes no lock comes in between.
constexpr int kSaveAttempts = 3;
// A file nobody wrote for this long, or two reads this far apart that agree, count as settled:
// far longer than the pauses of a program that writes a file in pieces.
constexpr auto kSettleMoment = std::chrono::milliseconds(50);
// How many moments a read waits for a file that keeps changing before it gives up.
constexpr int kSettleMoments = 20;

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

Loaded EntryFile::Load() {
    auto now = ReadSettled(path_, known_.get());
    unsettled_.reset();
    if (!now || now->status != platform::ReadStatus::Read) {
        const bool missing = now && now->status == platform::ReadStatus::Missing;
        known_ = missing ? std::make_shared<const StoredLines>(std::string(), codePage_) : nullptr;
        stamp_.reset();
        return {missing ? LoadOutcome::Missing : LoadOutcome::Unreadable, known_};
    }
    stamp_ = now->stamp;
    known_ = std::make_shared<const StoredLines>(std::move(now->bytes), codePage_);
    return {LoadOutcome::Loaded, known_};
}

std::optional<Saved> EntryFile::Save(const OwnLines& own) {
    // One saving copy at a time: between another's re-read and replace, a save of ours would
    // be lost.
    const auto lock = platform::FileLock::Take(path_, kLockWait);
    if (!lock) {
        return std::nullopt;
    }
    for (int attempt = 0; attempt < kSaveAttempts; ++attempt) {
        auto now = ReadSettled(path_, known_.get());
        if (!now || now->status == platform::ReadStatus::Unreadable) {
            return std::nullopt; // what it holds cannot be known, so it is not replaced blindly
        }
        Saved saved;
        switch (SaveOver(own, std::move(*now), saved)) {
        case platform::ReplaceOutcome::Replaced:
            return saved;
        case platform::ReplaceOutcome::Failed:
            return std::nullopt;
        case platform::ReplaceOutcome::Changed:
            break; // written by someone else since it was read: read and merge again
        }
    }
    return std::nullopt;
}

platform::ReplaceOutcome EntryFile::SaveOver(const OwnLines& own, platform::FileContent now,
                                             Saved& saved) {
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
    const std::vector<std::string_view> theirLines = theirs.Views();
    const std::vector<MergedLine> merged = MergeLines(base.Views(), own.origins, theirLines);

    // Lines of theirs are written as the bytes they were read as, ours (new and edited) from
    // their text. Ours, and theirs that we kept as read, stay the entries they were; a kept line
    // reads as the same text in theirs as in the base when both files are in one code page.
    const bool sameForm = base.CodePage() == theirs.CodePage();
    std::vector<LineToWrite> toWrite;
    toWrite.reserve(merged.size());
    saved.entryOf.reserve(merged.size());
    for (const MergedLine& line : merged) {
        if (line.ours) {
            toWrite.push_back({own.texts[line.index], std::nullopt});
            saved.entryOf.push_back(line.index);
        } else {
            toWrite.push_back({{}, theirLines[line.index], theirs.Form()});
            saved.entryOf.push_back(sameForm ? line.keptBy : kNoLine);
        }
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
        saved.lines = merged.empty() ? nullptr : known_;
    }
    return outcome;
}

bool EntryFile::WriteEmpty() {
    const auto lock = platform::FileLock::Take(path_, kLockWait);
    std::string bytes = EncodeEntryLines({}, codePage_);
    if (!lock || !platform::WriteFileAtomically(path_, bytes)) {
        return false;
    }
    Remember(std::move(bytes));
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

KnownLines EntryFile::Follow() {
    if (!ChangedOnDisk()) {
        return nullptr;
    }
    platform::FileContent now = platform::ReadFileContent(path_);
    if (now.status != platform::ReadStatus::Read) {
        return nullptr;
    }
    if (known_ && known_->Bytes() == now.bytes) {
        if (!now.changedWhileRead) {
            stamp_ = now.stamp; // touched, not changed
        }
        unsettled_.reset();
        return nullptr;
    }
    if (known_ && EmptiedUnder(*known_, now.bytes)) {
        unsettled_.reset();
        return nullptr; // emptied: shown as it was, as a save would write it back
    }
    // What the last call saw and did not take may have settled since.
    if (!Settled(now, unsettled_ ? &*unsettled_ : nullptr)) {
        unsettled_ = std::move(now.bytes);
        return nullptr;
    }
    unsettled_.reset();
    stamp_ = now.stamp;
    known_ = std::make_shared<const StoredLines>(std::move(now.bytes), codePage_);
    return known_;
}

} // namespace corvantis::core
