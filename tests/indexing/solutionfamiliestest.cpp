// SPDX-License-Identifier: BSD-3-Clause
#include "indexing/solutionfamilies.h"

#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

using namespace saed::indexing;
using saed::core::Cell;
using saed::core::Hkl;
using saed::core::Uvw;
using Forms = std::array<Hkl, 3>;

namespace {

const Cell kAluminium{0.40495, 0.40495, 0.40495, 90, 90, 90};

ResultRow row(Hkl g1, Hkl g2) {
    return {g1, g2, {g1[0] + g2[0], g1[1] + g2[1], g1[2] + g2[2]}, {}, {}, false};
}

// Indexes the pattern of g1, g2, g1 + g2 as measured exactly and groups the rows by the holohedry.
std::pair<std::vector<ResultRow>, FamilyGrouping> indexAndGroup(const Cell& cell, saed::core::LatticeType type, int n,
                                                                Hkl g1, Hkl g2) {
    const auto gs = saed::core::ReciprocalMetric(cell);
    const ResultRow exact = row(g1, g2);
    IndexingInput input{cell, type, n, {}, {}, {}, false};
    input.measured.spacingNm = {*saed::core::Spacing(gs, g1), *saed::core::Spacing(gs, g2),
                                *saed::core::Spacing(gs, exact.g3)};
    input.measured.angleDeg = {*saed::core::PlaneAngle(gs, g1, g2),
                               *saed::core::PlaneAngle(gs, g2, exact.g3),
                               *saed::core::PlaneAngle(gs, g1, exact.g3)};
    const std::vector<ResultRow> rows = indexPattern(input);
    std::vector<double> misfits;
    for (const ResultRow& r : rows) misfits.push_back(misfit(r, input.measured, input.tolerances));
    return {rows, groupFamilies(rows, misfits, saed::core::holohedry(cell))};
}

}  // namespace

TEST(SolutionFamiliesTest, aluminiumPatternsCollapseByZone) {
    // The sample: {1 1 1} + {1 1 1} = {2 0 0}, 24 rows, one family; row 1 has the calculator's
    // zone.
    const auto [rows, sample] = indexAndGroup(kAluminium, saed::core::LatticeType::FaceCentred, 5, {-1, -1, -1}, {-1, 1, 1});
    ASSERT_EQ(rows.size(), 24u);
    EXPECT_EQ(zoneOf(rows[0]), (Uvw{0, 1, -1}));
    ASSERT_EQ(sample.families.size(), 1u);
    EXPECT_EQ(sample.familyOfRow, std::vector<int>(24, 1));
    EXPECT_EQ(sample.families[0].zone, (Uvw{1, 1, 0}));
    EXPECT_EQ(sample.families[0].forms, (Forms{Hkl{1, 1, 1}, Hkl{1, 1, 1}, Hkl{2, 0, 0}}));
    EXPECT_LT(sample.families[0].misfit, 1e-6);

    // {3 1 1} + {2 2 0} = {3 1 1} at 115.24 degrees: 24 rows in <0 1 1> zones (each ordered pair
    // kept by one mirror of the 48 operations), 48 in <1 1 4>; equal misfits keep first-row order.
    const auto [rows2, ambiguous] = indexAndGroup(kAluminium, saed::core::LatticeType::FaceCentred, 4, {3, 1, -1}, {0, -2, 2});
    ASSERT_EQ(ambiguous.families.size(), 2u);
    const SolutionFamily& first = ambiguous.families[0];
    const SolutionFamily& second = ambiguous.families[1];
    EXPECT_EQ(std::tuple(first.id, first.zone, first.rowCount),
              std::tuple(1, Uvw{1, 1, 0}, std::size_t{24}));
    EXPECT_EQ(std::tuple(second.id, second.zone, second.rowCount),
              std::tuple(2, Uvw{4, 1, 1}, std::size_t{48}));
    EXPECT_EQ(second.forms, (Forms{Hkl{3, 1, 1}, Hkl{2, 2, 0}, Hkl{3, 1, 1}}));
    for (std::size_t r = 0; r < rows2.size(); ++r) {
        const Uvw zone = zoneOf(rows2[r]);
        const bool in411 = std::abs(zone[0]) + std::abs(zone[1]) + std::abs(zone[2]) == 6;
        EXPECT_EQ(ambiguous.familyOfRow[r], in411 ? 2 : 1) << r;
    }
}

TEST(SolutionFamiliesTest, hexagonalAndMonoclinicGroups) {
    // Mg along [0 0 1]: {1 0 0} + {1 0 0} = {1 1 0} at 60 degrees, 12 rows, one family under
    // 6/mmm; with the triclinic group only Friedel pairs join.
    const Cell magnesium{0.3209, 0.3209, 0.5211, 90, 90, 120};
    const auto [rows, hexagonal] = indexAndGroup(magnesium, saed::core::LatticeType::Simple, 3, {1, 0, 0}, {0, 1, 0});
    ASSERT_EQ(rows.size(), 12u);
    ASSERT_EQ(hexagonal.families.size(), 1u);
    EXPECT_EQ(hexagonal.families[0].zone, (Uvw{0, 0, 1}));
    EXPECT_EQ(groupFamilies(rows, std::vector<double>(12, 0.0), {saed::core::identityOp()})
                  .families.size(),
              6u);

    // beta = 100: 2/m joins rows 0, 1 and 3, not (1 0 -1) of row 2. Families come best first, each
    // represented by its least misfit (the first of equals).
    const std::vector<ResultRow> mono{row({1, 0, 1}, {0, 1, 0}), row({-1, 0, -1}, {0, 1, 0}),
                                      row({1, 0, -1}, {0, 1, 0}), row({-1, 0, -1}, {0, -1, 0})};
    const FamilyGrouping g = groupFamilies(mono, std::vector<double>{0.5, 0.2, 0.1, 0.2},
                                           saed::core::holohedry({0.5, 0.6, 0.7, 90, 100, 90}));
    EXPECT_EQ(g.familyOfRow, (std::vector<int>{1, 1, 2, 1}));
    ASSERT_EQ(g.families.size(), 2u);
    EXPECT_EQ(std::tuple(g.families[0].id, g.families[0].representative, g.families[0].misfit),
              std::tuple(2, 2u, 0.1));
    EXPECT_EQ(std::tuple(g.families[1].id, g.families[1].representative, g.families[1].misfit),
              std::tuple(1, 1u, 0.2));
    EXPECT_EQ(g.families[1].rowCount, 3u);
    EXPECT_EQ(g.families[1].forms, (Forms{Hkl{1, 0, 1}, Hkl{0, 1, 0}, Hkl{1, 1, 1}}));
    EXPECT_EQ(g.families[1].zone, (Uvw{1, 0, -1}));  // (1 0 1) x (0 1 0) = [-1 0 1]
}

TEST(SolutionFamiliesTest, misfitWeighsEachDeviationByItsTolerance) {
    MeasuredPattern measured{{0.2, 0.2, 0.15}, {90, 45, 45}};
    Tolerances tolerances;                                      // 0.008 nm and 2 degrees
    ResultRow r{{}, {}, {}, {0.204, 0.2, 0.15}, {90, 45, 47}, false};  // half and one tolerance off
    EXPECT_NEAR(misfit(r, measured, tolerances), std::sqrt(1.25 / 6.0), 1e-12);
    // A zero tolerance: an exact value costs nothing, any deviation is infinite.
    r.angleDeg[2] = 45;
    tolerances.angleDeg[2] = 0;
    EXPECT_NEAR(misfit(r, measured, tolerances), std::sqrt(0.25 / 6.0), 1e-12);
    r.angleDeg[2] = 45.001;
    EXPECT_TRUE(std::isinf(misfit(r, measured, tolerances)));
    // A measured spacing that could not be computed.
    measured.spacingNm[0] = std::nan("");
    EXPECT_TRUE(std::isinf(misfit(r, measured, Tolerances{})));
}
