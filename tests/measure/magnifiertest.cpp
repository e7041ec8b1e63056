// SPDX-License-Identifier: BSD-3-Clause
// The magnifier's copy rectangle and its timer bookkeeping.
#include "measure/magnifier.h"

#include <gtest/gtest.h>

using namespace saed::measure;

TEST(MagnifierTest, fitOfTheFourFactors) {
    const int h = kMagnifierClientHeightPx - kMagnifierOptionHeightPx;
    ASSERT_EQ(h, 193);
    // "5倍": 36 source pixels give 216 < 218, so 37 are copied into 222. "0.5倍": 217 + 1.5 =
    // 218.5 rounds to the even 218, 192 + 1.5 to 194. "1倍": the width divides evenly and stays.
    const struct {
        float factor;
        int x, y, sourceLeft, sourceTop, sourceWidth, destWidth, sourceHeight, destHeight;
    } cases[] = {{6.0f, 500, 400, 482, 384, 37, 222, 33, 198}, {1.5f, 500, 400, 428, 336, 146, 218, 129, 194},
                 {2.0f, 500, 400, 446, 352, 109, 218, 97, 194},  {3.0f, 500, 400, 464, 368, 73, 219, 65, 195},
                 {6.0f, 3, 2, -15, -14, 37, 222, 33, 198}};  // near the corner: not clamped
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.factor << " at " << c.x);
        const MagnifierCopy copy = magnifierFit(c.x, c.y, kMagnifierWidthPx, h, c.factor);
        EXPECT_EQ(copy.sourceLeft, c.sourceLeft);
        EXPECT_EQ(copy.sourceTop, c.sourceTop);
        EXPECT_EQ(copy.sourceWidth, c.sourceWidth);
        EXPECT_EQ(copy.destWidth, c.destWidth);
        EXPECT_EQ(copy.sourceHeight, c.sourceHeight);
        EXPECT_EQ(copy.destHeight, c.destHeight);
    }
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
