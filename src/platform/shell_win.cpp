#include "platform/shell_win.h"

#include <shellapi.h>

#include <deque>
#include <optional>
#include <utility>

namespace corvantis::platform {
namespace {

// The longest file the shell is given: Wine's shell fails from 995 characters on and takes the
// process down from 997; Windows' shell takes web addresses of up to 2,083
// (INTERNET_MAX_URL_LENGTH), and paths far shorter.
constexpr size_t kLongestShellFile = 960;
// The longest command line a program can be started with (CreateProcess), the spaces and quotes
// the shell puts around the file included.
constexpr size_t kLongestCommandLine = 32'767;
constexpr size_t kCommandLineFrame = 3;
// How much of a too-long target its message shows.
constexpr size_t kShownTargetUnits = 200;

bool FitsTheShell(const ShellOpening& opening) {
    return opening.file.size() <= kLongestShellFile &&
           opening.file.size() + opening.parameters.size() + kCommandLineFrame <=
               kLongestCommandLine;
}

// The system's text for `error`; empty when it has none.
std::wstring SystemText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result(text != nullptr ? text : L"", length);
    LocalFree(text);
    return result;
}

} // namespace

struct ShellLauncher::Shared {
    HWND owner = nullptr;
    std::wstring directory;
    std::wstring caption;
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE queued = CONDITION_VARIABLE_INIT;
    std::deque<Openings> requests; // guarded by `lock`
    bool stopping = false;         // guarded by `lock`
    bool opening = false;          // guarded by `lock`

    // The next request, once there is one; nullopt once the launcher is stopping.
    std::optional<Openings> Next() {
        AcquireSRWLockExclusive(&lock);
        opening = false;
        while (requests.empty() && !stopping) {
            SleepConditionVariableSRW(&queued, &lock, INFINITE, 0);
        }
        std::optional<Openings> next;
        opening = !stopping;
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
        if (!FitsTheShell(opening)) {
            TellTooLong(opening);
            return;
        }
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

    // As the shell tells of a file it cannot open: what was asked for, and why not.
    void TellTooLong(const ShellOpening& opening) const {
        std::wstring text = ToWide(std::u16string_view(opening.file).substr(0, kShownTargetUnits));
        text += opening.file.size() > kShownTargetUnits ? L"\x2026\r\n\r\n" : L"\r\n\r\n";
        text += SystemText(ERROR_FILENAME_EXCED_RANGE);
        MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
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
            for (const ShellOpening& opening : (*request)()) {
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

ShellLauncher::ShellLauncher(HWND owner, std::u16string directory, std::wstring caption)
    : shared_(std::make_shared<Shared>()) {
    shared_->owner = owner;
    shared_->directory = ToWide(directory);
    shared_->caption = std::move(caption);
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

void ShellLauncher::Open(Openings request) {
    if (thread_ == 0 || !request) {
        return;
    }
    AcquireSRWLockExclusive(&shared_->lock);
    shared_->requests.push_back(std::move(request));
    ReleaseSRWLockExclusive(&shared_->lock);
    WakeConditionVariable(&shared_->queued);
}

bool ShellLauncher::Busy() const {
    AcquireSRWLockShared(&shared_->lock);
    const bool busy = shared_->opening || !shared_->requests.empty();
    ReleaseSRWLockShared(&shared_->lock);
    return busy;
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
