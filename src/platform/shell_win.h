#pragma once
// Opening targets through the shell, on a thread of its own: a target whose look-up is slow (a
// network folder that does not answer) never holds up the window that asked for it, neither
// while the shell opens it nor while what it opens is worked out. Under Wine one wait stays: the
// file is opened (CreateFile, as the shell starts a program) by the wineserver, which every
// window of every Wine program waits on until a slow open ends; a look-up alone is the caller's.

#include "platform/handles_win.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corvantis::platform {

// One "open" of the shell: the file and the parameters handed to it (empty for none).
struct ShellOpening {
    std::u16string file;
    std::u16string parameters;
};

// Works out what one request opens; run on the launch thread, where looking up the files it names
// holds up nothing but the launches.
using Openings = std::function<std::vector<ShellOpening>()>;

// Opens requests one after another, each request's openings in their order, with the shell's
// "open" verb, shown normal, in `directory` as the working directory (a relative file is found
// there). A failure is the shell's to tell: its message is owned by `owner`, and the next
// opening follows once it is answered. An opening too long for the shell is not handed to it
// (Wine's shell breaks on a file of about a thousand characters): it fails as others do, with
// the system's word for it in a message owned by `owner` under `caption`.
class ShellLauncher : NoCopy {
public:
    ShellLauncher(HWND owner, std::u16string directory, std::wstring caption);
    // Drops what has not begun and lets the thread go without waiting for it: a shell call may
    // never return, and the process ending takes the thread with it.
    ~ShellLauncher();

    // Queues one request after the requests before it: once they are done, the launch thread
    // works out its openings and opens them.
    void Open(Openings request);

    // Whether the shell shows a window for an opening now (a message, a prompt).
    bool ShowsWindow() const;
    // Whether an opening is under way or waits its turn.
    bool Busy() const;
    // Whether `window` is one the shell shows for an opening.
    bool Shows(HWND window) const;

private:
    struct Shared;
    // The launch thread: opens what is queued until the launcher stops.
    static DWORD WINAPI Run(void* shared) noexcept;

    std::shared_ptr<Shared> shared_;
    DWORD thread_ = 0;
};

} // namespace corvantis::platform
