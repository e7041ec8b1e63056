// SPDX-License-Identifier: BSD-3-Clause
// The zone-axis reduction against its definition, a loop over every candidate divisor.
#include "calculator/calculator.h"

#include <cmath>

#include <gtest/gtest.h>

using namespace saed::calculator;

namespace {

using Axis = std::array<double, 3>;

// The reduction as a literal loop over i, the definition the fast version must match.
Axis reduceByLoop(const Axis& uvw) {
    const double s = std::fabs(uvw[0]) + std::fabs(uvw[1]) + std::fabs(uvw[2]);
    Axis result = uvw;
    for (double i = 2; i <= s; ++i) {
        bool divides = true;
        for (double x : uvw) divides = divides && std::fmod(std::nearbyint(x), i) == 0;
        if (divides) result = {uvw[0] / i, uvw[1] / i, uvw[2] / i};
    }
    return result;
}

}  // namespace

TEST(CalculatorTest, reductionIsTheLoopOverDivisorsForAnyMagnitude) {
    for (double u = -6; u <= 6; u += 0.5)
        for (double v = -6; v <= 6; v += 0.5)
            for (double w = -6; w <= 6; w += 0.5) {
                SCOPED_TRACE(testing::Message() << u << " " << v << " " << w);
                ASSERT_EQ(reduceZoneAxis({u, v, w}), reduceByLoop({u, v, w}));
            }
    for (const Axis& a : {Axis{1000002.6, 0, 0}, Axis{1000001.6, 0, 0}, Axis{1000001.6, 3.2, 0.4}})
        EXPECT_EQ(reduceZoneAxis(a), reduceByLoop(a)) << a[0];

    // Remainders are taken on the rounded components, ties to even (2.5 counts as 2); huge and
    // non-finite axes come back at once.
    const std::pair<Axis, Axis> cases[] = {
        {{6, -9, 0}, {2, -3, 0}},
        {{2.5, 0, 0}, {1.25, 0, 0}},
        {{3.5, 0, 0}, {1.75, 0, 0}},  // 4 > 3 = limit, so 2 is last
        {{1e15, 2e15, 0}, {1, 2, 0}},
        {{0, -1e300, 0}, {0, -1, 0}},
        {{4503599627370496.0, 6, 0}, {2251799813685248.0, 3, 0}},
        {{INFINITY, 1, 0}, {INFINITY, 1, 0}},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(reduceZoneAxis(in), out) << in[0];
    EXPECT_TRUE(std::isnan(reduceZoneAxis({NAN, 2, 2})[0]));
}
