#include "platform/file_lock.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace corvantis::platform {
namespace {

namespace fs = std::filesystem;

TEST(FileLock, OneHolderAtATimeForAFileHoweverItIsReached) {
    using std::chrono::milliseconds;
    testing::TempDir dir;
    dir.Write("real.txt", "a\r\n");
    fs::create_directories(dir.Path("a"));
    fs::create_directories(dir.Path("b"));
    fs::create_symlink(dir.Path("real.txt"), dir.Path("a/data.txt"));
    fs::create_symlink(dir.Path("real.txt"), dir.Path("b/data.txt"));
    {
        const auto held = FileLock::Take(dir.Name("a/data.txt"), milliseconds(0));
        ASSERT_TRUE(held);
        EXPECT_FALSE(FileLock::Take(dir.Name("b/data.txt"), milliseconds(20)));
        EXPECT_FALSE(FileLock::Take(dir.Name("real.txt"), milliseconds(0)));
        EXPECT_TRUE(FileLock::Take(dir.Name("another.txt"), milliseconds(0)));
    }
    EXPECT_TRUE(FileLock::Take(dir.Name("b/data.txt"), milliseconds(0)));
    // Nothing is left beside the file once the lock is let go.
    EXPECT_EQ(dir.Entries(), 3u);

    // A holder that dies lets it go; the lock file it leaves is taken over.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        const auto held = FileLock::Take(dir.Name("a/data.txt"), milliseconds(0));
        (void)!write(ready[1], held ? "y" : "n", 1);
        pause();
        _exit(0);
    }
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');
    EXPECT_FALSE(FileLock::Take(dir.Name("b/data.txt"), milliseconds(20)));
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_TRUE(FileLock::Take(dir.Name("b/data.txt"), milliseconds(0)));
    close(ready[0]);
    close(ready[1]);
}

} // namespace
} // namespace corvantis::platform
