#include "platform/file.h"

#include "platform/codepage.h"
#include "platform/file_posix.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvantis::platform {
namespace {

std::string JournalOf(const std::string& target) {
    return target + std::string(kJournalSuffix);
}

// The journal's first line names the file it is for, as "<volume> <file number>": a journal
// left beside a name that now holds another file is not for it.
std::string JournalHeader(const struct stat& status) {
    return std::to_string(status.st_dev) + " " + std::to_string(status.st_ino) + "\n";
}

// Writes `bytes` over `target` from its start, cuts it there and flushes it.
bool Overwrite(const std::string& target, std::string_view bytes) {
    Descriptor file(open(target.c_str(), O_WRONLY | O_CLOEXEC));
    return file && ftruncate(file.get(), static_cast<off_t>(bytes.size())) == 0 &&
           WriteAll(file.get(), bytes) && file.Close();
}

} // namespace

Replace WriteInPlace(const std::string& target, std::string_view bytes) {
    struct stat status {};
    if (stat(target.c_str(), &status) != 0) {
        return {ReplaceOutcome::Failed, FaultOf(errno)};
    }
    // The journal is written whole under a name of its own, then named as the journal: one that
    // is there is whole.
    const std::string journal = JournalOf(target);
    const std::string temporary =
        target + "." + std::to_string(getpid()) + "-journal" + std::string(kTemporarySuffix);
    Descriptor file(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    const bool written = file && WriteAll(file.get(), JournalHeader(status)) &&
                         WriteAll(file.get(), bytes) && file.Close();
    if (!written || std::rename(temporary.c_str(), journal.c_str()) != 0) {
        const WriteFault fault = FaultOf(errno);
        std::remove(temporary.c_str());
        return {ReplaceOutcome::Failed, fault};
    }
    FlushFolder(FolderOf(target));
    if (!Overwrite(target, bytes)) {
        // The journal stays: the next save, or the next start, finishes the write from it.
        return {ReplaceOutcome::Failed, FaultOf(errno)};
    }
    std::remove(journal.c_str());
    RemoveStaleTemporaries(target);
    return {ReplaceOutcome::Replaced};
}

bool CutShortWriteAt(const std::u16string& path) {
    struct stat status {};
    return stat(JournalOf(FinalPath(EncodeUtf8(path))).c_str(), &status) == 0;
}

bool FinishCutShortWrite(const std::u16string& path) {
    const std::string target = FinalPath(EncodeUtf8(path));
    const std::string journal = JournalOf(target);
    const FileContent content = ReadFileContent(DecodeUtf8(journal));
    if (content.status == ReadStatus::Missing) {
        return true;
    }
    const size_t headerEnd = content.bytes.find('\n');
    struct stat status {};
    if (content.status != ReadStatus::Read || headerEnd == std::string::npos) {
        return false;
    }
    const std::string_view header(content.bytes.data(), headerEnd + 1);
    if (stat(target.c_str(), &status) == 0 && header == JournalHeader(status) &&
        !Overwrite(target, std::string_view(content.bytes).substr(headerEnd + 1))) {
        return false;
    }
    return std::remove(journal.c_str()) == 0;
}

} // namespace corvantis::platform
