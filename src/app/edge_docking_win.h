#pragma once
// Edge docking of a window, ticked by its timer: at each tick the window's place and the pointer
// are read afresh and the step of the portable rule is carried out.

#include <windows.h>

namespace corvantis::app {

class EdgeDocking {
public:
    // The timer that ticks the docking of `window`, and whatever else the window does each tick.
    explicit EdgeDocking(UINT_PTR timer) : timer_(timer) {}

    bool IsTick(WPARAM timer) const { return timer == timer_; }
    // Ticks from now on (traced when the timer cannot be set); stopped, the window stays put.
    void Start(HWND window) const;
    void Stop(HWND window) const { KillTimer(window, timer_); }
    // Held, the ticks leave the window where it is: a summoned launcher that stays active can be
    // typed into.
    void Hold(bool held) { held_ = held; }

    void Tick(HWND window, unsigned dpi) const;
    // The tick's reveal, as if the pointer were over the window: a docked window comes back into
    // view.
    static void Reveal(HWND window, unsigned dpi);

private:
    UINT_PTR timer_;
    bool held_ = false;
};

} // namespace corvantis::app
