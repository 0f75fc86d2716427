#include "core/closing.h"

#include "core/entry_file.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace corvantis::core {
namespace {

TEST(CloseLauncher, WritesOnlyAChangedListAndEndsOnlyWhenNothingIsLost) {
    const struct {
        bool listChanged;
        bool saveSucceeds;
        bool saved;
        CloseOutcome outcome;
    } cases[] = {
        {false, true, false, CloseOutcome::End},
        {false, false, false, CloseOutcome::End}, // an unwritable file does not matter unchanged
        {true, true, true, CloseOutcome::End},
        {true, false, true, CloseOutcome::KeepRunning},
    };
    for (const auto& c : cases) {
        LauncherState state;
        state.listChanged = c.listChanged;
        bool saved = false;
        const auto outcome = CloseLauncher(state, [&] {
            saved = true;
            return c.saveSucceeds;
        });
        EXPECT_EQ(saved, c.saved) << c.listChanged << c.saveSucceeds;
        EXPECT_EQ(outcome, c.outcome) << c.listChanged << c.saveSucceeds;
    }
}

TEST(CloseLauncher, KeepsTheOldFileWholeWhenTheWriteFails) {
    testing::TempDir dir;
    EntryList list;
    list.Append({u"new:entry"});
    LauncherState state;
    state.listChanged = true;
    // A folder in the file's place cannot be replaced, like a file another program holds.
    std::filesystem::create_directories(dir.Path("data.txt") / "kept");
    const auto outcome =
        CloseLauncher(state, [&] { return EntryFile(dir.Name("data.txt"), 936).Save(list); });
    EXPECT_EQ(outcome, CloseOutcome::KeepRunning);
    EXPECT_TRUE(std::filesystem::exists(dir.Path("data.txt") / "kept"));

    const auto written =
        CloseLauncher(state, [&] { return EntryFile(dir.Name("other.txt"), 936).Save(list); });
    EXPECT_EQ(written, CloseOutcome::End);
    EXPECT_EQ(dir.Read("other.txt"), "new:entry\r\n");
}

} // namespace
} // namespace corvantis::core
