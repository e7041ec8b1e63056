// SPDX-License-Identifier: BSD-3-Clause
#include "indexing/indexingengine.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "core/resultcells.h"

using namespace saed::indexing;
using saed::core::PlaneAngle;
using saed::core::Spacing;

namespace {

// The cubic example: a = 0.5 nm, N = 1, d1 = d2 = 0.5, d3 = 50 / 141.42, angles 90, 45, 45.
IndexingInput cubicExample() {
    IndexingInput input;
    input.cell = {0.5, 0.5, 0.5, 90, 90, 90};
    input.latticeType = saed::core::LatticeType::Simple;
    input.rangeN = 1;
    input.measured.spacingNm = {0.5, 0.5, 1 * (100 / 2.0) / 141.42};
    input.measured.angleDeg = {90, 45, 45};
    return input;
}

// Measures the real reflections g1, g2 and g1 + g2 of the input's cell.
void measurePattern(IndexingInput& input, const Hkl& g1, const Hkl& g2) {
    const auto gs = saed::core::ReciprocalMetric(input.cell);
    const Hkl g3{g1[0] + g2[0], g1[1] + g2[1], g1[2] + g2[2]};
    input.measured.spacingNm = {*Spacing(gs, g1), *Spacing(gs, g2), *Spacing(gs, g3)};
    input.measured.angleDeg = {*PlaneAngle(gs, g1, g2), *PlaneAngle(gs, g2, g3), *PlaneAngle(gs, g1, g3)};
}

void expectSameRows(const IndexingInput& input) {
    const std::vector<ResultRow> fast = indexPattern(input);
    const std::vector<ResultRow> plain = indexPatternTripleLoop(input);
    ASSERT_EQ(fast.size(), plain.size());
    for (std::size_t i = 0; i < fast.size(); ++i) ASSERT_EQ(fast[i], plain[i]) << "row " << i;  // every bit
}

}  // namespace

TEST(IndexingEngineTest, cubicExampleGivesTwentyFourRowsInLoopOrder) {
    const std::vector<ResultRow> rows = indexPattern(cubicExample());
    ASSERT_EQ(rows.size(), 24u);
    const auto first = resultCells(rows[0], 1);
    EXPECT_EQ(std::vector<std::string>(first.begin(), first.end()),
              (std::vector<std::string>{"第001组", "-1", "0", "0", "+", "0", "-1", "0", "＝", "-1", "-1", "0", "◇",
                                        "0.5000000", "0.5000000", "0.3535534", "◇", "90.0000", "45.0000",
                                        "45.0000"}));
    EXPECT_EQ(rows[1].g2, (Hkl{0, 0, -1}));
    // g1 runs over the six {1 0 0} in h, k, l order, four rows each.
    EXPECT_EQ(rows[4].g1, (Hkl{0, -1, 0}));
    EXPECT_EQ(rows[23].g1, (Hkl{1, 0, 0}));
    EXPECT_EQ(rows[23].g2, (Hkl{0, 1, 0}));
    for (const ResultRow& row : rows)
        for (std::size_t a = 0; a < 3; ++a) EXPECT_EQ(row.g1[a] + row.g2[a], row.g3[a]);
    expectSameRows(cubicExample());
}

TEST(IndexingEngineTest, theZeroPlaneAndANegativeRangeGiveNoRows) {
    // N = 0 examines only (0 0 0), which has no spacing and no angle: nothing is accepted, also
    // when zero measured spacings let it into every list.
    IndexingInput input = cubicExample();
    input.measured.spacingNm = {0, 0, 0};
    for (int n : {0, -1}) {
        input.rangeN = n;
        EXPECT_TRUE(indexPattern(input).empty()) << n;
        EXPECT_TRUE(indexPatternTripleLoop(input).empty()) << n;
    }
}

TEST(IndexingEngineTest, spacingEqualToToleranceEntersAngleEqualToToleranceDoesNot) {
    IndexingInput input = cubicExample();
    const auto gs = saed::core::ReciprocalMetric(input.cell);
    const double d100 = *Spacing(gs, {1, 0, 0});
    const double angle = *PlaneAngle(gs, {-1, 0, 0}, {0, -1, 0});

    // Spacing: d1 lies exactly one tolerance away from the {1 0 0} spacing.
    input.measured.spacingNm[0] = d100 + 0.01;
    input.tolerances.spacingNm[0] = std::abs(input.measured.spacingNm[0] - d100);
    EXPECT_EQ(indexPattern(input).size(), 24u);
    input.tolerances.spacingNm[0] = std::nextafter(input.tolerances.spacingNm[0], 0.0);
    EXPECT_TRUE(indexPattern(input).empty());

    // Angle: <R1,R2> lies exactly one tolerance away from the 90 degrees of every row.
    input = cubicExample();
    input.measured.angleDeg[0] = angle + 1.5;
    input.tolerances.angleDeg[0] = std::abs(angle - input.measured.angleDeg[0]);
    EXPECT_TRUE(indexPattern(input).empty());
    EXPECT_TRUE(indexPatternTripleLoop(input).empty());
    input.tolerances.angleDeg[0] = std::nextafter(input.tolerances.angleDeg[0], 10.0);
    EXPECT_EQ(indexPattern(input).size(), 24u);
}

// Patterns measured exactly on real reflections, with spacing tolerances of 0 and angle
// tolerances one step above the exact difference: each plane and angle sits on the edge of its
// window, where only the search's safety margins keep the fast search equal to the plain loop.
TEST(IndexingEngineTest, pruningKeepsPlanesAndAnglesOnTheWindowEdges) {
    IndexingInput input;
    input.cell = {0.32094, 0.32094, 0.52105, 90, 90, 120};
    input.rangeN = 3;
    input.tolerances.spacingNm = {0, 0, 0};
    // Angles on the edge of the cosine bands (g1 = (0 0 2), g2 = (-3 0 -3)).
    input.measured.spacingNm = {0.26052500000000001, 0.081744520798544995, 0.091216662826728842};
    input.measured.angleDeg = {115.74811839719226, 18.137589497405227, 102.68760292821491};
    input.tolerances.angleDeg = {2.3285512924577607, 0.14325382651492194, 2.6052689094551771};
    EXPECT_FALSE(indexPatternTripleLoop(input).empty());
    expectSameRows(input);
    // Spacings on the edge of the spacing windows (g1 = (2 2 0), g2 = (1 1 -3)).
    input.measured.spacingNm = {0.080235000000000015, 0.11786420360306857, 0.051120565775106847};
    input.measured.angleDeg = {40.166704279248876, 24.959669655914922, 16.401255501918403};
    input.tolerances.angleDeg = {2.5688442345605655, 0.65839235479535685, 0.71623100118075922};
    EXPECT_FALSE(indexPatternTripleLoop(input).empty());
    expectSameRows(input);
}

TEST(IndexingEngineTest, parallelAndAntiparallelPlanesAreScreenedLikeOthers) {
    IndexingInput parallel = cubicExample();
    parallel.rangeN = 2;
    parallel.measured.spacingNm = {0.5, 0.5, 0.25};  // g2 = g1, g3 = 2 g1
    parallel.measured.angleDeg = {0, 0, 0};
    const std::vector<ResultRow> rows = indexPattern(parallel);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].g1, (Hkl{-1, 0, 0}));
    EXPECT_EQ(rows[0].g3, (Hkl{-2, 0, 0}));
    EXPECT_EQ(resultCells(rows[0], 1)[17], "0.0000");
    expectSameRows(parallel);

    IndexingInput antiparallel = parallel;
    antiparallel.measured.spacingNm = {0.5, 0.25, 0.5};  // g2 = -2 g1, g3 = -g1
    antiparallel.measured.angleDeg = {180, 0, 180};
    const std::vector<ResultRow> anti = indexPattern(antiparallel);
    ASSERT_EQ(anti.size(), 6u);
    EXPECT_EQ(anti[0].g2, (Hkl{2, 0, 0}));
    EXPECT_EQ(resultCells(anti[0], 1)[19], "180.0000");
    expectSameRows(antiparallel);
}

TEST(IndexingEngineTest, indexLookupGivesTheRowsOfTheTripleLoop) {
    std::mt19937 random(20240611);
    std::uniform_real_distribution<double> edge(0.25, 0.9), angle(70, 115), pick(0, 1);
    for (int trial = 0; trial < 40; ++trial) {
        SCOPED_TRACE(trial);
        IndexingInput input;
        input.cell = {edge(random), edge(random), edge(random), angle(random), angle(random), angle(random)};
        if (trial % 4 == 0) input.cell = {0.32, 0.32, 0.52, 90, 90, 120};
        if (!saed::core::isCell(input.cell)) continue;
        input.latticeType = *saed::core::latticeTypeFromCode(trial % 5);
        input.rangeN = 1 + trial % 3;
        measurePattern(input, {1, trial % 2, 0}, {0, 1, 1 - trial % 2});
        const double loose = 0.02 + 0.1 * pick(random);
        input.tolerances.spacingNm = {loose, loose, loose};
        input.tolerances.angleDeg = {5 + 20 * pick(random), 5 + 20 * pick(random), 30};
        if (trial % 7 == 0) input.measured.spacingNm[0] = 0;  // (0 0 0) and padding in list 1
        if (trial % 7 == 1) input.tolerances.spacingNm[2] = 1;  // (0 0 0) in list 3 with real planes
        expectSameRows(input);
    }

    // A long c axis, where each (h k) row holds many l of similar spacing.
    IndexingInput input;
    input.cell = {0.325, 0.325, 3.722, 90, 90, 120};
    input.rangeN = 8;
    measurePattern(input, {2, 0, 7}, {0, 2, 7});
    const std::size_t found = indexPattern(input).size();
    EXPECT_GT(found, 0u);
    expectSameRows(input);
    input.latticeType = saed::core::LatticeType::Rhombic;
    expectSameRows(input);
    // A window reaching below 0 nm, and one without any bound.
    input.latticeType = saed::core::LatticeType::Simple;
    input.rangeN = 3;
    input.tolerances.spacingNm = {0.5, 0.008, std::numeric_limits<double>::infinity()};
    input.tolerances.angleDeg = {40, 40, 40};
    EXPECT_GT(indexPattern(input).size(), found);
    expectSameRows(input);
}

TEST(IndexingEngineTest, rowLimitAndCancelKeepTheRowsFoundSoFarInOrder) {
    const IndexingInput input = cubicExample();
    const std::vector<ResultRow> full = indexPattern(input);
    ASSERT_EQ(full.size(), 24u);

    RunControl control;
    control.rowLimit = 10;
    IndexingResult cut = indexPattern(input, control);
    EXPECT_EQ(cut.end, RunEnd::RowLimit);
    EXPECT_EQ(cut.rows, std::vector<ResultRow>(full.begin(), full.begin() + 10));

    control.rowLimit = 24;  // exactly the rows there are: nothing was cut
    EXPECT_EQ(indexPattern(input, control).end, RunEnd::Complete);

    // Cancelled after the second progress report: a prefix of the rows, progress rising.
    std::vector<double> reports;
    control.rowLimit = kRowLimit;
    control.progress = [&reports](double f) { reports.push_back(f); };
    control.cancelled = [&reports] { return reports.size() >= 2; };
    cut = indexPattern(input, control);
    EXPECT_EQ(cut.end, RunEnd::Cancelled);
    ASSERT_LT(cut.rows.size(), full.size());
    EXPECT_TRUE(std::equal(cut.rows.begin(), cut.rows.end(), full.begin()));
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_GT(reports.back(), 0.0);
}
