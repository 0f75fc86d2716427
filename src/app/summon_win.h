#pragma once
// Starting the program again summons the copy that already runs on the same data.txt (from the
// same folder) instead of opening a second window: the later start asks that copy's launcher,
// with a registered message that carries the folder's key, to show itself, and ends. Copies in
// other folders have other keys and run side by side.

#include "platform/instance_lock_win.h"

#include <windows.h>

#include <cstdint>

namespace corvantis::app {

// How long a later start waits for the running copy's launcher to answer (it may still be
// starting), how often it looks, and how long one launcher may take to answer.
inline constexpr ULONGLONG kSummonWaitMs = 10'000;
inline constexpr DWORD kSummonRetryMs = 100;
inline constexpr UINT kSummonAnswerMs = 2'000;

// What a launcher answers to a summon that names its folder; any other answer means "not me".
inline constexpr LRESULT kSummonAnswered = 0x5343;

enum class Summons {
    None,         // the message is no summon
    OtherFolder,  // a summon of the launcher of another folder
    ThisLauncher, // a summon of this folder's launcher
};

// The running launcher's ear for summons.
class SummonListener {
public:
    // From now on `window` hears the summons of the folder of `key`.
    void Listen(HWND window, std::uint64_t key);
    Summons Whom(UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    UINT message_ = 0;
    std::uint64_t key_ = 0;
};

enum class StartRole {
    Run,      // this start owns the folder: it runs
    Summoned, // the running copy's launcher has shown itself: this start ends
    NoAnswer, // a copy owns the folder but its launcher does not answer
};

// Owns the folder's lock, or has the running copy's launcher (a window of the class
// `launcherClass`) show itself. A copy that ends meanwhile lets go of the lock, and this start
// then runs.
StartRole ClaimFolder(platform::InstanceLock& lock, const wchar_t* launcherClass);

} // namespace corvantis::app
