#include "platform/shell_win.h"

#include <shellapi.h>

#include <deque>
#include <optional>
#include <utility>

namespace corvantis::platform {

struct ShellLauncher::Shared {
    HWND owner = nullptr;
    std::wstring directory;
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE queued = CONDITION_VARIABLE_INIT;
    std::deque<std::vector<ShellOpening>> requests; // guarded by `lock`
    bool stopping = false;                          // guarded by `lock`

    // The next request, once there is one; nullopt once the launcher is stopping.
    std::optional<std::vector<ShellOpening>> Next() {
        AcquireSRWLockExclusive(&lock);
        while (requests.empty() && !stopping) {
            SleepConditionVariableSRW(&queued, &lock, INFINITE, 0);
        }
        std::optional<std::vector<ShellOpening>> next;
        if (!stopping) {
            next = std::move(requests.front());
            requests.pop_front();
        }
        ReleaseSRWLockExclusive(&lock);
        return next;
    }

    bool Stopping() {
        AcquireSRWLockShared(&lock);
        const bool stop = stopping;
        ReleaseSRWLockShared(&lock);
        return stop;
    }

    void Open(const ShellOpening& opening) const {
        const std::wstring file = ToWide(opening.file);
        const std::wstring parameters = ToWide(opening.parameters);
        SHELLEXECUTEINFOW open{};
        open.cbSize = sizeof open;
        // No SEE_MASK_FLAG_NO_UI: a target that cannot be opened is the shell's to tell.
        open.hwnd = owner;
        open.lpVerb = L"open";
        open.lpFile = file.c_str();
        open.lpParameters = parameters.c_str();
        open.lpDirectory = directory.c_str();
        open.nShow = SW_SHOWNORMAL;
        if (!ShellExecuteExW(&open)) {
            Trace(L"ShellExecuteExW could not open a target");
        }
    }
};

DWORD WINAPI ShellLauncher::Run(void* parameter) noexcept {
    // The thread holds the shared state for as long as it runs, which may outlast the launcher.
    const std::unique_ptr<std::shared_ptr<Shared>> owned(
        static_cast<std::shared_ptr<Shared>*>(parameter));
    Shared& shared = **owned;
    // As ShellExecuteEx asks of its callers: an apartment, without OLE1's DDE.
    const ComScope com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    try {
        while (auto request = shared.Next()) {
            for (const ShellOpening& opening : *request) {
                if (shared.Stopping()) {
                    return 0;
                }
                shared.Open(opening);
            }
        }
    } catch (const std::bad_alloc&) {
        Trace(L"out of memory: the launches stop");
    }
    return 0;
}

ShellLauncher::ShellLauncher(HWND owner, std::u16string directory)
    : shared_(std::make_shared<Shared>()) {
    shared_->owner = owner;
    shared_->directory = ToWide(directory);
    auto* handed = new std::shared_ptr<Shared>(shared_);
    const UniqueHandle thread(CreateThread(nullptr, 0, Run, handed, 0, &thread_));
    if (!thread) {
        delete handed;
        thread_ = 0;
        Trace(L"CreateThread failed: nothing can be launched");
    }
}

ShellLauncher::~ShellLauncher() {
    AcquireSRWLockExclusive(&shared_->lock);
    shared_->stopping = true;
    shared_->requests.clear();
    ReleaseSRWLockExclusive(&shared_->lock);
    WakeConditionVariable(&shared_->queued);
}

void ShellLauncher::Open(std::vector<ShellOpening> openings) {
    if (thread_ == 0 || openings.empty()) {
        return;
    }
    AcquireSRWLockExclusive(&shared_->lock);
    shared_->requests.push_back(std::move(openings));
    ReleaseSRWLockExclusive(&shared_->lock);
    WakeConditionVariable(&shared_->queued);
}

bool ShellLauncher::Shows(HWND window) const {
    return thread_ != 0 && GetWindowThreadProcessId(window, nullptr) == thread_;
}

bool ShellLauncher::ShowsWindow() const {
    if (thread_ == 0) {
        return false;
    }
    bool shown = false;
    EnumThreadWindows(
        thread_,
        [](HWND window, LPARAM found) noexcept -> BOOL {
            *reinterpret_cast<bool*>(found) = IsWindowVisible(window) != FALSE;
            return !*reinterpret_cast<bool*>(found);
        },
        reinterpret_cast<LPARAM>(&shown));
    return shown;
}

} // namespace corvantis::platform
