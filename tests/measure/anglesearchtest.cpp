// Line lengths in pixels and the angles between the three spot vectors.
#include "measure/anglesearch.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/numbertext.h"

using namespace saed::measure;

namespace {

// The vector of a line drawn at `deg` degrees from its start (start minus end, in twips).
Vector2 drawnAt(double deg, double lengthTwips = 3000.0, bool reversed = false) {
    const double rad = deg * std::acos(-1.0) / 180.0;
    const Vector2 v{-lengthTwips * std::cos(rad), lengthTwips * std::sin(rad)};
    return reversed ? Vector2{-v.x, -v.y} : v;
}

}  // namespace

TEST(AngleSearchTest, lengthIsASinglePrecisionPixelCount) {
    EXPECT_EQ(lengthInPixels({0, 0}, {4500.0, 0}), 300.0);
    EXPECT_EQ(lengthInPixels({100, 200}, {100 + 45 * 15.0, 200 - 60 * 15.0}), 75.0);
    EXPECT_EQ(lengthInPixels({7, 7}, {7, 7}), 0.0);
    // The widened single shows its own digits in the 15-digit text.
    const double l = lengthInPixels({0, 0}, {0, 1234.567 * 15.0});
    EXPECT_EQ(saed::core::generalText(l), "1234.56701660156");
    EXPECT_EQ(l, static_cast<double>(1234.567f));
}

TEST(AngleSearchTest, candidatesAndDegenerateVectors) {
    const auto right = angleCandidates({1, 0}, {0, 5});
    ASSERT_TRUE(right);
    EXPECT_NEAR((*right)[0], 90.0, 1e-12);
    EXPECT_NEAR((*right)[1], 90.0, 1e-12);
    const auto acute = angleCandidates({2, 0}, {1, 1});
    ASSERT_TRUE(acute);
    EXPECT_NEAR((*acute)[0], 45.0, 1e-12);
    EXPECT_NEAR((*acute)[1], 135.0, 1e-12);
    const auto obtuse = angleCandidates({1, 0}, {-1, std::sqrt(3.0)});
    ASSERT_TRUE(obtuse);
    EXPECT_NEAR((*obtuse)[0], 120.0, 1e-12);

    EXPECT_FALSE(angleCandidates({0, 0}, {1, 1}));
    EXPECT_FALSE(angleCandidates({3, 4}, {0, 0}));
    EXPECT_FALSE(angleCandidates({1, 1}, {1, 1}));      // the vectors after Clear
    EXPECT_FALSE(angleCandidates({2, 3}, {-4, -6}));    // antiparallel
    EXPECT_FALSE(pairCandidates({1, 0}, {0, 1}, {2, 0}));  // R1 parallel to R3
}

TEST(AngleSearchTest, linesAt0And90And45FromEitherEnd) {
    for (int signs = 0; signs < 8; ++signs) {
        SCOPED_TRACE(signs);
        const auto a = pairCandidates(drawnAt(0, 3000, signs & 1), drawnAt(90, 4500, signs & 2),
                                      drawnAt(45, 2000, signs & 4));
        ASSERT_TRUE(a);
        const auto written = searchOrientation(*a);
        ASSERT_TRUE(written);
        EXPECT_NEAR((*written)[0], 90.0, 1e-9);
        EXPECT_NEAR((*written)[1], 45.0, 1e-9);
        EXPECT_NEAR((*written)[2], 45.0, 1e-9);
    }
}

TEST(AngleSearchTest, aluminiumAlong011) {
    // g(1 1 -1), g(1 -1 1) and their sum g(2 0 0) in the zone plane (x along [1 0 0]*,
    // y along [0 1 -1]*): textbook angles 109.47, 54.74, 54.74 degrees.
    const double r2 = std::sqrt(2.0);
    const auto a = pairCandidates({-1.0, -r2}, {-1.0, r2}, {-2.0, 0.0});
    ASSERT_TRUE(a);
    const auto written = searchOrientation(*a);
    ASSERT_TRUE(written);
    EXPECT_NEAR((*written)[0], 109.4712206, 1e-6);
    EXPECT_NEAR((*written)[1], 54.7356103, 1e-6);
    EXPECT_NEAR((*written)[2], 54.7356103, 1e-6);
}

TEST(AngleSearchTest, lastMatchWinsAndNoMatchWritesNothing) {
    // (90, 45, 45) matches first, (90.5, 45, 45) later in the loop order: the later one stays.
    const AngleCandidates twice{{{90.0, 90.5}, {45.0, 135.0}, {45.0, 135.0}}};
    const auto written = searchOrientation(twice);
    ASSERT_TRUE(written);
    EXPECT_EQ((*written)[0], 90.5);
    EXPECT_EQ((*written)[1], 45.0);

    // j before k: (100, 60, 40) then (100, 59.5, 40.5); the inner loop runs over k.
    const AngleCandidates inner{{{100.0, 80.0}, {60.0, 59.5}, {40.0, 40.5}}};
    const auto order = searchOrientation(inner);
    ASSERT_TRUE(order);
    EXPECT_EQ((*order)[1], 59.5);
    EXPECT_EQ((*order)[2], 40.5);

    // Within 1 degree, not beyond.
    EXPECT_TRUE(searchOrientation({{{100.0, 80.0}, {60.0, 120.0}, {41.0, 139.0}}}));
    EXPECT_FALSE(searchOrientation({{{100.0, 80.0}, {60.0, 120.0}, {41.01, 138.99}}}));
}
