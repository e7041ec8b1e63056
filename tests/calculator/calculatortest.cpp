// Zone-axis reduction, angles and spacings of the calculator's arithmetic.
#include "calculator/calculator.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

using namespace saed::calculator;
using saed::core::Cell;

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

const Cell kCubic{0.5, 0.5, 0.5, 90, 90, 90};

}  // namespace

TEST(CalculatorTest, zoneAxisReductionKeepsSignsAndDividesByTheGcd) {
    EXPECT_EQ(reduceZoneAxis(crossProduct({2, 0, 0}, {0, 2, 0})), (Axis{0, 0, 1}));
    EXPECT_EQ(reduceZoneAxis(crossProduct({1, 1, 0}, {1, -1, 0})), (Axis{0, 0, -1}));
    EXPECT_EQ(reduceZoneAxis(crossProduct({1, 1, 1}, {1, 0, 0})), (Axis{0, 1, -1}));
    EXPECT_EQ(reduceZoneAxis({6, -9, 0}), (Axis{2, -3, 0}));
    EXPECT_EQ(reduceZoneAxis({3, 5, 7}), (Axis{3, 5, 7}));
    EXPECT_EQ(reduceZoneAxis({0, 0, 0}), (Axis{0, 0, 0}));
    EXPECT_EQ(reduceZoneAxis({1, 0, 0}), (Axis{1, 0, 0}));
    // A zero never comes out negative: -1 x 0 would otherwise give -0.
    const Axis axis = crossProduct({-1, 0, 0}, {0, 0, 1});
    EXPECT_FALSE(std::signbit(axis[0]) || std::signbit(axis[1]) || std::signbit(axis[2]));
}

TEST(CalculatorTest, reductionMatchesTheLoopOnWholeAndHalfValues) {
    // Remainders are taken on the rounded components, ties to the even number: 2.5 counts as 2.
    EXPECT_EQ(reduceZoneAxis({2.5, 0, 0}), (Axis{1.25, 0, 0}));
    EXPECT_EQ(reduceZoneAxis({3.5, 0, 0}), (Axis{1.75, 0, 0}));  // 4 > 3 = limit, so 2 is last
    for (double u = -6; u <= 6; u += 0.5)
        for (double v = -6; v <= 6; v += 0.5)
            for (double w = -6; w <= 6; w += 0.5) {
                SCOPED_TRACE(testing::Message() << u << " " << v << " " << w);
                ASSERT_EQ(reduceZoneAxis({u, v, w}), reduceByLoop({u, v, w}));
            }
    for (const Axis& a : {Axis{1000002.6, 0, 0}, Axis{1000001.6, 0, 0}, Axis{1000001.6, 3.2, 0.4}})
        EXPECT_EQ(reduceZoneAxis(a), reduceByLoop(a)) << a[0];
}

TEST(CalculatorTest, hugeAndNonFiniteAxesNeverLoop) {
    EXPECT_EQ(reduceZoneAxis({1e15, 2e15, 0}), (Axis{1, 2, 0}));
    EXPECT_EQ(reduceZoneAxis({0, -1e300, 0}), (Axis{0, -1, 0}));
    EXPECT_EQ(reduceZoneAxis({4503599627370496.0, 6, 0}), (Axis{2251799813685248.0, 3, 0}));
    const Axis inf{INFINITY, 1, 0};
    EXPECT_EQ(reduceZoneAxis(inf), inf);
    EXPECT_TRUE(std::isnan(reduceZoneAxis({NAN, 2, 2})[0]));
}

TEST(CalculatorTest, anglesAndSpacingsOfACubicCell) {
    // Textbook values: d(hkl) = a / sqrt(h^2 + k^2 + l^2); cos<(111),(100)> = 1/sqrt(3).
    const CalculatorResult r = calculate({{{1, 1, 1}, {1, 0, 0}, {0, 0, 1}}}, kCubic);
    ASSERT_TRUE(r.cellValid);
    EXPECT_NEAR(*r.anglesDeg[0], std::acos(1 / std::sqrt(3.0)) * 180 / std::numbers::pi, 1e-12);
    EXPECT_DOUBLE_EQ(*r.anglesDeg[1], 90);
    EXPECT_NEAR(*r.anglesDeg[2], 54.735610317245345, 1e-12);
    EXPECT_NEAR(*r.spacingsNm[0], 0.5 / std::sqrt(3.0), 1e-15);
    EXPECT_DOUBLE_EQ(*r.spacingsNm[1], 0.5);
    // A half index is a plane too: (0.5 0 0) has the spacing 2 x 0.5.
    EXPECT_DOUBLE_EQ(*calculate({{{0.5, 0, 0}, {1, 0, 0}, {0, 1, 0}}}, kCubic).spacingsNm[0], 1.0);

    // Hexagonal a = b = 0.25, c = 0.4, gamma = 120: d(100) = a sqrt(3)/2, <(100),(010)> = 60.
    const CalculatorResult hex =
        calculate({{{1, 0, 0}, {0, 1, 0}, {0, 0, 2}}}, {0.25, 0.25, 0.4, 90, 90, 120});
    EXPECT_NEAR(*hex.anglesDeg[0], 60, 1e-9);
    EXPECT_NEAR(*hex.anglesDeg[1], 90, 1e-9);
    EXPECT_NEAR(*hex.spacingsNm[0], 0.25 * std::sqrt(3.0) / 2, 1e-12);
    EXPECT_NEAR(*hex.spacingsNm[2], 0.2, 1e-12);
}

TEST(CalculatorTest, degenerateInputsGiveNoValueInsteadOfFailing) {
    // Parallel and antiparallel planes: 0 and 180, the rest goes on.
    const CalculatorResult parallel = calculate({{{1, 0, 0}, {1, 0, 0}, {0, 1, 0}}}, kCubic);
    EXPECT_EQ(parallel.zoneAxis, (Axis{0, 0, 0}));
    EXPECT_EQ(*parallel.anglesDeg[0], 0);
    EXPECT_DOUBLE_EQ(*parallel.anglesDeg[1], 90);
    EXPECT_EQ(*calculate({{{1, 1, 0}, {-1, -1, 0}, {0, 0, 1}}}, kCubic).anglesDeg[0], 180);

    // (0 0 0) has neither angles nor a spacing; the pair without it is computed.
    const CalculatorResult zero = calculate({{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}}, kCubic);
    EXPECT_FALSE(zero.anglesDeg[0] || zero.anglesDeg[2] || zero.spacingsNm[0]);
    EXPECT_DOUBLE_EQ(*zero.anglesDeg[1], 90);
    EXPECT_DOUBLE_EQ(*zero.spacingsNm[2], 0.5);

    // No cell (empty fields read as 0, or angles that close no cell): the zone axis only.
    for (const Cell& cell :
         {Cell{}, Cell{0.5, 0.5, 0.5, 90, 90, 0}, Cell{0.5, 0.5, 0.5, 120, 120, 120}}) {
        const CalculatorResult r = calculate({{{2, 0, 0}, {0, 2, 0}, {1, 1, 0}}}, cell);
        EXPECT_FALSE(r.cellValid);
        EXPECT_EQ(r.zoneAxis, (Axis{0, 0, 1}));
        for (int i = 0; i < 3; ++i) EXPECT_FALSE(r.anglesDeg[i] || r.spacingsNm[i]);
    }
}
