// SPDX-License-Identifier: BSD-3-Clause
#include "indexing/tolerancescale.h"

#include <gtest/gtest.h>

#include "core/numbertext.h"

using namespace saed::indexing;

TEST(ToleranceScaleTest, sliderTextsAndPositionsRoundHalvesToEven) {
    for (const auto& [x, rounded] : {std::pair{12.5, 12}, {13.5, 14}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}})
        EXPECT_EQ(roundHalfEven(x), rounded) << x;
    EXPECT_EQ(std::vector<std::string>({toleranceText(1, 13), toleranceText(2, 100), toleranceText(4, 13), toleranceText(6, 100)}),
              std::vector<std::string>({"0.0078", "0.0600", "0.5", "4.0"}));

    EXPECT_EQ(sliderPosition(4, 0.5), 12);  // 12.5
    EXPECT_EQ(sliderPosition(1, 0.01), 17);  // 16.7
    EXPECT_EQ(sliderPosition(1, 0.5), 100);  // beyond the scale: pinned at the end
    EXPECT_EQ(sliderPosition(4, -1), 0);
    EXPECT_EQ(sliderPosition(4, 1e300), 100);

    // A spacing slider keeps every position through its own text.
    for (int p = 0; p <= 100; ++p)
        EXPECT_EQ(sliderPosition(1, saed::core::leadingNumber(toleranceText(1, p))), p) << p;
}
