#pragma once
// Edge docking of the launcher window: on every timer tick the window is hidden at the top, left
// or right screen edge, all but a thin strip, while the pointer is elsewhere, and comes back when
// the pointer enters that strip. The step keeps no state: everything follows from the window's
// position, read afresh at each tick.
//
// The window system reports the pointer and the window rectangle in pixels, while positions and
// sizes are single-precision twips; each margin is compared in its own unit, as below.

#include "platform/geometry.h"

#include <optional>

namespace corvantis::core {

inline constexpr unsigned kDockTickMs = 500;
// A window whose rectangle's top (left) is at most this many pixels lies at the top (left) edge.
inline constexpr int kEdgeMarginPixels = 4;
// A window whose right edge, Left + Width, is at least the screen width minus this many twips
// lies at the right edge.
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
    float screenWidth = 0; // twips
    bool minimised = false;
};

// What one tick does: at most one coordinate changes, and only a reveal shows the window (a hide
// only moves it).
struct DockAction {
    std::optional<float> newLeft;
    std::optional<float> newTop;
    bool show = false;

    bool operator==(const DockAction&) const = default;
};

// Pointer strictly inside the rectangle (its left column and top row count as outside): the
// first of these that applies, Top < 0, Left < 0, Left + Width >= screen width, brings the window
// back to 10 twips past that edge and shows it. Pointer outside: the first of rectangle top <= 4
// px, rectangle left <= 4 px, Left + Width >= screen width - 4 twips hides the window at that edge
// with 40 twips left on the screen. Top before left before right, so a corner docks at the top.
// A minimised window is left alone; the bottom edge has no rule.
DockAction DockStep(const DockInput& input);

// The step's reveal whatever the pointer: what summoning the launcher does to a docked window.
DockAction DockReveal(const DockInput& input);

} // namespace corvantis::core
