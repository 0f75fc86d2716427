#include "core/settled_read.h"

#include <chrono>
#include <thread>

namespace corvantis::core {
namespace {

// A file whose size and time stay the same this long has settled: longer than the pauses of a
// slow writer (a network folder, a scanner in between) that writes a file in pieces.
constexpr auto kQuietTime = std::chrono::seconds(1);
// How often a read looks again at a file that has not settled, and for how long at most.
constexpr auto kSettlePoll = std::chrono::milliseconds(20);
constexpr auto kSettleWait = std::chrono::seconds(3);

// A file shorter than this copy knew it that ends inside a line: most likely cut short by a
// program that is rewriting it.
bool CutShort(std::string_view bytes, const std::string* known) {
    return known != nullptr && bytes.size() < known->size() && !bytes.empty() &&
           bytes.back() != '\n' && bytes.back() != '\r' && bytes.back() != '\0';
}

// A read that may hold part of a write: the file changed while it was read, or a program holds
// it open for writing.
bool MidWrite(const platform::FileContent& read) {
    return read.changedWhileRead || read.beingWritten;
}

} // namespace

bool Settled(const platform::FileContent& read, const std::string* same,
             const std::optional<platform::FileStamp>& seen) {
    if (MidWrite(read)) {
        return false;
    }
    if (same != nullptr && read.bytes == *same) {
        return true;
    }
    const bool replaced = seen && (seen->id != read.stamp.id || seen->volume != read.stamp.volume);
    return replaced ||
           (!platform::WrittenWithin(read.stamp, kQuietTime) && !CutShort(read.bytes, same));
}

std::optional<platform::FileContent>
ReadSettled(const std::function<platform::FileContent()>& readNow, const StoredLines* known,
            const std::optional<platform::FileStamp>& seen) {
    const std::string* same = known != nullptr ? &known->Bytes() : nullptr;
    const auto started = std::chrono::steady_clock::now();
    platform::FileContent read = readNow();
    auto quietSince = started;
    for (;;) {
        if (read.status != platform::ReadStatus::Read || Settled(read, same, seen)) {
            return read;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now - quietSince >= kQuietTime) {
            return read;
        }
        if (now - started >= kSettleWait) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(kSettlePoll);
        platform::FileContent again = readNow();
        if (MidWrite(again) || again.status != read.status || again.stamp != read.stamp) {
            quietSince = std::chrono::steady_clock::now();
        }
        read = std::move(again);
    }
}

std::optional<platform::FileContent> ReadSettled(const std::u16string& path,
                                                 const StoredLines* known,
                                                 const std::optional<platform::FileStamp>& seen) {
    return ReadSettled([&] { return platform::ReadFileContent(path); }, known, seen);
}

} // namespace corvantis::core
