#include "core/launcher.h"

#include "platform/environment.h"
#include "platform/file.h"

namespace corvantis::core {

Launcher::Launcher(std::u16string folder, EntryFile file)
    : folder_(std::move(folder)), file_(std::move(file)) {}

LoadOutcome Launcher::Load() {
    Loaded loaded = file_.Load();
    entries_.Assign(std::move(loaded.lines));
    return loaded.outcome;
}

Matched Launcher::Match(std::u16string_view text) const {
    Request request = SplitRequest(text);
    const std::optional<std::string> bytes = file_.ReadBytes();
    if (!bytes) {
        return {{}, {}, folder_}; // a file that cannot be read opens nothing
    }
    return {MatchTargets(*bytes, file_.CodePage(), request.keyword), std::move(request.query),
            folder_};
}

std::vector<Launch> Resolve(const Matched& matched) {
    const VariableLookup variable = platform::EnvironmentVariable;
    const NameLookup names = [&matched](std::u16string_view name) {
        return platform::FindName(name, matched.folder);
    };
    std::vector<Launch> launches;
    for (const std::u16string& target : matched.targets) {
        launches.push_back(LaunchOf(target, matched.query, variable, names));
    }
    return launches;
}

void Launcher::Add(std::u16string_view line) {
    entries_.Insert(0, line);
    changed_ = true;
}

void Launcher::Edit(EntryList::Id id, std::u16string_view line) {
    if (const std::optional<int> index = entries_.IndexOf(id)) {
        entries_.Replace(*index, line);
        changed_ = true;
    } else {
        Add(line);
    }
}

std::optional<EditOpening> Launcher::OpenEdit(int index) {
    if (!entries_.HasItem(index)) {
        return std::nullopt;
    }
    changed_ = true;
    return EditOpening{entries_.IdOf(index), SplitEntryLine(entries_.Item(index))};
}

bool Launcher::Delete(int index) {
    if (!entries_.HasItem(index)) {
        return false;
    }
    entries_.Remove(index);
    changed_ = true;
    return true;
}

std::optional<WriteFault> Launcher::DeleteAll() {
    const std::optional<WriteFault> fault = file_.WriteEmpty();
    if (!fault) {
        entries_.Assign(nullptr); // the one empty line stands for the empty list
    }
    return fault;
}

void Launcher::Reload() {
    if (entries_.Count() == 0) {
        Load();
    } else if (const auto stored = file_.Read()) {
        entries_.Append(stored->Decode());
    }
}

SaveOutcome Launcher::Write() {
    const std::vector<std::u16string_view> texts = entries_.OwnTexts();
    return file_.Save({entries_.Origins(), texts});
}

std::optional<WriteFault> Launcher::Save() {
    const SaveOutcome outcome = Write();
    if (!outcome.saved) {
        return outcome.fault;
    }
    entries_.Assign(outcome.saved->lines, outcome.saved->entryOf);
    return std::nullopt;
}

std::optional<WriteFault> Launcher::Close() {
    if (!changed_) {
        return std::nullopt;
    }
    // The program ends once the list is written: the list need not show what was written.
    const SaveOutcome outcome = Write();
    return outcome.saved ? std::nullopt : std::optional(outcome.fault);
}

bool Launcher::WriteCopy(const std::u16string& path) const {
    return platform::WriteNewFile(path, EncodeEntryLines(entries_.Items(), file_.CodePage()));
}

bool Launcher::FollowFile() {
    // A list with changes of its own keeps them until they are saved.
    if (!entries_.ShowsUnchanged(file_.Known())) {
        return false;
    }
    KnownLines now = file_.Follow();
    if (!now) {
        return false;
    }
    entries_.Assign(std::move(now));
    return true;
}

} // namespace corvantis::core
