#include "core/docking.h"

namespace corvantis::core {
namespace {

bool PointerInside(const platform::PixelPoint& p, const platform::PixelRect& r) {
    return r.left < p.x && p.x < r.right && r.top < p.y && p.y < r.bottom;
}

// Summed in single precision, the precision every position is held in.
float RightEdge(const DockInput& in) {
    return in.left + in.width;
}

DockAction Reveal(const DockInput& in) {
    if (in.top < 0) {
        return {.newTop = -kOverhangTwips, .show = true};
    }
    if (in.left < 0) {
        return {.newLeft = -kOverhangTwips, .show = true};
    }
    if (RightEdge(in) >= in.screenWidth) {
        const float left = in.screenWidth - in.width + kOverhangTwips;
        return {.newLeft = left, .show = true};
    }
    return {};
}

DockAction Hide(const DockInput& in) {
    if (in.rect.top <= kEdgeMarginPixels) {
        const float top = kVisibleStripTwips - in.height;
        return {.newTop = top};
    }
    if (in.rect.left <= kEdgeMarginPixels) {
        const float left = kVisibleStripTwips - in.width;
        return {.newLeft = left};
    }
    const float threshold = in.screenWidth - kRightMarginTwips;
    if (threshold <= RightEdge(in)) {
        const float left = in.screenWidth - kVisibleStripTwips;
        return {.newLeft = left};
    }
    return {};
}

} // namespace

DockAction DockStep(const DockInput& input) {
    if (input.minimised) {
        return {};
    }
    return PointerInside(input.pointer, input.rect) ? Reveal(input) : Hide(input);
}

DockAction DockReveal(const DockInput& input) {
    return input.minimised ? DockAction{} : Reveal(input);
}

} // namespace corvantis::core
