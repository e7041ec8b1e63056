#include "core/holohedry.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace saed::core;

namespace {

// Every product of two operations is in the set, and each keeps the metric to the tolerance.
void expectGroupKeepingMetric(const std::vector<LatticeOp>& ops) {
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

TEST(HolohedryTest, orderOfEachCrystalSystem) {
    // Orders of the seven lattice point groups: m-3m, 6/mmm, 4/mmm, -3m, mmm, 2/m, -1.
    const struct {
        const char* system;
        Cell cell;
        std::size_t order;
    } cases[] = {
        {"cubic", {0.40495, 0.40495, 0.40495, 90, 90, 90}, 48},
        {"hexagonal", {0.3209, 0.3209, 0.5211, 90, 90, 120}, 24},
        {"tetragonal", {0.4, 0.4, 0.6, 90, 90, 90}, 16},
        {"rhombohedral axes", {0.5, 0.5, 0.5, 70, 70, 70}, 12},
        {"orthorhombic", {0.39, 1.38, 0.37, 90, 90, 90}, 8},
        {"monoclinic", {0.5, 0.6, 0.7, 90, 100, 90}, 4},
        {"triclinic", {0.5, 0.6, 0.7, 80, 95, 105}, 2},
        {"not a cell", {0.5, 0.5, 0, 90, 90, 90}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.system);
        const std::vector<LatticeOp> ops = holohedry(c.cell);
        EXPECT_EQ(ops.size(), c.order);
        EXPECT_EQ(ops.front(), identityOp());
        EXPECT_NE(std::find(ops.begin(), ops.end(), inversionOp()), ops.end());
        expectGroupKeepingMetric(ops);
    }
}

TEST(HolohedryTest, toleranceDecidesAPseudoSymmetricCell) {
    // c/a = 1.0004: cubic at the default tolerance (1e-3 on the metric, 8e-4 apart here),
    // tetragonal when the tolerance is tighter than the distortion.
    const Cell nearlyCubic{0.4, 0.4, 0.40016, 90, 90, 90};
    EXPECT_EQ(holohedry(nearlyCubic).size(), 48u);
    EXPECT_EQ(holohedry(nearlyCubic, 1e-4).size(), 16u);
    // A mirror turns cos(alpha) into -cos(alpha): 90.02 degrees (2 |cos| = 7e-4) still reads as
    // orthorhombic, 90.05 (1.7e-3) no longer.
    EXPECT_EQ(holohedry({0.39, 1.38, 0.37, 90.02, 90, 90}).size(), 8u);
    EXPECT_EQ(holohedry({0.39, 1.38, 0.37, 90.05, 90, 90}).size(), 4u);
}

TEST(HolohedryTest, reflectionRulesKeepOrLowerTheSymmetry) {
    const std::vector<LatticeOp> hexagonal = holohedry({0.3209, 0.3209, 0.5211, 90, 90, 120});
    // The close-packed rule (h + 2k = 3n with l odd is absent) keeps all of 6/mmm.
    const auto closePacked = [](const Hkl& p) { return ReflectionCondition(4, p[0], p[1], p[2]); };
    EXPECT_EQ(keepingReflections(hexagonal, closePacked).size(), 24u);
    // Rhombohedral centring in hexagonal axes (-h + k + l = 3n) leaves -3m.
    const auto obverse = [](const Hkl& p) { return (((-p[0] + p[1] + p[2]) % 3) + 3) % 3 == 0; };
    const std::vector<LatticeOp> rhombohedral = keepingReflections(hexagonal, obverse);
    EXPECT_EQ(rhombohedral.size(), 12u);
    expectGroupKeepingMetric(rhombohedral);
}

TEST(HolohedryTest, formAndAxisRepresentatives) {
    const std::vector<LatticeOp> cubic = holohedry({0.40495, 0.40495, 0.40495, 90, 90, 90});
    EXPECT_EQ(formRepresentative(cubic, {-1, 1, -1}), (Hkl{1, 1, 1}));
    EXPECT_EQ(formRepresentative(cubic, {0, -2, 0}), (Hkl{2, 0, 0}));
    EXPECT_EQ(formRepresentative(cubic, {-1, -3, 1}), (Hkl{3, 1, 1}));
    EXPECT_EQ(axisFamilyRepresentative(cubic, {0, 1, -1}), (Uvw{1, 1, 0}));
    EXPECT_EQ(axisFamilyRepresentative(cubic, {-1, -1, -4}), (Uvw{4, 1, 1}));

    const std::vector<LatticeOp> hexagonal = holohedry({0.3209, 0.3209, 0.5211, 90, 90, 120});
    EXPECT_EQ(formRepresentative(hexagonal, {0, -1, 0}), (Hkl{1, 0, 0}));
    EXPECT_EQ(formRepresentative(hexagonal, {-1, 1, 0}), (Hkl{1, 0, 0}));
    EXPECT_NE(formRepresentative(hexagonal, {1, 1, 0}), (Hkl{1, 0, 0}));
    EXPECT_EQ(formRepresentative(hexagonal, {0, 0, -2}), (Hkl{0, 0, 2}));

    // Monoclinic (b unique, beta 100): (1 0 1) and (1 0 -1) are different forms, (0 1 0) and
    // (0 -1 0) one; a rotation-only group gains the inversion through withInversion.
    const std::vector<LatticeOp> monoclinic = holohedry({0.5, 0.6, 0.7, 90, 100, 90});
    EXPECT_EQ(formRepresentative(monoclinic, {-1, 0, -1}), (Hkl{1, 0, 1}));
    EXPECT_EQ(formRepresentative(monoclinic, {-1, 0, 1}), (Hkl{1, 0, -1}));
    EXPECT_EQ(formRepresentative(monoclinic, {0, -1, 0}), (Hkl{0, 1, 0}));
    const LatticeOp twofold{{{-1, 0, 0}, {0, 1, 0}, {0, 0, -1}}};
    EXPECT_EQ(withInversion({twofold}).size(), 4u);
}
