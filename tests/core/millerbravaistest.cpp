// SPDX-License-Identifier: BSD-3-Clause
// Four-index notation of hexagonal cells, and the crystal's Cartesian frame.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "core/crystalframe.h"
#include "core/millerbravais.h"

namespace {

using namespace saed::core;

const Cell kMg{0.32094, 0.32094, 0.52107, 90, 90, 120};

// Angle between two four-index directions from the hexagonal formula, independent of the
// three-index metric: with a1, a2, a3 at 120 degrees and U + V + T = 0,
// r1 . r2 = 3/2 a^2 (U1 U2 + V1 V2 + T1 T2) + c^2 W1 W2.
double fourIndexAngleDeg(const Uvtw& p, const Uvtw& q, double a, double c) {
    const auto product = [a, c](const Uvtw& x, const Uvtw& y) {
        return 1.5 * a * a * static_cast<double>(x[0] * y[0] + x[1] * y[1] + x[2] * y[2]) +
               c * c * static_cast<double>(x[3] * y[3]);
    };
    return std::acos(std::clamp(product(p, q) / std::sqrt(product(p, p) * product(q, q)), -1.0, 1.0)) * 180.0 /
           3.14159265358979323846;
}

}  // namespace

TEST(MillerBravaisTest, hexagonalCellIsTheCellsShapeWhateverTheLatticeType) {
    EXPECT_TRUE(isHexagonalCell(kMg));
    EXPECT_TRUE(isHexagonalCell({0.5, 0.5, 0.5, 90, 90, 120}));
    for (const Cell& other : {Cell{0.5, 0.5, 0.5, 90, 90, 90}, Cell{0.5, 0.51, 0.8, 90, 90, 120}, Cell{0.5, 0.5, 0.8, 90, 90, 60},
                              Cell{0.5, 0.5, 0.8, 90, 91, 120}, Cell{0, 0, 0.8, 90, 90, 120}})
        EXPECT_FALSE(isHexagonalCell(other)) << other.bNm << " " << other.betaDeg << " " << other.gammaDeg;
}

TEST(MillerBravaisTest, textbookIndicesAndRefusals) {
    EXPECT_EQ(toFourIndex(Hkl{1, 0, 0}), (Hkil{1, 0, -1, 0}));
    EXPECT_EQ(toFourIndex(Hkl{1, 1, 2}), (Hkil{1, 1, -2, 2}));
    const std::pair<Uvw, Uvtw> directions[] = {{{1, 0, 0}, {2, -1, -1, 0}}, {{1, 1, 0}, {1, 1, -2, 0}},
                                               {{0, 0, 1}, {0, 0, 0, 1}},   {{0, 1, 0}, {-1, 2, -1, 0}},
                                               {{1, 0, 1}, {2, -1, -1, 3}}, {{2, 1, 0}, {1, 0, -1, 0}}};
    for (const auto& [three, four] : directions) {
        EXPECT_EQ(toFourIndex(three), four) << indexText(four);
        EXPECT_EQ(fromFourIndex(four), three) << indexText(four);
    }
    EXPECT_EQ(fromFourIndex(Hkil{0, 1, -1, 0}), (Hkl{0, 1, 0}));
    EXPECT_FALSE(fromFourIndex(Hkil{1, 0, 0, 0}));
    EXPECT_FALSE(fromFourIndex(Uvtw{2, -1, 1, 0}));
    EXPECT_EQ(indexText(Uvtw{2, -1, -1, 0}), "2 -1 -1 0");
}

TEST(MillerBravaisTest, everyIndexUpToSixRoundTripsAndKeepsItsAngles) {
    const auto frame = CrystalFrame::of(kMg);
    ASSERT_TRUE(frame);
    const Uvw reference{1, -2, 3};
    for (int h = -6; h <= 6; ++h)
        for (int k = -6; k <= 6; ++k)
            for (int l = -6; l <= 6; ++l) {
                SCOPED_TRACE(std::to_string(h) + " " + std::to_string(k) + " " + std::to_string(l));
                const Hkl plane{h, k, l};
                const Hkil four = toFourIndex(plane);
                EXPECT_EQ(four[0] + four[1] + four[2], 0);
                EXPECT_EQ(fromFourIndex(four), plane);
                if (h == 0 && k == 0 && l == 0) continue;
                const Uvw direction{h, k, l};
                const Uvtw fourDirection = toFourIndex(direction);
                EXPECT_EQ(fourDirection[0] + fourDirection[1] + fourDirection[2], 0);
                const long long divisor = std::gcd(std::gcd(h, k), l);
                EXPECT_EQ(fromFourIndex(fourDirection), (Uvw{h / divisor, k / divisor, l / divisor}));
                // The same angle in both notations: the three-index vectors of the frame against
                // the four-index formula.
                const double threeIndex = *angleBetween(frame->direction(direction), frame->direction(reference));
                EXPECT_NEAR(threeIndex, fourIndexAngleDeg(fourDirection, toFourIndex(reference), kMg.aNm, kMg.cNm),
                            1e-9);
            }
}

TEST(CrystalFrameTest, planeNormalsAreNormalToTheirZonesAndRotationsTurnRightHanded) {
    const auto frame = CrystalFrame::of({0.4, 0.5, 0.6, 80, 95, 110});
    ASSERT_TRUE(frame);
    // A plane contains every direction of its zone: h u + k v + l w = 0.
    EXPECT_NEAR(dot(frame->planeNormal(Hkl{1, 2, -1}), frame->direction(Uvw{1, 0, 1})), 0, 1e-12);
    EXPECT_NEAR(dot(frame->planeNormal(Hkl{1, 0, 0}), frame->direction(Uvw{1, 0, 0})), 1, 1e-12);
    // Spacing from the frame equals the metric's.
    const Cell cell{0.4, 0.5, 0.6, 80, 95, 110};
    EXPECT_NEAR(1 / norm(frame->planeNormal(Hkl{1, 1, 1})), *Spacing(ReciprocalMetric(cell), Hkl{1, 1, 1}), 1e-12);
    EXPECT_FALSE(CrystalFrame::of({0.4, 0.5, 0.6, 10, 10, 150}));

    const Vec3 turned = multiply(rotationAbout({0, 0, 1}, 90), Vec3{1, 0, 0});
    EXPECT_NEAR(turned[1], 1, 1e-15);
    EXPECT_NEAR(rotationAngle(rotationAbout(*unit({1, 1, 1}), 120)), 120, 1e-9);
}
