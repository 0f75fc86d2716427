#include "core/docking.h"

#include "platform/twips.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>
#include <utility>

namespace corvantis::core {

// Failures show what a tick did, not its bytes.
void PrintTo(const DockAction& action, std::ostream* out) {
    *out << "{left " << (action.newLeft ? std::to_string(*action.newLeft) : "-") << ", top "
         << (action.newTop ? std::to_string(*action.newTop) : "-")
         << (action.show ? ", shown}" : "}");
}

namespace {

using platform::PixelPoint;
using platform::PixelRect;
using platform::PixelsToTwips;
using platform::TwipsToPixels;

// ---------------------------------------------------------------------------------------------
// Docking step

constexpr int kScreenPx = 1920;
constexpr int kScreenHeightPx = 1080;
constexpr int kWindowWidthPx = 300;
constexpr int kWindowHeightPx = 400;
const PixelPoint kFarAway{kScreenPx / 2, kScreenHeightPx - 1};
const PixelRect kScreen{0, 0, kScreenPx, kScreenHeightPx};

// The launcher window as the window system holds it: position and size in twips.
struct Window {
    float left;
    float top;
    float width;
    float height;
};

// Both DPIs run every case: the pixel margins and the rectangle come from the twips through the
// screen's resolution, as on a real screen.
class DockingTest : public ::testing::TestWithParam<unsigned> {
protected:
    unsigned Dpi() const { return GetParam(); }
    float Twips(int pixels) const { return PixelsToTwips(pixels, Dpi()); }
    float ScreenWidth() const { return Twips(kScreenPx); }
    float Width() const { return Twips(kWindowWidthPx); }
    float Height() const { return Twips(kWindowHeightPx); }

    // A window of the standard size whose rectangle starts at the given pixels.
    Window AtPixels(int left, int top) const {
        return {Twips(left), Twips(top), Width(), Height()};
    }

    PixelRect Rect(const Window& w) const {
        return {TwipsToPixels(w.left, Dpi()), TwipsToPixels(w.top, Dpi()),
                TwipsToPixels(w.left + w.width, Dpi()), TwipsToPixels(w.top + w.height, Dpi())};
    }

    PixelPoint Centre(const Window& w) const {
        const PixelRect r = Rect(w);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    DockInput Input(const Window& w, PixelPoint pointer, bool minimised = false) const {
        return {pointer, Rect(w), w.left, w.top, w.width, w.height, {kScreen}, Dpi(), minimised};
    }

    DockAction Step(const Window& w, PixelPoint pointer) const {
        return DockStep(Input(w, pointer));
    }

    // One tick applied to the window; the action is returned for inspection.
    DockAction Tick(Window& w, PixelPoint pointer) const {
        const DockAction action = Step(w, pointer);
        w.left = action.newLeft.value_or(w.left);
        w.top = action.newTop.value_or(w.top);
        return action;
    }

    DockAction HideTop() const { return {.newTop = 40 - Height()}; }
    DockAction HideLeft() const { return {.newLeft = 40 - Width()}; }
    DockAction HideRight() const { return {.newLeft = ScreenWidth() - 40}; }
    DockAction RevealTop() const { return {.newTop = -10.0f, .show = true}; }
    DockAction RevealLeft() const { return {.newLeft = -10.0f, .show = true}; }
    DockAction RevealRight() const {
        return {.newLeft = ScreenWidth() - Width() + 10, .show = true};
    }
};

std::string DpiName(const ::testing::TestParamInfo<unsigned>& info) {
    return std::to_string(info.param) + "dpi";
}

INSTANTIATE_TEST_SUITE_P(Resolutions, DockingTest, ::testing::Values(96u, 144u), DpiName);

TEST_P(DockingTest, TopAndLeftEdgesLieWithinFourPixelsOfTheScreen) {
    struct Case {
        bool top; // else the left edge
        int px;   // the rectangle's top or left
        bool hides;
    };
    const Case cases[] = {{true, 3, true},    {true, 4, true},   {true, 0, true},
                          {true, -50, true},  {true, 5, false},  {true, 200, false},
                          {false, 3, true},   {false, 4, true},  {false, 0, true},
                          {false, -50, true}, {false, 5, false}, {false, 200, false}};
    for (const Case& c : cases) {
        const Window w = c.top ? AtPixels(500, c.px) : AtPixels(c.px, 300);
        const DockAction hidden = c.top ? HideTop() : HideLeft();
        EXPECT_EQ(Step(w, kFarAway), c.hides ? hidden : DockAction{})
            << (c.top ? "top " : "left ") << c.px;
    }
}

TEST_P(DockingTest, RightEdgeLiesWithinFourTwipsOfTheScreenWidth) {
    struct Case {
        float gapTwips; // screen width - (Left + Width)
        bool hides;
    };
    const Case cases[] = {{4, true}, {3, true}, {0, true}, {-600, true}, {5, false}, {30, false}};
    for (const Case& c : cases) {
        Window w = AtPixels(0, 300);
        w.left = ScreenWidth() - c.gapTwips - w.width;
        EXPECT_EQ(Step(w, kFarAway), c.hides ? HideRight() : DockAction{}) << "gap " << c.gapTwips;
    }
}

TEST_P(DockingTest, RightMarginIsInTwipsNotPixels) {
    // Two pixels from the left edge docks; two pixels short of the right edge is 20 or 30 twips,
    // far more than the right margin.
    EXPECT_EQ(Step(AtPixels(2, 300), kFarAway), HideLeft());
    EXPECT_EQ(Step(AtPixels(kScreenPx - 2 - kWindowWidthPx, 300), kFarAway), DockAction{});
}

TEST_P(DockingTest, PointerOnTheRectanglesBorderCountsAsOutside) {
    const Window w = AtPixels(500, 0); // at the top edge: hides whenever the pointer is outside
    const PixelRect r = Rect(w);
    const int midX = (r.left + r.right) / 2;
    const int midY = (r.top + r.bottom) / 2;
    const PixelPoint outside[] = {{midX, r.top},     {r.left, midY},     {r.right, midY},
                                  {midX, r.bottom},  {r.left, r.top},    {r.left - 1, midY},
                                  {midX, r.top - 1}, {r.right + 1, midY}};
    for (const PixelPoint& p : outside) {
        EXPECT_EQ(Step(w, p), HideTop()) << p.x << "," << p.y;
    }
    // Just inside, no reveal rule applies to a window fully on the screen.
    const PixelPoint inside[] = {{r.left + 1, r.top + 1}, {r.right - 1, r.bottom - 1}};
    for (const PixelPoint& p : inside) {
        EXPECT_EQ(Step(w, p), DockAction{}) << p.x << "," << p.y;
    }
}

TEST_P(DockingTest, DockedWindowHidesRevealsAndHidesAgainAtEachEdge) {
    struct Case {
        const char* edge;
        Window start;
        PixelPoint inStrip; // a pixel of the strip left on the screen once hidden
        DockAction hide;
        DockAction reveal;
    };
    const Case cases[] = {
        {"top", AtPixels(500, 0), {650, 1}, HideTop(), RevealTop()},
        {"left", AtPixels(0, 300), {1, 450}, HideLeft(), RevealLeft()},
        {"right",
         AtPixels(kScreenPx - kWindowWidthPx, 300),
         {kScreenPx - 1, 450},
         HideRight(),
         RevealRight()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edge);
        Window w = c.start;
        EXPECT_EQ(Tick(w, kFarAway), c.hide);
        EXPECT_EQ(Tick(w, kFarAway), c.hide) << "a hidden window stays hidden";
        EXPECT_EQ(Tick(w, c.inStrip), c.reveal);
        EXPECT_EQ(Tick(w, c.inStrip), c.reveal) << "reapplied while the pointer stays inside";
        EXPECT_EQ(Tick(w, kFarAway), c.hide);
    }
}

TEST_P(DockingTest, HiddenWindowKeepsFortyTwipsOnTheScreen) {
    Window top = AtPixels(500, 2);
    Tick(top, kFarAway);
    EXPECT_EQ(top.top + top.height, 40.0f);

    Window left = AtPixels(1, 300);
    Tick(left, kFarAway);
    EXPECT_EQ(left.left + left.width, 40.0f);

    Window right = AtPixels(kScreenPx - kWindowWidthPx, 300);
    Tick(right, kFarAway);
    EXPECT_EQ(ScreenWidth() - right.left, 40.0f);
}

TEST_P(DockingTest, HiddenAtRightWithPointerInsideRevealsTenTwipsPastTheEdge) {
    Window w = AtPixels(0, 300);
    w.left = ScreenWidth() - 40;
    const DockAction action = Step(w, {kScreenPx - 1, Centre(w).y});
    ASSERT_TRUE(action.newLeft.has_value());
    EXPECT_EQ(*action.newLeft, ScreenWidth() - Width() + 10);
    EXPECT_FALSE(action.newTop.has_value());
    EXPECT_TRUE(action.show);
}

TEST_P(DockingTest, CornerWindowDocksAtTheTopOnly) {
    const Window corners[] = {AtPixels(0, 0), AtPixels(2, 3),
                              AtPixels(kScreenPx - kWindowWidthPx, 0)};
    for (Window w : corners) {
        SCOPED_TRACE(w.left);
        const float left = w.left;
        EXPECT_EQ(Tick(w, kFarAway), HideTop());
        EXPECT_EQ(Tick(w, {Centre(w).x, 1}), RevealTop());
        EXPECT_EQ(w.top, -10.0f);
        EXPECT_EQ(w.left, left) << "revealed with Left unchanged";
    }
}

TEST_P(DockingTest, MinimisedWindowIsLeftAlone) {
    Window hiddenTop = AtPixels(500, 0);
    hiddenTop.top = 40 - hiddenTop.height;
    const struct {
        Window w;
        PixelPoint pointer;
    } cases[] = {
        {AtPixels(500, 0), kFarAway},                          // would hide at the top
        {AtPixels(0, 300), kFarAway},                          // would hide at the left
        {AtPixels(kScreenPx - kWindowWidthPx, 300), kFarAway}, // would hide at the right
        {hiddenTop, {650, 1}},                                 // would reveal
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DockStep(Input(c.w, c.pointer, /*minimised=*/true)), DockAction{});
    }
}

TEST_P(DockingTest, WindowAtNoEdgeNeverMoves) {
    const Window windows[] = {
        AtPixels(5, 5), AtPixels(800, 300), AtPixels(kScreenPx - kWindowWidthPx - 1, 5),
        AtPixels(800, kScreenHeightPx - 100), // past the bottom edge, which has no rule
    };
    for (const Window& w : windows) {
        const PixelRect r = Rect(w);
        for (PixelPoint p : {Centre(w), PixelPoint{0, 0}, PixelPoint{r.left, r.top}, kFarAway}) {
            EXPECT_EQ(Step(w, p), DockAction{})
                << "window at " << r.left << "," << r.top << " pointer " << p.x << "," << p.y;
        }
    }
}

TEST_P(DockingTest, RevealPullsADraggedPastWindowBackToTheOverhang) {
    Window pastTop = AtPixels(800, -150);
    Window pastLeft = AtPixels(-200, 300);
    Window pastRight = AtPixels(kScreenPx - 100, 300);
    EXPECT_EQ(Tick(pastTop, Centre(pastTop)), RevealTop());
    EXPECT_EQ(Tick(pastLeft, Centre(pastLeft)), RevealLeft());
    EXPECT_EQ(Tick(pastRight, {kScreenPx - 50, 450}), RevealRight());
    // Past the top and the left at once: the top rule alone.
    Window pastCorner = AtPixels(-100, -100);
    EXPECT_EQ(Tick(pastCorner, Centre(pastCorner)), RevealTop());
}

TEST_P(DockingTest, EachTickMovesOneCoordinateAndOnlyARevealShows) {
    // Every window on the screen; one wholly off it is brought back (see the monitor table).
    for (int left = 1 - kWindowWidthPx; left < kScreenPx; left += 37) {
        for (int top = 1 - kWindowHeightPx; top < kScreenHeightPx; top += 41) {
            const Window w = AtPixels(left, top);
            for (PixelPoint p : {Centre(w), kFarAway, PixelPoint{1, 1}}) {
                const DockInput in = Input(w, p);
                const DockAction action = DockStep(in);
                ASSERT_FALSE(action.newLeft && action.newTop) << left << "," << top;
                const bool inside = in.rect.left < p.x && p.x < in.rect.right &&
                                    in.rect.top < p.y && p.y < in.rect.bottom;
                ASSERT_EQ(action.show, inside && (action.newLeft || action.newTop))
                    << left << "," << top;
            }
        }
    }
}

// A window at `left`, `top` in twips of the usual size, on one screen of 28,800 twips across.
DockInput Placed(float left, float top, unsigned dpi = 96) {
    DockInput in;
    in.left = left;
    in.top = top;
    in.width = 4500;
    in.height = 6000;
    in.monitors = {{0, 0, TwipsToPixels(28800, dpi), TwipsToPixels(16200, dpi)}};
    in.dpi = dpi;
    return in;
}

TEST(DockStepTest, FailedReadsLeaveZerosAndTheStepGoesOn) {
    // Zeroed pointer and rectangle: the pointer is outside and the rectangle's top is 0.
    EXPECT_EQ(DockStep(Placed(3000, 3000)), (DockAction{.newTop = 40.0f - 6000.0f}));
}

TEST(DockStepTest, TopMarginIsInPixelsSoItDependsOnTheResolution) {
    // Top = 60 twips is 4 pixels at 96 dpi (docked) but 6 pixels at 144 dpi (free).
    for (const auto& [dpi, docks] : {std::pair{96u, true}, std::pair{144u, false}}) {
        DockInput in = Placed(6000, 60, dpi);
        in.rect = {TwipsToPixels(in.left, dpi), TwipsToPixels(in.top, dpi),
                   TwipsToPixels(in.left + in.width, dpi), TwipsToPixels(in.top + in.height, dpi)};
        in.pointer = {0, 1000};
        const DockAction expected = docks ? DockAction{.newTop = 40.0f - 6000.0f} : DockAction{};
        EXPECT_EQ(DockStep(in), expected) << dpi << " dpi";
    }
}

TEST(DockStepTest, RightEdgeSumsAreTakenInSinglePrecision) {
    // 16777215 + 0.75 is 16777215.75 exactly but 16777216 in single precision. At 1440 dpi a
    // pixel is a twip, so the screen's edge lies at any whole number of twips.
    DockInput in = Placed(16777215.0f, 3000, 1440);
    in.width = 0.75f;
    in.rect = {1000, 200, 1100, 600};

    in.pointer = {1050, 400}; // inside: Left + Width >= screen width
    in.monitors = {{0, 0, 16777216, 20000}};
    EXPECT_EQ(DockStep(in), (DockAction{.newLeft = 16777216.0f - 0.75f + 10.0f, .show = true}));

    in.pointer = {0, 1000}; // outside: screen width - 4 <= Left + Width
    in.monitors = {{0, 0, 16777220, 20000}};
    EXPECT_EQ(DockStep(in), (DockAction{.newLeft = 16777220.0f - 40.0f}));
}

TEST(DockStepTest, NothingMovesWhenTheMonitorsCannotBeRead) {
    DockInput in = Placed(3000, 0);
    in.monitors.clear();
    EXPECT_EQ(DockStep(in), DockAction{});
    EXPECT_EQ(DockReveal(in), DockAction{});
}

// ---------------------------------------------------------------------------------------------
// Several monitors, at 96 dpi: 15 twips a pixel. The launcher is 513 x 390 pixels.

constexpr float kTw = 15;
constexpr int kLauncherWidth = 513;
constexpr int kLauncherHeight = 390;
constexpr float kLauncherWidthTwips = kLauncherWidth * kTw;
constexpr float kLauncherHeightTwips = kLauncherHeight * kTw;
const PixelPoint kNowhere{-100000, -100000};

const PixelRect kPrimary{0, 0, 1280, 800};
const PixelRect kRightOf{1280, 0, 2304, 768}; // shorter: the primary's right edge is shared in part
const PixelRect kLeftOf{-1024, 0, 0, 768};
const PixelRect kAbove{0, -768, 1024, 0}; // narrower: the primary's top is shared in part

DockInput LauncherAt(std::vector<PixelRect> monitors, float leftTwips, float topTwips,
                     PixelPoint pointer) {
    DockInput in;
    in.left = leftTwips;
    in.top = topTwips;
    in.width = kLauncherWidthTwips;
    in.height = kLauncherHeightTwips;
    in.rect = {TwipsToPixels(leftTwips, 96), TwipsToPixels(topTwips, 96),
               TwipsToPixels(leftTwips + in.width, 96), TwipsToPixels(topTwips + in.height, 96)};
    in.pointer = pointer;
    in.monitors = std::move(monitors);
    return in;
}

TEST(DockStepMonitors, DocksOnlyAtEdgesOfTheDesktopOfTheMonitorItIsOn) {
    const std::vector<PixelRect> sideBySide = {kPrimary, kRightOf};
    const std::vector<PixelRect> leftAndPrimary = {kPrimary, kLeftOf};
    const std::vector<PixelRect> stacked = {kPrimary, kAbove};
    const float hiddenRight = 2304 * kTw - 40;
    const float hiddenLeftOfLeft = -1024 * kTw + 40 - kLauncherWidthTwips;
    const struct {
        const char* what;
        std::vector<PixelRect> monitors;
        float left; // twips
        float top;
        PixelPoint pointer;
        DockAction expected;
    } cases[] = {
        {"free on the second monitor, pointer away",
         sideBySide,
         1600 * kTw,
         200 * kTw,
         kNowhere,
         {}},
        {"free on the second monitor, pointer on it",
         sideBySide,
         1600 * kTw,
         200 * kTw,
         {1800, 400},
         {}},
        {"across the line between the monitors, pointer away",
         sideBySide,
         1000 * kTw,
         200 * kTw,
         kNowhere,
         {}},
        {"across the line, pointer on it: not pulled back",
         sideBySide,
         1000 * kTw,
         200 * kTw,
         {1300, 400},
         {}},
        {"mostly on the second, past its shared left edge: not pulled back",
         sideBySide,
         1200 * kTw,
         200 * kTw,
         {1500, 400},
         {}},
        {"at the second monitor's outer right edge: hides there",
         sideBySide,
         (2304 - kLauncherWidth) * kTw,
         200 * kTw,
         kNowhere,
         {.newLeft = hiddenRight}},
        {"hidden there, pointer in the strip: revealed there",
         sideBySide,
         hiddenRight,
         200 * kTw,
         {2303, 400},
         {.newLeft = 2304 * kTw - kLauncherWidthTwips + 10, .show = true}},
        {"at the second monitor's top: hides there",
         sideBySide,
         1600 * kTw,
         2 * kTw,
         kNowhere,
         {.newTop = 40 - kLauncherHeightTwips}},
        {"hidden there, pointer in the strip: revealed there",
         sideBySide,
         1600 * kTw,
         40 - kLauncherHeightTwips,
         {1700, 1},
         {.newTop = -10, .show = true}},
        {"the primary's right edge beside the second monitor is no edge",
         sideBySide,
         (1280 - kLauncherWidth) * kTw,
         300 * kTw,
         kNowhere,
         {}},
        {"the primary's right edge below the shorter second monitor is the desktop's",
         sideBySide,
         (1280 - kLauncherWidth) * kTw,
         780 * kTw,
         kNowhere,
         {.newLeft = 1280 * kTw - 40}},
        {"at the left edge of a monitor left of the primary: hides there",
         leftAndPrimary,
         -1022 * kTw,
         300 * kTw,
         kNowhere,
         {.newLeft = hiddenLeftOfLeft}},
        {"hidden there, pointer in the strip: revealed there",
         leftAndPrimary,
         hiddenLeftOfLeft,
         300 * kTw,
         {-1023, 450},
         {.newLeft = -1024 * kTw - 10, .show = true}},
        {"across the line at 0: no edge", leftAndPrimary, -200 * kTw, 300 * kTw, {-100, 450}, {}},
        {"at the primary's top under the monitor above: no edge",
         stacked,
         100 * kTw,
         0,
         kNowhere,
         {}},
        {"past the primary's top into the monitor above: not pulled back",
         stacked,
         100 * kTw,
         -50 * kTw,
         {300, 100},
         {}},
        {"at the primary's top beside the monitor above: hides there",
         stacked,
         1100 * kTw,
         2 * kTw,
         kNowhere,
         {.newTop = 40 - kLauncherHeightTwips}},
        {"at the top of the monitor above: hides there",
         stacked,
         100 * kTw,
         -766 * kTw,
         kNowhere,
         {.newTop = -768 * kTw + 40 - kLauncherHeightTwips}},
        {"one monitor: the primary's right edge hides as ever",
         {kPrimary},
         (1280 - kLauncherWidth) * kTw,
         300 * kTw,
         kNowhere,
         {.newLeft = 1280 * kTw - 40}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DockStep(LauncherAt(c.monitors, c.left, c.top, c.pointer)), c.expected) << c.what;
    }
}

TEST(DockStepMonitors, AWindowOnNoMonitorComesBackWhollyOntoTheNearest) {
    const float hiddenTop = 40 - kLauncherHeightTwips;
    const struct {
        const char* what;
        std::vector<PixelRect> monitors;
        float left;
        float top;
        DockAction expected;
    } cases[] = {
        {"hidden at the right of a monitor that went away",
         {kPrimary},
         2304 * kTw - 40,
         200 * kTw,
         {.newLeft = 1280 * kTw - kLauncherWidthTwips, .newTop = 200 * kTw, .show = true}},
        {"hidden at the top of a monitor that went away",
         {kPrimary},
         1600 * kTw,
         hiddenTop,
         {.newLeft = 1280 * kTw - kLauncherWidthTwips, .newTop = 0, .show = true}},
        {"left of a monitor that went away",
         {kPrimary},
         -1022 * kTw,
         300 * kTw,
         {.newLeft = 0, .newTop = 300 * kTw, .show = true}},
        {"beyond a lowered resolution",
         {{0, 0, 1024, 768}},
         1100 * kTw,
         500 * kTw,
         {.newLeft = 1024 * kTw - kLauncherWidthTwips,
          .newTop = 768 * kTw - kLauncherHeightTwips,
          .show = true}},
        {"nearest of two",
         {kPrimary, kRightOf},
         2400 * kTw,
         100 * kTw,
         {.newLeft = 2304 * kTw - kLauncherWidthTwips, .newTop = 100 * kTw, .show = true}},
    };
    for (const auto& c : cases) {
        for (const PixelPoint pointer : {kNowhere, PixelPoint{1, 1}}) {
            const DockInput in = LauncherAt(c.monitors, c.left, c.top, pointer);
            EXPECT_EQ(DockStep(in), c.expected) << c.what;
            EXPECT_EQ(DockReveal(in), c.expected) << c.what;
        }
    }
}

TEST(DockRevealMonitors, TheSummonRevealsOnTheMonitorTheWindowIsOn) {
    const std::vector<PixelRect> sideBySide = {kPrimary, kRightOf};
    EXPECT_EQ(DockReveal(LauncherAt(sideBySide, 2304 * kTw - 40, 200 * kTw, kNowhere)),
              (DockAction{.newLeft = 2304 * kTw - kLauncherWidthTwips + 10, .show = true}));
    EXPECT_EQ(DockReveal(LauncherAt(sideBySide, 1000 * kTw, 200 * kTw, kNowhere)), DockAction{});
}

} // namespace
} // namespace corvantis::core
