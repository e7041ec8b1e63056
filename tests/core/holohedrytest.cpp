// SPDX-License-Identifier: BSD-3-Clause
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/holohedry.h"

using namespace saed::core;

namespace {

const Cell kCubic{0.40495, 0.40495, 0.40495, 90, 90, 90};
const Cell kHexagonal{0.3209, 0.3209, 0.5211, 90, 90, 120};
const Cell kMonoclinic{0.5, 0.6, 0.7, 90, 100, 90};

// Identity first, the inversion in, and closed under products.
void expectGroup(const std::vector<LatticeOp>& ops) {
    EXPECT_EQ(ops.front(), identityOp());
    EXPECT_NE(std::find(ops.begin(), ops.end(), inversionOp()), ops.end());
    for (const LatticeOp& a : ops)
        for (const LatticeOp& b : ops) {
            LatticeOp c{};
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j)
                    for (int k = 0; k < 3; ++k) c[i][j] += a[i][k] * b[k][j];
            ASSERT_NE(std::find(ops.begin(), ops.end(), c), ops.end());
        }
}

}  // namespace

TEST(HolohedryTest, orderOfEachSystemAndOfPseudoSymmetricCells) {
    // m-3m, 6/mmm, 4/mmm, -3m (rhombohedral axes), mmm, 2/m, -1.
    const struct {
        Cell cell;
        double tolerance;
        std::size_t order;
    } cases[] = {
        {kCubic, kMetricTolerance, 48},
        {kHexagonal, kMetricTolerance, 24},
        {{0.4, 0.4, 0.6, 90, 90, 90}, kMetricTolerance, 16},
        {{0.5, 0.5, 0.5, 70, 70, 70}, kMetricTolerance, 12},
        {{0.39, 1.38, 0.37, 90, 90, 90}, kMetricTolerance, 8},
        {kMonoclinic, kMetricTolerance, 4},
        {{0.5, 0.6, 0.7, 80, 95, 105}, kMetricTolerance, 2},
        {{0.5, 0.5, 0, 90, 90, 90}, kMetricTolerance, 2},  // not a cell
        // c/a = 1.0004 is cubic within 1e-3, tetragonal within 1e-4.
        {{0.4, 0.4, 0.40016, 90, 90, 90}, kMetricTolerance, 48},
        {{0.4, 0.4, 0.40016, 90, 90, 90}, 1e-4, 16},
        // A mirror turns cos(alpha) into -cos(alpha): 2 |cos 90.02| = 7e-4 passes, 90.05 not.
        {{0.39, 1.38, 0.37, 90.02, 90, 90}, kMetricTolerance, 8},
        {{0.39, 1.38, 0.37, 90.05, 90, 90}, kMetricTolerance, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.cell.cNm << " " << c.cell.alphaDeg << " " << c.tolerance);
        const std::vector<LatticeOp> ops = holohedry(c.cell, c.tolerance);
        EXPECT_EQ(ops.size(), c.order);
        expectGroup(ops);
    }
}

TEST(HolohedryTest, reflectionRulesAndRepresentatives) {
    const std::vector<LatticeOp> hexagonal = holohedry(kHexagonal);
    // The close-packed rule (h + 2k = 3n with l odd absent) keeps 6/mmm; rhombohedral centring in
    // hexagonal axes (-h + k + l = 3n) leaves -3m.
    EXPECT_EQ(keepingReflections(
                  hexagonal, [](const Hkl& p) { return ReflectionCondition(saed::core::LatticeType::Rhombic, p[0], p[1], p[2]); })
                  .size(),
              24u);
    const auto rhombohedral = keepingReflections(
        hexagonal, [](const Hkl& p) { return (-p[0] + p[1] + p[2] + 300) % 3 == 0; });
    EXPECT_EQ(rhombohedral.size(), 12u);
    expectGroup(rhombohedral);
    const LatticeOp twofold{{{-1, 0, 0}, {0, 1, 0}, {0, 0, -1}}};
    EXPECT_EQ(withInversion({twofold}).size(), 4u);
    // The largest member of each orbit; beta = 100 keeps (1 0 1) and (1 0 -1) apart.
    EXPECT_EQ(formRepresentative(hexagonal, {1, 1, 0}), (Hkl{2, -1, 0}));
    EXPECT_EQ(formRepresentative(hexagonal, {0, -1, 0}), (Hkl{1, 0, 0}));
    EXPECT_EQ(formRepresentative(holohedry(kMonoclinic), {-1, 0, 1}), (Hkl{1, 0, -1}));
    EXPECT_EQ(formRepresentative(holohedry(kMonoclinic), {-1, 0, -1}), (Hkl{1, 0, 1}));
    EXPECT_EQ(axisFamilyRepresentative(holohedry(kCubic), {-1, -1, -4}), (Uvw{4, 1, 1}));
}
