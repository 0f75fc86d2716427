#pragma once
// The name that the copies started from one folder share for their lock, and what a start makes
// of its try at that lock.

#include <cstdint>
#include <string>
#include <string_view>

namespace corvantis::platform {

// A key for a folder, given in the one spelling that all its spellings share (long names, in
// capitals): FNV-1a, 64 bits, over the UTF-16 code units.
std::uint64_t KeyOfSpelling(std::u16string_view spelling);

// The name of the folder's mutex, in the session's namespace.
std::u16string MutexName(std::uint64_t key);

// What CreateMutexW did with the name.
enum class MutexCreation {
    Made,         // created or opened: a handle to wait on
    AccessDenied, // the mutex exists, made by a copy of higher rights (run as administrator)
    Failed,       // anything else
};

enum class LockState {
    Waitable,      // this start has the mutex and waits on it for its turn
    HeldElsewhere, // another copy holds the mutex, and this start cannot wait on it
    Unlocked,      // no mutex at all: the start runs without looking for another copy
};

// A mutex this start was denied may still be opened for waiting alone (`openedToWait`); when it
// cannot be, the copy that made it holds the folder all the same.
LockState StateAfter(MutexCreation creation, bool openedToWait);

} // namespace corvantis::platform
