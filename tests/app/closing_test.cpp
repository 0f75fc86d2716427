#include "app/closing.h"

#include "store/entry_file.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace corvantis::app {
namespace {

TEST(CloseLauncher, WritesOnlyAChangedListAndEndsOnlyWhenNothingIsLost) {
    const struct {
        int listChanged;
        bool saveSucceeds;
        bool saved;
        CloseOutcome outcome;
    } cases[] = {
        {0, true, false, CloseOutcome::End},
        {0, false, false, CloseOutcome::End}, // an unwritable file does not matter unchanged
        {1, true, true, CloseOutcome::End},
        {1, false, true, CloseOutcome::KeepRunning},
    };
    for (const auto& c : cases) {
        store::Pubstr pubstr;
        pubstr.ListChanged = c.listChanged;
        bool saved = false;
        const auto outcome = CloseLauncher(pubstr, [&] {
            saved = true;
            return c.saveSucceeds;
        });
        EXPECT_EQ(saved, c.saved) << c.listChanged << c.saveSucceeds;
        EXPECT_EQ(outcome, c.outcome) << c.listChanged << c.saveSucceeds;
    }
}

TEST(CloseLauncher, KeepsTheOldFileWholeWhenTheWriteFails) {
    testing::TempDir dir;
    const std::vector<std::u16string> list{u"new:entry"};
    store::Pubstr pubstr;
    pubstr.ListChanged = 1;
    // A folder in the file's place cannot be replaced, like a file another program holds.
    std::filesystem::create_directories(dir.Path("data.txt") / "kept");
    const auto outcome = CloseLauncher(
        pubstr, [&] { return store::SaveEntryFile(dir.Name("data.txt"), list, 936); });
    EXPECT_EQ(outcome, CloseOutcome::KeepRunning);
    EXPECT_TRUE(std::filesystem::exists(dir.Path("data.txt") / "kept"));

    const auto written = CloseLauncher(
        pubstr, [&] { return store::SaveEntryFile(dir.Name("other.txt"), list, 936); });
    EXPECT_EQ(written, CloseOutcome::End);
    EXPECT_EQ(dir.Read("other.txt"), "new:entry\r\n");
}

} // namespace
} // namespace corvantis::app
