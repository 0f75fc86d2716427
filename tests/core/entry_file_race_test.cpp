// Saves racing other writers of the same file: other copies of the program, which take the lock,
// and a program that rewrites the file in place and takes none. Bounded rounds, no timing
// asserted: every round must keep what the rule says, however the race falls.

#include "core/entry_file.h"

#include "core/entry_list.h"
#include "platform/codepage.h"
#include "entry_file_races.h"
#include "file_and_list.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace corvantis::core {
namespace {

using testing::Load;
using testing::Save;

using testing::TempDir;
using Lines = std::vector<std::u16string>;

constexpr unsigned kWestern = 1252;

std::string FileOf(const Lines& lines) {
    std::string bytes;
    for (const auto& line : lines) {
        bytes += platform::EncodeUtf8(line) + "\r\n";
    }
    return bytes;
}

// "<before><n><after>".
std::u16string Numbered(std::u16string_view before, int n, std::u16string_view after = {}) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + n % 10));
        n /= 10;
    } while (n > 0);
    std::u16string line(before);
    line += digits;
    line += after;
    return line;
}

Lines LinesOf(const std::string& bytes) {
    return StoredLines(bytes, kWestern).Decode();
}

Lines Sorted(Lines lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

void WaitFor(int fd, size_t bytes) {
    char buffer[8];
    while (bytes > 0) {
        const ssize_t count = read(fd, buffer, std::min(bytes, sizeof buffer));
        if (count <= 0) {
            return;
        }
        bytes -= static_cast<size_t>(count);
    }
}

// A child that loads the file `name`, makes its change, says it is ready, waits for the start
// and saves: exit status 0 when the save succeeded.
pid_t StartCopy(const TempDir& dir, const std::string& name, int ready, int start, unsigned delayUs,
                void (*change)(EntryList&, int), int round) {
    const pid_t child = fork();
    if (child != 0) {
        return child;
    }
    EntryFile file(dir.Name(name), kWestern);
    EntryList list;
    Load(file, list);
    change(list, round);
    (void)!write(ready, "r", 1);
    WaitFor(start, 1);
    usleep(delayUs);
    _exit(Save(file, list) ? 0 : 1);
}

bool Saved(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(EntryFileRace, TwoCopiesSavingAtOnceKeepBothTheirChanges) {
    TempDir dir;
    Lines base;
    for (int i = 0; i < 20; ++i) {
        base.push_back(Numbered(u"k", i, u":t"));
    }
    int ready[2];
    int start[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(start), 0);
    std::mt19937 random(18);
    // Started together, and up to 10 ms and 50 ms apart; each through the same name, and through
    // two hard links to one file, which must stay one file.
    const unsigned spreadsUs[] = {1, 10'000, 50'000};
    std::filesystem::create_directory(dir.Path("two"));
    // A save through the other link waits out the quiet time of the first one's write in place.
    constexpr int kRounds = 200;
    constexpr int kLinkedRounds = 12;
    for (int round = 0; round < kRounds + kLinkedRounds; ++round) {
        dir.WriteSettled("data.txt", FileOf(base));
        const bool linked = round >= kRounds;
        std::filesystem::remove(dir.Path("two/data.txt"));
        if (linked) {
            std::filesystem::create_hard_link(dir.Path("data.txt"), dir.Path("two/data.txt"));
        }
        const unsigned spread = spreadsUs[round % std::size(spreadsUs)];
        const pid_t a = StartCopy(
            dir, "data.txt", ready[1], start[0], static_cast<unsigned>(random() % spread),
            [](EntryList& list, int n) {
                list.Remove(3);
                list.Insert(0, Numbered(u"a:", n));
            },
            round);
        const pid_t b = StartCopy(
            dir, linked ? "two/data.txt" : "data.txt", ready[1], start[0],
            static_cast<unsigned>(random() % spread),
            [](EntryList& list, int n) {
                list.Replace(10, Numbered(u"k10:", n));
                list.Insert(0, Numbered(u"b:", n));
            },
            round);
        WaitFor(ready[0], 2);
        ASSERT_EQ(write(start[1], "gg", 2), 2);
        const bool savedA = Saved(a);
        const bool savedB = Saved(b);
        ASSERT_TRUE(savedA && savedB) << "round " << round;
        Lines expected = base;
        expected[10] = Numbered(u"k10:", round);
        expected.erase(expected.begin() + 3);
        expected.push_back(Numbered(u"a:", round));
        expected.push_back(Numbered(u"b:", round));
        ASSERT_EQ(Sorted(LinesOf(dir.Read("data.txt"))), Sorted(expected)) << "round " << round;
        ASSERT_TRUE(!linked ||
                    std::filesystem::equivalent(dir.Path("data.txt"), dir.Path("two/data.txt")))
            << "round " << round << ": the links were split";
    }
    for (const int fd : {ready[0], ready[1], start[0], start[1]}) {
        close(fd);
    }
}

TEST(EntryFileRace, ASaveAgainstAnInPlaceWriterKeepsAWholeVersionAndItsChange) {
    TempDir dir;
    // The writer's version changes every tenth line of ours: a file cut short, or a mix of the
    // two, shows.
    Lines ours;
    Lines theirs;
    for (int i = 0; i < 100; ++i) {
        ours.push_back(Numbered(u"k", i, u":https://example.com/search?q={query}"));
        theirs.push_back(i % 10 == 0 ? Numbered(u"w", i, u":C:\\Tools\\writer") : ours.back());
    }
    const std::string theirBytes = FileOf(theirs);
    const auto holdsWhole = [](const Lines& lines, const Lines& version) {
        Lines left = Sorted(lines);
        for (const auto& line : version) {
            const auto found = std::lower_bound(left.begin(), left.end(), line);
            if (found == left.end() || *found != line) {
                return false;
            }
            left.erase(found);
        }
        return true;
    };
    std::mt19937 random(1800);
    constexpr size_t kPiece = 1024;
    constexpr int kRounds = 30; // each waits out the quiet time once the writer is done
    int saves = 0;
    for (int round = 0; round < kRounds; ++round) {
        dir.WriteSettled("data.txt", FileOf(ours));
        EntryFile file(dir.Name("data.txt"), kWestern);
        EntryList list;
        ASSERT_EQ(Load(file, list), LoadOutcome::Loaded);
        const std::u16string change = Numbered(u"ours:", round);
        list.Insert(0, change);
        const unsigned writerDelayUs = static_cast<unsigned>(random() % 3000);
        const unsigned saverDelayUs = static_cast<unsigned>(random() % 3000);
        const pid_t writer = fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            // As plain editors write: emptied, then written a piece at a time.
            usleep(writerDelayUs);
            const int fd = open(dir.Path("data.txt").c_str(), O_WRONLY | O_TRUNC);
            for (size_t done = 0; fd >= 0 && done < theirBytes.size(); done += kPiece) {
                (void)!write(fd, theirBytes.data() + done,
                             std::min(kPiece, theirBytes.size() - done));
                usleep(200);
            }
            _exit(0);
        }
        usleep(saverDelayUs);
        const bool saved = Save(file, list);
        waitpid(writer, nullptr, 0);
        const Lines written = list.Items();
        if (!saved) {
            ASSERT_EQ(written.front(), change) << "round " << round << ": the change was dropped";
            continue;
        }
        ++saves;
        ASSERT_EQ(std::count(written.begin(), written.end(), change), 1) << "round " << round;
        ASSERT_TRUE(holdsWhole(written, ours) || holdsWhole(written, theirs))
            << "round " << round << ": the save wrote " << written.size() << " lines";
        // The writer may still have rewritten the file after the save, in place.
        const std::string now = dir.Read("data.txt");
        ASSERT_TRUE(LinesOf(now) == written || now == theirBytes) << "round " << round;
    }
    EXPECT_GT(saves, 0);
}

// A program that writes the file in pieces without a lock, pausing between them or appending while
// the save runs: the save waits for it and keeps both its lines and ours. bench/ runs many rounds
// of each and counts losses.
TEST(EntryFileRace, ASaveWaitsForAWriterThatPausesOrAppendsAndKeepsBothSides) {
    using std::chrono::milliseconds;
    const struct {
        const char* what;
        bool (*round)(const TempDir&, std::mt19937&);
    } cases[] = {
        {"a writer pausing 60 ms",
         [](const TempDir& dir, std::mt19937& random) {
             return testing::PausedWriterRound(dir, milliseconds(60), random);
         }},
        {"a writer pausing 120 ms",
         [](const TempDir& dir, std::mt19937& random) {
             return testing::PausedWriterRound(dir, milliseconds(120), random);
         }},
        {"an append 0-1 ms into the save", testing::AppendRound},
    };
    constexpr int kRounds = 4;
    std::mt19937 random(27);
    for (const auto& c : cases) {
        TempDir dir;
        for (int round = 0; round < kRounds; ++round) {
            EXPECT_TRUE(c.round(dir, random)) << c.what << ", round " << round;
        }
    }
}

} // namespace
} // namespace corvantis::core
