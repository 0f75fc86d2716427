#pragma once
// Rounds of a save racing a program that writes data.txt without any lock, as the unit tests run
// a few of them and bench/ counts losses over many. Each round answers whether every entry of
// both sides is in the file afterwards.

#include "core/entry_file.h"
#include "core/entry_list.h"
#include "file_and_list.h"
#include "temp_dir.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace corvantis::testing {

inline constexpr unsigned kRaceCodePage = 1252;

// The 29 entries of the file both sides start from, as "kw<i>:C:\Program Files\App<i>\app.exe".
inline std::string RaceFile() {
    std::string bytes;
    for (int i = 0; i < 29; ++i) {
        const std::string n = std::to_string(i);
        bytes += "kw" + n + ":C:\\Program Files\\App" + n + "\\app.exe\r\n";
    }
    return bytes;
}

// Whether the file holds every line of `lines`, each as a whole line.
inline bool HoldsLines(const std::string& file, const std::vector<std::string>& lines) {
    const core::StoredLines stored(file, kRaceCodePage);
    const auto read = stored.Views();
    return std::ranges::all_of(lines, [&](const std::string& line) {
        return std::ranges::find(read, std::string_view(line)) != read.end();
    });
}

inline std::vector<std::string> LinesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    const core::StoredLines stored(bytes, kRaceCodePage);
    for (const auto line : stored.Views()) {
        lines.emplace_back(line);
    }
    return lines;
}

// One round: this copy loads the file and adds "mine:x"; `writer`, in a child process, calls the
// function it is given once it has begun, and the save runs `saveAfter` later. True when the save
// succeeded and the file then holds "mine:x" and every line of `theirs`.
template <typename Writer>
bool RaceRound(const TempDir& dir, Writer&& writer, std::chrono::microseconds saveAfter,
               const std::string& theirs) {
    dir.WriteSettled("data.txt", RaceFile());
    core::EntryFile file(dir.Name("data.txt"), kRaceCodePage);
    core::EntryList list;
    Load(file, list);
    list.Insert(0, u"mine:x");
    int started[2];
    if (pipe(started) != 0) {
        return false;
    }
    const pid_t child = fork();
    if (child == 0) {
        writer([&] { (void)!write(started[1], "s", 1); });
        _exit(0);
    }
    char told = 0;
    (void)!read(started[0], &told, 1);
    std::this_thread::sleep_for(saveAfter);
    const bool saved = Save(file, list);
    waitpid(child, nullptr, 0);
    close(started[0]);
    close(started[1]);
    std::vector<std::string> expected = LinesOf(theirs);
    expected.push_back("mine:x");
    return saved && HoldsLines(dir.Read("data.txt"), expected);
}

// Another program empties the file and writes it anew (the same lines and "outside:y") in two
// pieces, `pause` apart; the save runs at a random moment from the emptying to a while after the
// second piece.
inline bool PausedWriterRound(const TempDir& dir, std::chrono::milliseconds pause,
                              std::mt19937& random) {
    const std::string theirs = RaceFile() + "outside:y\r\n";
    constexpr size_t kFirstPiece = 640;
    const auto path = dir.Path("data.txt");
    const auto writer = [&](auto tell) {
        const int fd = open(path.c_str(), O_WRONLY | O_TRUNC);
        tell();
        (void)!write(fd, theirs.data(), kFirstPiece);
        std::this_thread::sleep_for(pause);
        (void)!write(fd, theirs.data() + kFirstPiece, theirs.size() - kFirstPiece);
        close(fd);
    };
    const auto saveAfter = std::chrono::microseconds(
        random() % static_cast<unsigned>(std::chrono::microseconds(pause).count() * 3 / 2));
    return RaceRound(dir, writer, saveAfter, theirs);
}

// Another program appends a line without a line end in one write, 0-1 ms after the save began.
inline bool AppendRound(const TempDir& dir, std::mt19937& random) {
    constexpr std::string_view kAppended = "appended1:https://example.com/search?q={query}";
    const auto path = dir.Path("data.txt");
    const auto delay = std::chrono::microseconds(random() % 1000);
    const auto writer = [&](auto tell) {
        const int fd = open(path.c_str(), O_WRONLY | O_APPEND);
        tell();
        std::this_thread::sleep_for(delay);
        (void)!write(fd, kAppended.data(), kAppended.size());
        close(fd);
    };
    return RaceRound(dir, writer, std::chrono::microseconds(0),
                     RaceFile() + std::string(kAppended));
}

// Two copies reach one file through two hard links; each adds a line and they save up to 50 ms
// apart. True when both saved and the file, still one under both names, holds both lines.
inline bool TwoLinksRound(const TempDir& dir, std::mt19937& random) {
    namespace fs = std::filesystem;
    dir.WriteSettled("data.txt", RaceFile());
    fs::create_directories(dir.Path("two"));
    fs::remove(dir.Path("two/data.txt"));
    fs::create_hard_link(dir.Path("data.txt"), dir.Path("two/data.txt"));
    const auto copy = [&](const char* name, const char16_t* line, unsigned delayUs) {
        const pid_t child = fork();
        if (child == 0) {
            core::EntryFile file(dir.Name(name), kRaceCodePage);
            core::EntryList list;
            Load(file, list);
            list.Insert(0, line);
            usleep(delayUs);
            _exit(Save(file, list) ? 0 : 1);
        }
        return child;
    };
    const pid_t children[] = {copy("data.txt", u"one:x", random() % 50'000),
                              copy("two/data.txt", u"two:y", random() % 50'000)};
    bool saved = true;
    for (const pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        saved = saved && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return saved && fs::equivalent(dir.Path("data.txt"), dir.Path("two/data.txt")) &&
           HoldsLines(dir.Read("data.txt"), {"one:x", "two:y"});
}

} // namespace corvantis::testing
