#include "core/docking.h"

#include "platform/twips.h"

#include <algorithm>
#include <cstdint>

namespace corvantis::core {
namespace {

using platform::PixelPoint;
using platform::PixelRect;

bool PointerInside(const PixelPoint& p, const PixelRect& r) {
    return r.left < p.x && p.x < r.right && r.top < p.y && p.y < r.bottom;
}

bool Contains(const PixelRect& r, const PixelPoint& p) {
    return r.left <= p.x && p.x < r.right && r.top <= p.y && p.y < r.bottom;
}

std::int64_t OverlapArea(const PixelRect& a, const PixelRect& b) {
    const std::int64_t width = std::int64_t{std::min(a.right, b.right)} - std::max(a.left, b.left);
    const std::int64_t height = std::int64_t{std::min(a.bottom, b.bottom)} - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// How far apart two rectangles are, squared; 0 when they touch or overlap.
std::int64_t DistanceSquared(const PixelRect& a, const PixelRect& b) {
    const std::int64_t dx =
        std::max<std::int64_t>({0, std::int64_t{b.left} - a.right, std::int64_t{a.left} - b.right});
    const std::int64_t dy =
        std::max<std::int64_t>({0, std::int64_t{b.top} - a.bottom, std::int64_t{a.top} - b.bottom});
    return dx * dx + dy * dy;
}

// Whether the three spans [from, to) share a point.
bool SpansMeet(int from1, int to1, int from2, int to2, int from3, int to3) {
    return std::max({from1, from2, from3}) < std::min({to1, to2, to3});
}

// The monitor the window is on: the one it overlaps most, or for a window of no size the one
// that holds its corner; none when it is on no monitor at all.
std::optional<size_t> HomeOf(const DockInput& in) {
    std::optional<size_t> home;
    std::int64_t most = 0;
    for (size_t i = 0; i < in.monitors.size(); ++i) {
        const std::int64_t area = OverlapArea(in.rect, in.monitors[i]);
        if (area > most) {
            most = area;
            home = i;
        }
    }
    if (!home) {
        const PixelPoint corner{in.rect.left, in.rect.top};
        const auto holds = std::ranges::find_if(
            in.monitors, [&](const PixelRect& monitor) { return Contains(monitor, corner); });
        if (holds != in.monitors.end()) {
            home = static_cast<size_t>(holds - in.monitors.begin());
        }
    }
    return home;
}

// The window's monitor as the screen of the rules: its edges in pixels and in twips, and which
// of them are edges of the desktop where the window stands.
struct Screen {
    PixelRect pixels;
    float left;
    float top;
    float right;
    bool topIsEdge = true;
    bool leftIsEdge = true;
    bool rightIsEdge = true;
};

Screen ScreenOf(const DockInput& in, size_t home) {
    const PixelRect& m = in.monitors[home];
    const PixelRect& r = in.rect;
    Screen screen{m, platform::PixelsToTwips(m.left, in.dpi),
                  platform::PixelsToTwips(m.top, in.dpi), platform::PixelsToTwips(m.right, in.dpi)};
    for (size_t i = 0; i < in.monitors.size(); ++i) {
        const PixelRect& n = in.monitors[i];
        if (i == home) {
            continue;
        }
        if (n.bottom == m.top && SpansMeet(n.left, n.right, m.left, m.right, r.left, r.right)) {
            screen.topIsEdge = false;
        }
        if (n.right == m.left && SpansMeet(n.top, n.bottom, m.top, m.bottom, r.top, r.bottom)) {
            screen.leftIsEdge = false;
        }
        if (n.left == m.right && SpansMeet(n.top, n.bottom, m.top, m.bottom, r.top, r.bottom)) {
            screen.rightIsEdge = false;
        }
    }
    return screen;
}

// Summed in single precision, the precision every position is held in.
float RightEdge(const DockInput& in) {
    return in.left + in.width;
}

DockAction Reveal(const DockInput& in, const Screen& screen) {
    if (screen.topIsEdge && in.top < screen.top) {
        return {.newTop = screen.top - kOverhangTwips, .show = true};
    }
    if (screen.leftIsEdge && in.left < screen.left) {
        return {.newLeft = screen.left - kOverhangTwips, .show = true};
    }
    if (screen.rightIsEdge && RightEdge(in) >= screen.right) {
        const float left = screen.right - in.width + kOverhangTwips;
        return {.newLeft = left, .show = true};
    }
    return {};
}

DockAction Hide(const DockInput& in, const Screen& screen) {
    if (screen.topIsEdge && in.rect.top - screen.pixels.top <= kEdgeMarginPixels) {
        const float top = screen.top + kVisibleStripTwips - in.height;
        return {.newTop = top};
    }
    if (screen.leftIsEdge && in.rect.left - screen.pixels.left <= kEdgeMarginPixels) {
        const float left = screen.left + kVisibleStripTwips - in.width;
        return {.newLeft = left};
    }
    const float threshold = screen.right - kRightMarginTwips;
    if (screen.rightIsEdge && threshold <= RightEdge(in)) {
        const float left = screen.right - kVisibleStripTwips;
        return {.newLeft = left};
    }
    return {};
}

// A window on no monitor comes back wholly onto the nearest one, as far as it fits.
DockAction BringBack(const DockInput& in) {
    const auto nearest = std::ranges::min_element(in.monitors, {}, [&](const PixelRect& monitor) {
        return DistanceSquared(in.rect, monitor);
    });
    const auto twips = [&](int pixels) {
        return platform::PixelsToTwips(pixels, in.dpi);
    };
    const float left =
        std::max(twips(nearest->left), std::min(in.left, twips(nearest->right) - in.width));
    const float top =
        std::max(twips(nearest->top), std::min(in.top, twips(nearest->bottom) - in.height));
    return {.newLeft = left, .newTop = top, .show = true};
}

// The step shared by the tick and the summon: a window on no monitor is brought back, and one
// on a monitor is revealed (always with `reveal`, else while the pointer is over it) or hidden.
DockAction Dock(const DockInput& input, bool reveal) {
    if (input.minimised || input.monitors.empty()) {
        return {};
    }
    const std::optional<size_t> home = HomeOf(input);
    if (!home) {
        return BringBack(input);
    }
    const Screen screen = ScreenOf(input, *home);
    return reveal || PointerInside(input.pointer, input.rect) ? Reveal(input, screen)
                                                              : Hide(input, screen);
}

} // namespace

DockAction DockStep(const DockInput& input) {
    return Dock(input, false);
}

DockAction DockReveal(const DockInput& input) {
    return Dock(input, true);
}

} // namespace corvantis::core
