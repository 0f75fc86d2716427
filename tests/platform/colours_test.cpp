#include "platform/colours.h"

#include <gtest/gtest.h>

namespace corvantis::platform {
namespace {

constexpr Rgb kBlue{0x0E, 0x97, 0xE7};
constexpr Rgb kYellow{0xFF, 0xFF, 0xC0};
constexpr Rgb kGrey{0xE0, 0xE0, 0xE0};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{0xFF, 0xFF, 0xFF};
// A black high-contrast theme: white text on black.
constexpr SystemPalette kOff{false, kWhite, kBlack};
constexpr SystemPalette kOn{true, kWhite, kBlack};

bool operator==(Rgb a, Rgb b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

TEST(PaintColours, TheDesignsOwnOffHighContrastAndTheSystemsOn) {
    const struct {
        ControlColours design;
        SystemPalette palette;
        ControlColours painted;
    } cases[] = {
        {{kBlue, kWhite}, kOff, {kBlue, kWhite}},     // the request box
        {{kBlack, kYellow}, kOff, {kBlack, kYellow}}, // the entry list
        {{std::nullopt, kWhite, true}, kOff, {std::nullopt, kWhite, true}},
        {{kBlue, kWhite}, kOn, {kWhite, kBlack}},
        {{kBlack, kYellow}, kOn, {kWhite, kBlack}},
        {{std::nullopt, kWhite, true}, kOn, {kWhite, kBlack, true}},
    };
    for (const auto& c : cases) {
        const ControlColours painted = PaintColours(c.design, c.palette);
        EXPECT_EQ(painted.text.has_value(), c.painted.text.has_value());
        EXPECT_TRUE(!painted.text || *painted.text == *c.painted.text);
        EXPECT_TRUE(painted.background == c.painted.background);
        EXPECT_EQ(painted.transparent, c.painted.transparent);
    }
}

TEST(PaintColour, FramesAndTextTakeTheThemesTextColourBackgroundsItsWindowColour) {
    const struct {
        Rgb design;
        ColourUse use;
        SystemPalette palette;
        Rgb painted;
    } cases[] = {
        {kGrey, ColourUse::Frame, kOff, kGrey},
        {kYellow, ColourUse::Background, kOff, kYellow},
        {kGrey, ColourUse::Frame, kOn, kWhite},
        {kBlue, ColourUse::Text, kOn, kWhite},
        {kYellow, ColourUse::Background, kOn, kBlack},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(PaintColour(c.design, c.use, c.palette) == c.painted);
    }
}

} // namespace
} // namespace corvantis::platform
