#include "platform/twips.h"

#include <gtest/gtest.h>

#include <limits>

namespace corvantis::platform {
namespace {

TEST(TwipsTest, PixelsToTwipsScalesByResolution) {
    struct Case {
        int pixels;
        unsigned dpi;
        float twips;
    };
    const Case cases[] = {
        {1, 96, 15.0f},        {1, 144, 10.0f},  {1, 120, 12.0f},   {1, 192, 7.5f},
        {0, 96, 0.0f},         {-3, 96, -45.0f}, {-3, 144, -30.0f}, {1920, 96, 28800.0f},
        {1920, 144, 19200.0f}, {1, 0, 15.0f}, // an unknown resolution counts as 96 dpi
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PixelsToTwips(c.pixels, c.dpi), c.twips) << c.pixels << " px at " << c.dpi;
    }
}

TEST(TwipsTest, TwipsToPixelsRoundsHalvesAwayFromZero) {
    struct Case {
        float twips;
        unsigned dpi;
        int pixels;
    };
    const Case cases[] = {
        {7.5f, 96, 1},    {-7.5f, 96, -1}, {7.4f, 96, 0},        {-7.4f, 96, 0}, {22.5f, 96, 2},
        {-22.5f, 96, -2}, {5.0f, 144, 1},  {-5.0f, 144, -1},     {4.9f, 144, 0}, {-10.0f, 96, -1},
        {40.0f, 96, 3},   {40.0f, 144, 4}, {28800.0f, 96, 1920}, {15.0f, 0, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
    }
}

TEST(TwipsTest, TwipsToPixelsClampsOutOfRangeAndNaN) {
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(TwipsToPixels(1e30f, 96), kMax);
    EXPECT_EQ(TwipsToPixels(-1e30f, 96), kMin);
    EXPECT_EQ(TwipsToPixels(std::numeric_limits<float>::infinity(), 144), kMax);
    EXPECT_EQ(TwipsToPixels(-std::numeric_limits<float>::infinity(), 144), kMin);
    EXPECT_EQ(TwipsToPixels(std::numeric_limits<float>::quiet_NaN(), 96), 0);
}

TEST(TwipsTest, PixelsSurviveTheRoundTrip) {
    for (unsigned dpi : {96u, 120u, 144u, 192u}) {
        for (int px = -5000; px <= 5000; ++px) {
            ASSERT_EQ(TwipsToPixels(PixelsToTwips(px, dpi), dpi), px) << px << " px at " << dpi;
        }
    }
}

} // namespace
} // namespace corvantis::platform
