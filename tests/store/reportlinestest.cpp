// SPDX-License-Identifier: BSD-3-Clause
// Lines of the reports where the whole-file comparisons do not reach: the header's rule at its
// boundary, zero divisors and rows of any width.
#include "store/reportlines.h"

#include <gtest/gtest.h>

using namespace saed::store;

TEST(ReportLinesTest, measuredSpacings) {
    // Nn x (Lbar / S) / Ln: 3 x (250 / 4) / 125 = 1.5; no segment gives 0.
    ReportFields f;
    f.scaleReading = 4;
    f.scaleLength = 250;
    f.segments = {3, 2, 0};
    f.lengths = {125, 125, 10};
    const auto d = measuredSpacings(f);
    ASSERT_TRUE(d);
    EXPECT_EQ(*d, (std::array<double, 3>{1.5, 1.0, 0.0}));

    for (int zero = 0; zero < 4; ++zero) {
        ReportFields g = f;
        if (zero == 0) g.scaleReading = 0;
        else g.lengths[static_cast<std::size_t>(zero - 1)] = 0;
        EXPECT_FALSE(measuredSpacings(g)) << "zero divisor " << zero;
    }
}

TEST(ReportLinesTest, headerAndRowLines) {
    const std::string plain =
        "   组号\t \tR1\t \t \t \tR2\t \t \t \tR3\t \t \td1\t \td2\t \td3\t \t \t<R1,R2>\t<R2,R3>\t<R1,R3>";
    std::string wide = plain;
    wide.replace(wide.find("<R1,R2>"), 7, "<R1,R2> ");
    EXPECT_EQ(reportHeaderLine(100), plain);
    EXPECT_EQ(reportHeaderLine(100.5), wide);

    // The last field follows one blank, whatever the width.
    EXPECT_EQ(reportRowLine({"x", "1", "2", "3"}), "x\t1\t2 3");
    EXPECT_EQ(reportRowLine({"x", "9"}), "x 9");
}
