#include "indexing/solutionfamilies.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

using namespace saed::indexing;
using saed::core::Cell;
using saed::core::Hkl;
using saed::core::Uvw;

namespace {

const Cell kAluminium{0.40495, 0.40495, 0.40495, 90, 90, 90};
const Cell kMagnesium{0.3209, 0.3209, 0.5211, 90, 90, 120};

// The pattern of g1, g2 and g3 = g1 + g2 as measured exactly, with the default tolerances.
IndexingInput exactPattern(const Cell& cell, int latticeType, int rangeN, Hkl g1, Hkl g2) {
    const auto gs = saed::core::ReciprocalMetric(cell);
    const Hkl g3{g1[0] + g2[0], g1[1] + g2[1], g1[2] + g2[2]};
    IndexingInput input;
    input.cell = cell;
    input.latticeType = latticeType;
    input.rangeN = rangeN;
    input.measured.spacingNm = {*saed::core::Spacing(gs, g1), *saed::core::Spacing(gs, g2),
                                *saed::core::Spacing(gs, g3)};
    input.measured.angleDeg = {*saed::core::PlaneAngle(gs, g1, g2), *saed::core::PlaneAngle(gs, g2, g3),
                               *saed::core::PlaneAngle(gs, g1, g3)};
    return input;
}

FamilyGrouping familiesOf(const IndexingInput& input, const std::vector<ResultRow>& rows) {
    std::vector<double> misfits;
    for (const ResultRow& row : rows) misfits.push_back(misfit(row, input.measured, input.tolerances));
    return groupFamilies(rows, misfits, saed::core::holohedry(input.cell));
}

ResultRow row(Hkl g1, Hkl g2) { return {g1, g2, {g1[0] + g2[0], g1[1] + g2[1], g1[2] + g2[2]}, {}, {}}; }

}  // namespace

TEST(SolutionFamiliesTest, aluminiumSampleIsOneFamily) {
    // The sample: {1 1 1} + {1 1 1} = {2 0 0} at 109.47 degrees, 24 rows.
    const IndexingInput input = exactPattern(kAluminium, 3, 5, {-1, -1, -1}, {-1, 1, 1});
    const std::vector<ResultRow> rows = indexPattern(input);
    ASSERT_EQ(rows.size(), 24u);
    // Row 1, (-1 -1 -1) + (-1 1 1), has the calculator's zone [0 1 -1].
    EXPECT_EQ(zoneOf(rows[0]), (Uvw{0, 1, -1}));

    const FamilyGrouping grouping = familiesOf(input, rows);
    ASSERT_EQ(grouping.families.size(), 1u);
    const SolutionFamily& family = grouping.families[0];
    EXPECT_EQ(family.id, 1);
    EXPECT_EQ(family.rowCount, 24u);
    EXPECT_EQ(family.zone, (Uvw{1, 1, 0}));
    EXPECT_EQ(family.forms, (std::array<Hkl, 3>{Hkl{1, 1, 1}, Hkl{1, 1, 1}, Hkl{2, 0, 0}}));
    EXPECT_LT(family.misfit, 1e-6);
    EXPECT_EQ(grouping.familyOfRow, std::vector<int>(24, 1));
}

TEST(SolutionFamiliesTest, aluminiumAmbiguousPatternSplitsByZone) {
    // {3 1 1} + {2 2 0} = {3 1 1} at 115.24 degrees lies in <0 1 1> zones (24 ordered pairs: 48
    // operations, each pair kept by one mirror) and in <1 1 4> zones (48, none kept) alike.
    const IndexingInput input = exactPattern(kAluminium, 3, 4, {3, 1, -1}, {0, -2, 2});
    const std::vector<ResultRow> rows = indexPattern(input);
    ASSERT_EQ(rows.size(), 72u);
    const FamilyGrouping grouping = familiesOf(input, rows);
    ASSERT_EQ(grouping.families.size(), 2u);
    const std::array<Hkl, 3> forms{Hkl{3, 1, 1}, Hkl{2, 2, 0}, Hkl{3, 1, 1}};
    const std::vector<saed::core::LatticeOp> ops = saed::core::holohedry(kAluminium);
    for (const SolutionFamily& family : grouping.families) {
        EXPECT_EQ(family.forms, forms);
        // Every row of the family has a zone of its <uvw>, and the representative is its own row.
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (grouping.familyOfRow[r] == family.id) {
                EXPECT_EQ(saed::core::axisFamilyRepresentative(ops, zoneOf(rows[r])), family.zone);
            }
        }
        EXPECT_EQ(grouping.familyOfRow[family.representative], family.id);
    }
    // Equal misfits keep the order of first appearance.
    EXPECT_EQ(grouping.families[0].id, 1);
    EXPECT_EQ(grouping.families[0].zone, (Uvw{1, 1, 0}));
    EXPECT_EQ(grouping.families[0].rowCount, 24u);
    EXPECT_EQ(grouping.families[1].zone, (Uvw{4, 1, 1}));
    EXPECT_EQ(grouping.families[1].rowCount, 48u);
}

TEST(SolutionFamiliesTest, hexagonalFamilyNeedsTheSixFoldAxis) {
    // Mg along [0 0 1]: {1 0 0} + {1 0 0} = {1 1 0} at 60 degrees; 6 choices of g1, 2 of g2.
    const IndexingInput input = exactPattern(kMagnesium, 0, 3, {1, 0, 0}, {0, 1, 0});
    const std::vector<ResultRow> rows = indexPattern(input);
    ASSERT_EQ(rows.size(), 12u);
    const FamilyGrouping grouping = familiesOf(input, rows);
    ASSERT_EQ(grouping.families.size(), 1u);
    EXPECT_EQ(grouping.families[0].zone, (Uvw{0, 0, 1}));
    EXPECT_EQ(grouping.families[0].forms[0], (Hkl{1, 0, 0}));
    // With the triclinic group only Friedel pairs join: six families of two rows.
    const std::vector<double> zeros(rows.size(), 0.0);
    const FamilyGrouping friedelOnly = groupFamilies(rows, zeros, {saed::core::identityOp()});
    ASSERT_EQ(friedelOnly.families.size(), 6u);
    for (const SolutionFamily& family : friedelOnly.families) EXPECT_EQ(family.rowCount, 2u);
}

TEST(SolutionFamiliesTest, monoclinicFamiliesOrderAndRepresentatives) {
    // beta = 100: (1 0 1) and (1 0 -1) are not equivalent; 2/m joins rows 0, 1 and 3.
    const std::vector<ResultRow> rows{row({1, 0, 1}, {0, 1, 0}), row({-1, 0, -1}, {0, 1, 0}),
                                      row({1, 0, -1}, {0, 1, 0}), row({-1, 0, -1}, {0, -1, 0})};
    const std::vector<double> misfits{0.5, 0.2, 0.1, 0.2};
    const FamilyGrouping grouping = groupFamilies(rows, misfits, saed::core::holohedry({0.5, 0.6, 0.7, 90, 100, 90}));
    EXPECT_EQ(grouping.familyOfRow, (std::vector<int>{1, 1, 2, 1}));
    ASSERT_EQ(grouping.families.size(), 2u);
    // Best first: family 2 (misfit 0.1), then family 1 with its least misfit, first of equals.
    EXPECT_EQ(grouping.families[0].id, 2);
    EXPECT_EQ(grouping.families[0].forms[0], (Hkl{1, 0, -1}));
    EXPECT_EQ(grouping.families[1].id, 1);
    EXPECT_EQ(grouping.families[1].representative, 1u);
    EXPECT_DOUBLE_EQ(grouping.families[1].misfit, 0.2);
    EXPECT_EQ(grouping.families[1].rowCount, 3u);
    EXPECT_EQ(grouping.families[1].forms, (std::array<Hkl, 3>{Hkl{1, 0, 1}, Hkl{0, 1, 0}, Hkl{1, 1, 1}}));
    // Zone (1 0 1) x (0 1 0) = [-1 0 1]; <1 0 -1> is its family under 2/m.
    EXPECT_EQ(grouping.families[1].zone, (Uvw{1, 0, -1}));
}

TEST(SolutionFamiliesTest, misfitWeighsEachDeviationByItsTolerance) {
    MeasuredPattern measured;
    measured.spacingNm = {0.2, 0.2, 0.15};
    measured.angleDeg = {90, 45, 45};
    Tolerances tolerances;  // 0.008 nm and 2 degrees
    ResultRow r = row({1, 0, 0}, {0, 1, 0});
    r.spacingNm = {0.204, 0.2, 0.15};  // half a tolerance off
    r.angleDeg = {90, 45, 47};         // one tolerance off
    EXPECT_NEAR(misfit(r, measured, tolerances), std::sqrt((0.25 + 1.0) / 6.0), 1e-12);
    r.angleDeg = {90, 45, 45};
    EXPECT_NEAR(misfit(r, measured, tolerances), std::sqrt(0.25 / 6.0), 1e-12);
    // A zero tolerance: an exact value costs nothing, any deviation is infinite.
    tolerances.angleDeg[2] = 0;
    EXPECT_NEAR(misfit(r, measured, tolerances), std::sqrt(0.25 / 6.0), 1e-12);
    r.angleDeg[2] = 45.001;
    EXPECT_TRUE(std::isinf(misfit(r, measured, tolerances)));
    // A measured spacing that could not be computed.
    measured.spacingNm[0] = std::nan("");
    EXPECT_TRUE(std::isinf(misfit(row({1, 0, 0}, {0, 1, 0}), measured, Tolerances{})));
}
