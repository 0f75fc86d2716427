#include "platform/file.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace corvantis::platform {
namespace {

namespace fs = std::filesystem;

TEST(WriteFileAtomically, AWriteKilledAtAnyMomentLeavesTheOldFileOrTheNewWhole) {
    const std::string versions[] = {std::string(300'000, 'a') + "\r\n",
                                    std::string(200'000, 'b') + "\r\n"};
    // A lone file is replaced; one that a second link names is written in place, and the next
    // save or start finishes a write a crash cut short.
    for (const bool linked : {false, true}) {
        testing::TempDir dir;
        const std::u16string path = dir.Write("data.txt", versions[0]);
        if (linked) {
            fs::create_hard_link(dir.Path("data.txt"), dir.Path("link.txt"));
        }
        std::mt19937 random(7);
        for (int run = 0; run < 60; ++run) {
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                for (int i = 0;; ++i) {
                    WriteFileAtomically(path, versions[i % 2]);
                }
            }
            usleep(static_cast<useconds_t>(random() % 20'000));
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            ASSERT_TRUE(FinishCutShortWrite(path));
            const std::string now = dir.Read("data.txt");
            ASSERT_TRUE(now == versions[0] || now == versions[1]) << "run " << run;
            ASSERT_TRUE(!linked || (fs::equivalent(dir.Path("data.txt"), dir.Path("link.txt")) &&
                                    dir.Read("link.txt") == now))
                << "run " << run;
        }
        // The next write removes what the killed writers left.
        ASSERT_TRUE(WriteFileAtomically(path, versions[0]));
        EXPECT_EQ(dir.Entries(), linked ? 2u : 1u);
        EXPECT_EQ(dir.Read("data.txt"), versions[0]);
    }
}

TEST(WriteFileAtomically, KeepsTheFilesIdentity) {
    testing::TempDir dir;
    dir.Write("real.txt", "old\r\n");
    fs::create_symlink(dir.Path("real.txt"), dir.Path("data.txt"));
    fs::permissions(dir.Path("real.txt"), fs::perms::owner_read | fs::perms::owner_write);
    // A temporary of a writer that is still running is not ours to remove.
    const std::string running = "real.txt." + std::to_string(getppid()) + "-0.corvantis.tmp";
    dir.Write(running, "in progress");

    ASSERT_TRUE(WriteFileAtomically(dir.Name("data.txt"), "new\r\n"));
    EXPECT_TRUE(fs::is_symlink(dir.Path("data.txt")));
    EXPECT_EQ(dir.Read("real.txt"), "new\r\n");
    EXPECT_EQ(fs::status(dir.Path("real.txt")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(fs::exists(dir.Path(running)));
}

TEST(ReplaceUnchanged, ReplacesOnlyTheFileThatWasRead) {
    testing::TempDir dir;
    const std::u16string path = dir.Write("data.txt", "old\r\n");
    const auto read = StampOf(path);
    ASSERT_TRUE(read);
    // Another file put in its place, of the same size and time: its number tells it apart.
    dir.Write("other.txt", "new\r\n");
    fs::last_write_time(dir.Path("other.txt"), fs::last_write_time(dir.Path("data.txt")));
    fs::rename(dir.Path("other.txt"), dir.Path("data.txt"));
    EXPECT_NE(StampOf(path), read);
    EXPECT_EQ(ReplaceUnchanged(path, "ours\r\n", read), ReplaceOutcome::Changed);
    EXPECT_EQ(dir.Read("data.txt"), "new\r\n");
    // Rewritten in place.
    const auto before = StampOf(path);
    dir.Write("data.txt", "newer\r\n");
    EXPECT_EQ(ReplaceUnchanged(path, "ours\r\n", before), ReplaceOutcome::Changed);
    EXPECT_EQ(ReplaceUnchanged(path, "ours\r\n", StampOf(path)), ReplaceOutcome::Replaced);
    EXPECT_EQ(dir.Read("data.txt"), "ours\r\n");
    // Expected gone, but there; expected there, but gone.
    EXPECT_EQ(ReplaceUnchanged(path, "x\r\n", std::nullopt), ReplaceOutcome::Changed);
    const auto last = StampOf(path);
    fs::remove(dir.Path("data.txt"));
    EXPECT_EQ(ReplaceUnchanged(path, "x\r\n", last), ReplaceOutcome::Changed);
    EXPECT_FALSE(fs::exists(dir.Path("data.txt")));
    EXPECT_EQ(ReplaceUnchanged(path, "x\r\n", std::nullopt), ReplaceOutcome::Replaced);
    EXPECT_EQ(dir.Read("data.txt"), "x\r\n");
    EXPECT_EQ(dir.Entries(), 1u);
}

} // namespace
} // namespace corvantis::platform
