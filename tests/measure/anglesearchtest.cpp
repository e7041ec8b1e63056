// SPDX-License-Identifier: BSD-3-Clause
// Line lengths in pixels and the angles between the three spot vectors.
#include "measure/anglesearch.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/numbertext.h"

using namespace saed::measure;

namespace {

// The vector of a line drawn at `deg` degrees from its start (start minus end, in twips).
Vector2 drawnAt(double deg, double lengthTwips, bool reversed) {
    const double rad = deg * std::acos(-1.0) / 180.0;
    const Vector2 v{-lengthTwips * std::cos(rad), lengthTwips * std::sin(rad)};
    return reversed ? Vector2{-v.x, -v.y} : v;
}

void expectSearch(Vector2 r1, Vector2 r2, Vector2 r3, double a12, double a23, double a13) {
    const auto a = pairCandidates(r1, r2, r3);
    ASSERT_TRUE(a);
    const auto written = searchOrientation(*a);
    ASSERT_TRUE(written);
    EXPECT_NEAR((*written)[0], a12, 1e-6);
    EXPECT_NEAR((*written)[1], a23, 1e-6);
    EXPECT_NEAR((*written)[2], a13, 1e-6);
}

}  // namespace

TEST(AngleSearchTest, lengthIsASinglePrecisionPixelCount) {
    EXPECT_EQ(lengthInPixels({0, 0}, {4500.0, 0}), 300.0);
    EXPECT_EQ(lengthInPixels({100, 200}, {100 + 45 * 15.0, 200 - 60 * 15.0}), 75.0);
    EXPECT_EQ(lengthInPixels({7, 7}, {7, 7}), 0.0);
    // The widened single shows its own digits in the 15-digit text.
    EXPECT_EQ(saed::core::generalText(lengthInPixels({0, 0}, {0, 1234.567 * 15.0})), "1234.56701660156");
}

TEST(AngleSearchTest, candidatesAndDegenerateVectors) {
    const struct {
        Vector2 u, w;
        double theta;
    } cases[] = {{{1, 0}, {0, 5}, 90.0}, {{2, 0}, {1, 1}, 45.0}, {{1, 0}, {-1, std::sqrt(3.0)}, 120.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.theta);
        const auto a = angleCandidates(c.u, c.w);
        ASSERT_TRUE(a);
        EXPECT_NEAR((*a)[0], c.theta, 1e-12);
        EXPECT_NEAR((*a)[1], 180.0 - c.theta, 1e-12);
    }
    EXPECT_FALSE(angleCandidates({0, 0}, {1, 1}));
    EXPECT_FALSE(angleCandidates({3, 4}, {0, 0}));
    EXPECT_FALSE(angleCandidates({1, 1}, {1, 1}));      // the vectors after Clear
    EXPECT_FALSE(angleCandidates({2, 3}, {-4, -6}));    // antiparallel
    EXPECT_FALSE(pairCandidates({1, 0}, {0, 1}, {2, 0}));  // R1 parallel to R3
}

TEST(AngleSearchTest, linesAt0And90And45FromEitherEnd) {
    for (int signs = 0; signs < 8; ++signs) {
        SCOPED_TRACE(signs);
        expectSearch(drawnAt(0, 3000, signs & 1), drawnAt(90, 4500, signs & 2), drawnAt(45, 2000, signs & 4), 90.0,
                     45.0, 45.0);
    }
    // Aluminium along [0 1 1]: g(1 1 -1), g(1 -1 1) and their sum g(2 0 0) at 109.47, 54.74, 54.74.
    const double r2 = std::sqrt(2.0);
    expectSearch({-1.0, -r2}, {-1.0, r2}, {-2.0, 0.0}, 109.4712206, 54.7356103, 54.7356103);
}

TEST(AngleSearchTest, lastMatchWinsAndNoMatchWritesNothing) {
    // (90, 45, 45) matches first, (90.5, 45, 45) later in the loop order: the later one stays.
    const auto written = searchOrientation({{{90.0, 90.5}, {45.0, 135.0}, {45.0, 135.0}}});
    ASSERT_TRUE(written);
    EXPECT_EQ((*written)[0], 90.5);
    EXPECT_EQ((*written)[1], 45.0);
    // j before k: (100, 60, 40) then (100, 59.5, 40.5); the inner loop runs over k.
    const auto order = searchOrientation({{{100.0, 80.0}, {60.0, 59.5}, {40.0, 40.5}}});
    ASSERT_TRUE(order);
    EXPECT_EQ((*order)[1], 59.5);
    EXPECT_EQ((*order)[2], 40.5);
    // Within 1 degree, not beyond.
    EXPECT_TRUE(searchOrientation({{{100.0, 80.0}, {60.0, 120.0}, {41.0, 139.0}}}));
    EXPECT_FALSE(searchOrientation({{{100.0, 80.0}, {60.0, 120.0}, {41.01, 138.99}}}));
}
