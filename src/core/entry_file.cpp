#include "core/entry_file.h"

#include "core/settled_read.h"
#include "platform/codepage.h"
#include "platform/file_lock.h"

#include <algorithm>
#include <chrono>

namespace corvantis::core {
namespace {

// How long a save waits for another copy's save of the same file to end.
constexpr auto kLockWait = std::chrono::seconds(2);
// How often a save reads and merges again when a writer that takes no lock comes in between.
constexpr int kSaveAttempts = 3;
// A file emptied under this copy: it holds no line at all (it is empty, or a byte-order mark
// alone) where this copy knew some, most likely half-written by a program that rewrites it in
// place.
bool EmptiedUnder(const StoredLines& known, std::string_view bytes) {
    return known.Count() > 0 &&
           (bytes.empty() || bytes == kUtf8Bom || bytes == kUtf16LeBom || bytes == kUtf16BeBom);
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
    auto now = ReadSettled(path_, known_.get(), stamp_);
    if (!now || now->status != platform::ReadStatus::Read) {
        return std::nullopt;
    }
    return StoredLines(std::move(now->bytes), codePage_);
}

std::optional<std::string> EntryFile::ReadBytes() const {
    return platform::ReadFileBytes(path_);
}

Loaded EntryFile::Load() {
    // A write a crash cut short is finished before the file is read: it holds no whole version
    // until then.
    if (platform::CutShortWriteAt(path_)) {
        if (const auto lock = platform::FileLock::Take(path_, kLockWait)) {
            platform::FinishCutShortWrite(path_);
        }
    }
    auto now = ReadSettled(path_, known_.get(), stamp_);
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

SaveOutcome EntryFile::Save(const OwnLines& own) {
    // One saving copy at a time: between another's re-read and replace, a save of ours would
    // be lost.
    const auto lock = platform::FileLock::Take(path_, kLockWait);
    if (!lock) {
        return {std::nullopt, WriteFault::InUse};
    }
    if (!platform::FinishCutShortWrite(path_)) {
        return {std::nullopt, WriteFault::Other};
    }
    // What the list's changes are made to: the file as this copy knew it before the save.
    const KnownLines base = known_;
    std::unique_ptr<platform::SetAsideFile> late;
    std::optional<Saved> written; // once the file is replaced: what the list now shows
    for (int attempt = 0; attempt < kSaveAttempts; ++attempt) {
        std::optional<platform::FileContent> now;
        if (late) {
            // A writer went on writing the file this save replaced: once it is done, what it
            // wrote is merged again, over ours.
            now = ReadSettled([&] { return late->Read(); }, nullptr, std::nullopt);
            late.reset();
            if (!now || now->status != platform::ReadStatus::Read) {
                break; // it never came to an end: what it wrote went nowhere
            }
            now->stamp = stamp_.value_or(platform::FileStamp{});
        } else {
            now = ReadSettled(path_, known_.get(), stamp_);
        }
        if (!now) {
            break; // another program keeps writing it
        }
        if (now->status == platform::ReadStatus::Unreadable) {
            // What it holds cannot be known, so it is not replaced blindly.
            return {written, now->taken ? WriteFault::InUse : WriteFault::Other};
        }
        Saved saved;
        platform::Replace replace = SaveOver(base.get(), own, std::move(*now), saved);
        switch (replace.outcome) {
        case platform::ReplaceOutcome::Replaced:
            written = std::move(saved);
            if (!replace.late) {
                return {std::move(written)};
            }
            late = std::move(replace.late);
            break;
        case platform::ReplaceOutcome::Failed:
            return {std::move(written), replace.fault};
        case platform::ReplaceOutcome::Changed:
            break; // written by someone else since it was read: read and merge again
        }
    }
    return {std::move(written), WriteFault::InUse};
}

platform::Replace EntryFile::SaveOver(const StoredLines* known, const OwnLines& own,
                                      platform::FileContent now, Saved& saved) {
    const StoredLines none(std::string(), codePage_);
    const StoredLines& base = known != nullptr ? *known : none;
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
    // What the file holds already is not written again: an undone change closes even where the
    // file cannot be written.
    const bool same = !missing && bytes == (current ? current->Bytes() : now.bytes);
    platform::Replace outcome =
        same ? platform::Replace{platform::ReplaceOutcome::Replaced}
             : platform::ReplaceUnchanged(path_, bytes,
                                          missing ? std::nullopt
                                                  : std::optional<platform::FileStamp>(now.stamp));
    if (outcome == platform::ReplaceOutcome::Replaced) {
        Remember(std::move(bytes));
        // No lines are written as one empty line, which stands for the empty list.
        saved.lines = merged.empty() ? nullptr : known_;
    }
    return outcome;
}

std::optional<WriteFault> EntryFile::WriteEmpty() {
    const auto lock = platform::FileLock::Take(path_, kLockWait);
    if (!lock) {
        return WriteFault::InUse;
    }
    std::string bytes = EncodeEntryLines({}, codePage_);
    const platform::Replace replace = platform::ReplaceBytes(path_, bytes, nullptr);
    if (replace != platform::ReplaceOutcome::Replaced) {
        return replace.fault;
    }
    Remember(std::move(bytes));
    return std::nullopt;
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
    // A write in place is under way, or was cut short: the next load or save finishes it.
    if (!ChangedOnDisk() || platform::CutShortWriteAt(path_)) {
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
