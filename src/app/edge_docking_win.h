#pragma once
// Edge docking of a window, ticked by its timer: at each tick the window's place and the pointer
// are read afresh and the step of the portable rule is carried out.

#include <windows.h>

namespace corvantis::app {

class EdgeDocking {
public:
    // The timer that ticks the docking of `window`.
    explicit EdgeDocking(UINT_PTR timer) : timer_(timer) {}

    bool IsTick(WPARAM timer) const { return timer == timer_; }
    // Ticks from now on (traced when the timer cannot be set); stopped, the window stays put.
    void Start(HWND window) const;
    void Stop(HWND window) const { KillTimer(window, timer_); }
    // A summoned window stays in view while it is the active window, so that it can be typed
    // into: from the summon, if it is active then, or from its activation that follows.
    void Summoned(bool active) {
        summoned_ = true;
        held_ = active;
    }
    void Activated(bool active) {
        held_ = active && summoned_;
        summoned_ = summoned_ && active;
    }

    // Nothing moves while the window waits on a menu or message box of its own (`busy`): the
    // pointer is on that, not on the window.
    void Tick(HWND window, unsigned dpi, bool busy) const;
    // The tick's reveal, as if the pointer were over the window: a docked window comes back into
    // view.
    static void Reveal(HWND window, unsigned dpi);

private:
    UINT_PTR timer_;
    bool held_ = false;
    bool summoned_ = false;
};

} // namespace corvantis::app
