// The magnifier's copy rectangle and its timer bookkeeping.
#include "measure/magnifier.h"

#include <gtest/gtest.h>

using namespace saed::measure;

TEST(MagnifierTest, fitOfTheFourFactors) {
    const int h = kMagnifierClientHeightPx - kMagnifierOptionHeightPx;
    ASSERT_EQ(h, 193);
    // "5倍": 36 source pixels give 216 < 218, so 37 are copied into 222.
    const MagnifierCopy five = magnifierFit(500, 400, kMagnifierWidthPx, h, 6.0f);
    EXPECT_EQ(five.sourceWidth, 37);
    EXPECT_EQ(five.destWidth, 222);
    EXPECT_EQ(five.sourceHeight, 33);
    EXPECT_EQ(five.destHeight, 198);
    EXPECT_EQ(five.sourceLeft, 482);
    EXPECT_EQ(five.sourceTop, 384);

    // "0.5倍": 217 + 1.5 = 218.5 rounds to the even 218, 192 + 1.5 to 194.
    const MagnifierCopy half = magnifierFit(500, 400, kMagnifierWidthPx, h, 1.5f);
    EXPECT_EQ(half.sourceWidth, 146);
    EXPECT_EQ(half.destWidth, 218);
    EXPECT_EQ(half.sourceHeight, 129);
    EXPECT_EQ(half.destHeight, 194);
    EXPECT_EQ(half.sourceLeft, 500 - 72);

    // "1倍": the width divides evenly and stays.
    const MagnifierCopy one = magnifierFit(500, 400, kMagnifierWidthPx, h, 2.0f);
    EXPECT_EQ(one.sourceWidth, 109);
    EXPECT_EQ(one.destWidth, 218);
    EXPECT_EQ(one.sourceHeight, 97);
    EXPECT_EQ(one.destHeight, 194);

    const MagnifierCopy two = magnifierFit(500, 400, kMagnifierWidthPx, h, 3.0f);
    EXPECT_EQ(two.sourceWidth, 73);
    EXPECT_EQ(two.destWidth, 219);

    // Near the screen's corner the source starts off-screen; it is not clamped.
    const MagnifierCopy corner = magnifierFit(3, 2, kMagnifierWidthPx, h, 6.0f);
    EXPECT_EQ(corner.sourceLeft, -15);
    EXPECT_EQ(corner.sourceTop, -14);
}

TEST(MagnifierTest, clockRedrawsAMovingPointerAtOnceAndAStillOneEveryFifthTick) {
    MagnifierClock clock;
    std::string redraws;
    for (int i = 0; i < 11; ++i) redraws += clock.tick(false, 0, 0).redraw ? 'R' : '.';
    EXPECT_EQ(redraws, "....R....R.");

    MagnifierClock moving;
    for (int i = 1; i <= 6; ++i) {
        const auto t = moving.tick(false, i, 10);
        EXPECT_TRUE(t.redraw);
        EXPECT_FALSE(t.reassert);
    }
    // A still pointer after the last move: the fifth tick redraws and puts the window on top.
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(moving.tick(false, 6, 10).redraw);
    const auto fifth = moving.tick(false, 6, 10);
    EXPECT_TRUE(fifth.redraw);
    EXPECT_TRUE(fifth.reassert);

    // Minimized: nothing happens and no time is counted.
    MagnifierClock minimized;
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(minimized.tick(true, 5, 5).redraw);
    EXPECT_TRUE(minimized.tick(false, 5, 5).redraw);  // the pointer left (0, 0)
}
