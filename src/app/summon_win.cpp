#include "app/summon_win.h"

#include "platform/handles_win.h"

namespace corvantis::app {
namespace {

constexpr wchar_t kSummonMessageName[] = L"Corvantis.Summon";

WPARAM KeyLow(std::uint64_t key) {
    return static_cast<WPARAM>(static_cast<std::uint32_t>(key));
}
LPARAM KeyHigh(std::uint64_t key) {
    return static_cast<LPARAM>(static_cast<std::uint32_t>(key >> 32));
}

// The summon message, registered by name; 0 (traced) when it cannot be registered.
UINT SummonMessage() {
    const UINT message = RegisterWindowMessageW(kSummonMessageName);
    if (message == 0) {
        platform::Trace(L"RegisterWindowMessageW failed: a later start cannot summon the launcher");
    }
    return message;
}

// Asks every launcher window until the one of `key`'s folder answers.
bool SummonLauncher(std::uint64_t key, const wchar_t* launcherClass) {
    const UINT message = SummonMessage();
    if (message == 0) {
        return false;
    }
    for (HWND window = FindWindowExW(nullptr, nullptr, launcherClass, nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, launcherClass, nullptr)) {
        // The launcher may come to the front, as this start would have.
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        AllowSetForegroundWindow(process);
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutW(window, message, KeyLow(key), KeyHigh(key), SMTO_ABORTIFHUNG,
                                kSummonAnswerMs, &answer) != 0 &&
            static_cast<LRESULT>(answer) == kSummonAnswered) {
            return true;
        }
    }
    return false;
}

} // namespace

void SummonListener::Listen(HWND window, std::uint64_t key) {
    key_ = key;
    message_ = SummonMessage();
    // A copy started without elevation may summon an elevated one.
    if (message_ != 0 && !ChangeWindowMessageFilterEx(window, message_, MSGFLT_ALLOW, nullptr)) {
        platform::Trace(L"ChangeWindowMessageFilterEx failed for the summon");
    }
}

Summons SummonListener::Whom(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (message_ == 0 || message != message_) {
        return Summons::None;
    }
    // A copy from another folder looks for its own launcher.
    const bool ours =
        static_cast<std::uint32_t>(wParam) == static_cast<std::uint32_t>(KeyLow(key_)) &&
        static_cast<std::uint32_t>(lParam) == static_cast<std::uint32_t>(KeyHigh(key_));
    return ours ? Summons::ThisLauncher : Summons::OtherFolder;
}

StartRole ClaimFolder(platform::InstanceLock& lock, const wchar_t* launcherClass) {
    const ULONGLONG deadline = GetTickCount64() + kSummonWaitMs;
    for (DWORD wait = 0;; wait = kSummonRetryMs) {
        if (lock.Own(wait)) {
            return StartRole::Run;
        }
        if (SummonLauncher(lock.Key(), launcherClass)) {
            return StartRole::Summoned;
        }
        if (GetTickCount64() >= deadline) {
            platform::Trace(L"the running copy's launcher did not answer the summon");
            return StartRole::NoAnswer;
        }
    }
}

} // namespace corvantis::app
