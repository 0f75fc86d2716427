#pragma once
// Edge docking of the launcher window: on every timer tick the window is hidden at the top, left
// or right edge of the desktop, all but a thin strip, while the pointer is elsewhere, and comes
// back when the pointer enters that strip. The step keeps no state: everything follows from the
// window's position, the pointer and the monitors, read afresh at each tick.
//
// The window docks against the monitor it is on (the one it overlaps most): that monitor's whole
// rectangle plays the part of the screen. An edge of it counts only where it is an edge of the
// desktop: where another monitor adjoins it along the window's span, the window stands across
// it freely. A window on no monitor at all (its monitor went away, or its resolution was
// lowered) is brought back wholly onto the nearest one.
//
// The window system reports the pointer, the window rectangle and the monitors in pixels, while
// positions and sizes are single-precision twips; each margin is compared in its own unit, as
// below.

#include "platform/geometry.h"

#include <optional>
#include <vector>

namespace corvantis::core {

inline constexpr unsigned kDockTickMs = 500;
// A window whose rectangle's top (left) is at most this many pixels below (right of) its
// monitor's lies at the top (left) edge.
inline constexpr int kEdgeMarginPixels = 4;
// A window whose right edge, Left + Width, is at least its monitor's right edge minus this many
// twips lies at the right edge.
inline constexpr float kRightMarginTwips = 4.0f;
// How much of a hidden window stays on the screen.
inline constexpr float kVisibleStripTwips = 40.0f;
// How far a revealed window reaches past the screen edge.
inline constexpr float kOverhangTwips = 10.0f;

struct DockInput {
    platform::PixelPoint pointer; // screen pixels
    platform::PixelRect rect;     // the window's outer rectangle, screen pixels
    float left = 0;               // the window's Left, Top, Width and Height in twips
    float top = 0;
    float width = 0;
    float height = 0;
    // Every monitor's whole rectangle in screen pixels, the primary first; none when they could
    // not be read, and then nothing moves.
    std::vector<platform::PixelRect> monitors;
    unsigned dpi = 96; // of the monitor the window is on: twips from its pixels
    bool minimised = false;
};

// What one tick does: a docking rule changes at most one coordinate, and only a reveal shows the
// window (a hide only moves it); bringing a lost window back moves both and shows it.
struct DockAction {
    std::optional<float> newLeft;
    std::optional<float> newTop;
    bool show = false;

    bool operator==(const DockAction&) const = default;
};

// Pointer strictly inside the rectangle (its left column and top row count as outside): the
// first of these that applies, Top above the monitor's top, Left left of its left, Left + Width
// at or past its right, brings the window back to 10 twips past that edge and shows it. Pointer
// outside: the first of rectangle top <= monitor top + 4 px, rectangle left <= monitor left
// + 4 px, Left + Width >= monitor right - 4 twips hides the window at that edge with 40 twips
// left on the monitor. Top before left before right, so a corner docks at the top; each only at
// an edge of the desktop. A minimised window is left alone; the bottom edge has no rule.
DockAction DockStep(const DockInput& input);

// The step's reveal whatever the pointer: what summoning the launcher does to a docked window.
DockAction DockReveal(const DockInput& input);

} // namespace corvantis::core
