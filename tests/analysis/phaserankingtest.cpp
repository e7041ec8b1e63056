// SPDX-License-Identifier: BSD-3-Clause
// The space-group rule in the indexing run, double diffraction, the library records of crystal
// phases and the ranking of a screening.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "indexing/indexingengine.h"
#include "library/builtinphases.h"
#include "analysis/phaseranking.h"
#include "library/phasetexts.h"
#include "library/phasetree.h"
#include "library/spacegroup.h"

using namespace saed;
using namespace saed::library;
using namespace saed::analysis;

namespace {

const CrystalPhase& builtIn(const std::string& name) {
    const auto& phases = builtInPhases();
    const auto it = std::find_if(phases.begin(), phases.end(), [&](const CrystalPhase& p) { return p.name == name; });
    EXPECT_NE(it, phases.end()) << name;
    return *it;
}

// alpha-Ti along [2 -1 -1 0]: (0 0 0 1), (0 1 -1 0) and their sum, spacings in nm.
indexing::MeasuredPattern titaniumPattern() { return {{0.46835, 0.255529, 0.224315}, {90, 28.62, 61.38}}; }

bool hasPlane(const indexing::ResultRow& row, const core::Hkl& p) { return row.g1 == p || row.g2 == p || row.g3 == p; }

}  // namespace

TEST(SpaceGroupIndexingTest, hcpBasalSpotOnlyByDoubleDiffractionAndMarked) {
    const CrystalPhase& ti = builtIn("α-Ti");
    indexing::IndexingInput input = phaseInput(ti, titaniumPattern(), {}, 3, false);
    EXPECT_TRUE(indexing::indexPattern(input).empty());  // (0 0 1) is extinguished by the 63 screw

    input.doubleDiffraction = true;
    const std::vector<indexing::ResultRow> rows = indexing::indexPattern(input);
    ASSERT_EQ(rows.size(), 12u);
    for (const indexing::ResultRow& row : rows) {
        EXPECT_TRUE(row.doubleDiffraction);
        EXPECT_TRUE(hasPlane(row, {0, 0, 1}) || hasPlane(row, {0, 0, -1}));
    }
    // The reference loop admits the same planes and marks the same rows.
    EXPECT_EQ(indexing::indexPatternTripleLoop(input), rows);

    // (0 0 2) is allowed: a pattern of allowed planes gives unmarked rows, with or without the option.
    const indexing::MeasuredPattern allowedPattern{{0.234175, 0.255529, 0.17265}, {90, 47.5, 42.5}};
    indexing::IndexingInput plain = phaseInput(ti, allowedPattern, {{0.002, 0.002, 0.002}, {2, 2, 2}}, 3, false);
    const auto plainRows = indexing::indexPattern(plain);
    ASSERT_FALSE(plainRows.empty());
    plain.doubleDiffraction = true;
    const auto withOption = indexing::indexPattern(plain);
    EXPECT_EQ(withOption, plainRows);

    // The rhombic lattice type misses the pattern, and the space-group entry without a rule admits
    // nothing.
    indexing::IndexingInput rhombic = input;
    rhombic.latticeType = saed::core::LatticeType::Rhombic;
    rhombic.rule.reset();
    rhombic.doubleDiffraction = false;
    EXPECT_TRUE(indexing::indexPattern(rhombic).empty());
    rhombic.latticeType = saed::core::LatticeType::SpaceGroup;
    EXPECT_TRUE(indexing::indexPattern(rhombic).empty());
}

TEST(SpaceGroupIndexingTest, siliconByItsSpaceGroupDropsTheFcc200) {
    const CrystalPhase& si = builtIn("Si");
    const double a = si.cell.aNm;
    // [0 0 1]: (2 0 0), (0 2 0), (2 2 0): face-centred allows them, F d -3 m does not allow (2 0 0).
    const indexing::MeasuredPattern pattern{{a / 2, a / 2, a / std::sqrt(8.0)}, {90, 45, 45}};
    indexing::IndexingInput input = phaseInput(si, pattern, {}, 2, false);
    EXPECT_TRUE(indexing::indexPattern(input).empty());
    input.latticeType = saed::core::LatticeType::FaceCentred;
    EXPECT_EQ(indexing::indexPattern(input).size(), 24u);
    input.latticeType = saed::core::LatticeType::SpaceGroup;
    input.doubleDiffraction = true;  // (2 0 0) = (1 1 1) + (1 -1 -1), but not within [0 0 1]
    EXPECT_TRUE(indexing::indexPattern(input).empty());
}

TEST(PhaseRecordsTest, crystalPhasesAsNineFieldRecords) {
    CrystalPhase odd = builtIn("α-Ti");
    odd.name = "Ti;\nnew";
    const std::vector<CrystalPhase> phases = {builtIn("Si"), odd};
    const ParsedLibrary parsed = parseLibraryText(libraryRecords(phases));
    ASSERT_TRUE(parsed.wholeRecords());
    ASSERT_EQ(parsed.records.size(), 2u);
    // Every field: a name that would break the record loses its separator and line break.
    using Fields = std::vector<std::string>;
    EXPECT_EQ(Fields(parsed.records[0].fields.begin(), parsed.records[0].fields.end()),
              (Fields{"Si", "面心点阵 F d -3 m:1 (227)", "1.0000", "0.5431021", "0.5431021", "0.5431021", "90", "90", "90"}));
    EXPECT_EQ(Fields(parsed.records[1].fields.begin(), parsed.records[1].fields.end()),
              (Fields{"Ti  new", "简单点阵 P 63/m m c (194)", "1.5873", "0.29506", "0.29506", "0.46835", "90", "90", "120"}));

    CrystalPhase bare = odd;
    bare.spaceGroup.reset();
    EXPECT_EQ(latticeTypeText(bare), "简单点阵");
    EXPECT_EQ(spaceGroupLabel(bare), "");
    for (const auto& [symbol, type] : {std::pair{"I m -3 m", "体心点阵"}, {"C 1 2/m 1", "底心点阵"}, {"R -3 m", "简单点阵"}}) {
        bare.spaceGroup = spaceGroupBySymbol(symbol);
        ASSERT_TRUE(bare.spaceGroup) << symbol;
        EXPECT_EQ(latticeTypeText(bare), type) << symbol;
    }
}

TEST(PhaseRankingTest, bestFamilyFirstAndPhasesWithoutRowsLastInOrder) {
    std::vector<PhaseRank> ranks(4);
    for (std::size_t i = 0; i < ranks.size(); ++i) ranks[i].phase = i;
    ranks[1].best = indexing::SolutionFamily{};
    ranks[1].best->misfit = 0.5;
    ranks[2].best = indexing::SolutionFamily{};
    ranks[2].best->misfit = 0.2;
    ranks[3].best = indexing::SolutionFamily{};
    ranks[3].best->misfit = 0.5;
    sortRanking(ranks);
    std::vector<std::size_t> order;
    for (const PhaseRank& r : ranks) order.push_back(r.phase);
    EXPECT_EQ(order, (std::vector<std::size_t>{2, 1, 3, 0}));

    // Against the whole built-in set, alpha-Ti indexes the [2 -1 -1 0] pattern best, through
    // (0 0 0 1) by double diffraction.
    const auto& phases = builtInPhases();
    const std::vector<PhaseRank> ranked = rankPhases(phases, titaniumPattern(), {}, 3, true);
    ASSERT_EQ(ranked.size(), phases.size());
    ASSERT_TRUE(ranked.front().best);
    EXPECT_EQ(phases[ranked.front().phase].name, "α-Ti");
    EXPECT_TRUE(ranked.front().doubleDiffraction);
    EXPECT_EQ(ranked.front().best->forms[0], (core::Hkl{0, 0, 1}));
    EXPECT_EQ(ranked.front().rows, 12u);
    for (std::size_t i = 1; i < ranked.size(); ++i) {
        if (!ranked[i].best) {
            EXPECT_FALSE(ranked.back().best);
            if (!ranked[i - 1].best) {
                EXPECT_LT(ranked[i - 1].phase, ranked[i].phase);
            }
        } else {
            ASSERT_TRUE(ranked[i - 1].best);
            EXPECT_LE(ranked[i - 1].best->misfit, ranked[i].best->misfit);
        }
    }
}
