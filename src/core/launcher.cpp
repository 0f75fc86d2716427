#include "core/launcher.h"

#include "core/resolve.h"
#include "platform/environment.h"

namespace corvantis::core {

Launcher::Launcher(std::u16string folder, EntryFile file)
    : folder_(std::move(folder)), file_(std::move(file)) {}

LoadOutcome Launcher::Load() {
    return file_.Load(entries_);
}

std::vector<Launch> Launcher::Resolve(std::u16string_view request) const {
    const std::optional<std::u16string> query = SplitRequest(request).query;
    const VariableLookup variable = platform::EnvironmentVariable;
    const NameLookup names = [this](std::u16string_view name) {
        return platform::FindName(name, folder_);
    };
    std::vector<Launch> launches;
    ResolveRequest(file_, request, [&](std::u16string_view target) {
        launches.push_back(LaunchOf(target, query, variable, names));
    });
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
    if (!entries_.Names(index)) {
        return std::nullopt;
    }
    changed_ = true;
    return EditOpening{entries_.IdOf(index), SplitEntryLine(entries_.Item(index))};
}

bool Launcher::Delete(int index) {
    if (!entries_.Names(index)) {
        return false;
    }
    entries_.Remove(index);
    changed_ = true;
    return true;
}

bool Launcher::DeleteAll() {
    return file_.Empty(entries_);
}

void Launcher::Reload() {
    if (entries_.Count() == 0) {
        file_.Load(entries_);
    } else if (const auto stored = file_.Read()) {
        entries_.Append(stored->Decode());
    }
}

bool Launcher::Save() {
    return file_.Save(entries_);
}

CloseOutcome Launcher::Close() {
    if (!changed_) {
        return CloseOutcome::End;
    }
    // The program ends once the list is written: no view needs to show the list as written.
    EntryListView* const view = entries_.SetView(nullptr);
    if (file_.Save(entries_)) {
        return CloseOutcome::End;
    }
    entries_.SetView(view);
    return CloseOutcome::KeepRunning;
}

bool Launcher::Tick() {
    return file_.Follow(entries_);
}

} // namespace corvantis::core
