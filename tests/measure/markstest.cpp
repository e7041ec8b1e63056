// SPDX-License-Identifier: BSD-3-Clause
// The fill cycle of the four marks and the rules of taking one back.
#include "measure/marks.h"

#include <gtest/gtest.h>

using namespace saed::measure;

namespace {

int draw(MarkSet& marks, float x) {
    marks.line1 = {x, 0.0f, x + 10.0f, 5.0f, true};
    return marks.keepLine1();
}

MarkSet drawn(int lines) {
    MarkSet marks;
    for (int i = 0; i < lines; ++i) draw(marks, float(i));
    return marks;
}

std::string shown(const MarkSet& marks) {
    std::string s;
    for (const Segment& m : marks.line2) s += m.visible ? '1' : '0';
    return s;
}

}  // namespace

TEST(MarkSetTest, fillCycle) {
    MarkSet marks;
    const int expected[] = {0, 1, 2, 3, 0, 1, 2, 0, 1, 2};
    const char* pattern[] = {"1000", "1100", "1110", "1111", "1001", "1101", "1111", "1001", "1101", "1111"};
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(draw(marks, 100.0f * i), expected[i]);
        EXPECT_EQ(shown(marks), pattern[i]);
        const Segment& kept = marks.line2[static_cast<std::size_t>(expected[i])];
        EXPECT_FLOAT_EQ(kept.x1, 100.0f * i);
        EXPECT_FLOAT_EQ(kept.y2, 5.0f);
    }
}

TEST(MarkSetTest, cancelTakesBackTheLatestMark) {
    // Lines drawn, marks shown after cancel: after the fifth, marks 0 and 3 both go; with all
    // four shown only mark 3 goes.
    const std::pair<int, const char*> cases[] = {{0, "0000"}, {2, "1000"}, {4, "1110"}, {5, "0000"}};
    for (const auto& [lines, after] : cases) {
        SCOPED_TRACE(lines);
        MarkSet marks = drawn(lines);
        marks.line1.visible = true;
        marks.cancelLatest();
        EXPECT_EQ(shown(marks), after);
        EXPECT_FALSE(marks.line1.visible);
    }
}

TEST(MarkSetTest, shiftMovesHiddenMarksToo) {
    MarkSet marks = drawn(2);
    marks.line2[1].visible = false;
    marks.shiftMarks(15.0, -30.0);
    EXPECT_FLOAT_EQ(marks.line2[0].x1, 15.0f);
    EXPECT_FLOAT_EQ(marks.line2[0].x2, 25.0f);
    EXPECT_FLOAT_EQ(marks.line2[0].y1, -30.0f);
    EXPECT_FLOAT_EQ(marks.line2[1].x1, 16.0f);
    EXPECT_FLOAT_EQ(marks.line2[1].y2, -25.0f);
    EXPECT_FLOAT_EQ(marks.line2[3].x1, 15.0f);
    marks.hideAll();
    EXPECT_EQ(shown(marks), "0000");
}
