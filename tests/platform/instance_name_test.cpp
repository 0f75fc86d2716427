#include "platform/instance_name.h"

#include <gtest/gtest.h>

namespace corvantis::platform {
namespace {

TEST(MutexName, OneNamePerFolderSpellingInTheSessionNamespace) {
    EXPECT_EQ(MutexName(0), u"Local\\Corvantis.0000000000000000");
    EXPECT_EQ(MutexName(0x0123456789ABCDEFULL), u"Local\\Corvantis.0123456789abcdef");
    EXPECT_EQ(MutexName(KeyOfSpelling(u"C:\\TOOLS\\CORVANTIS")),
              MutexName(KeyOfSpelling(u"C:\\TOOLS\\CORVANTIS")));
    EXPECT_NE(KeyOfSpelling(u"C:\\TOOLS\\CORVANTIS"), KeyOfSpelling(u"C:\\TOOLS\\CORVANTIS2"));
    EXPECT_NE(KeyOfSpelling(u"D:\\目录"), KeyOfSpelling(u"D:\\目錄"));
}

TEST(StateAfter, AccessDeniedMeansAnotherCopyHoldsTheFolder) {
    const struct {
        MutexCreation creation;
        bool openedToWait;
        LockState state;
    } cases[] = {
        {MutexCreation::Made, false, LockState::Waitable},
        {MutexCreation::AccessDenied, true, LockState::Waitable},
        {MutexCreation::AccessDenied, false, LockState::HeldElsewhere},
        {MutexCreation::Failed, false, LockState::Unlocked},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StateAfter(c.creation, c.openedToWait), c.state)
            << static_cast<int>(c.creation) << ' ' << c.openedToWait;
    }
}

} // namespace
} // namespace corvantis::platform
