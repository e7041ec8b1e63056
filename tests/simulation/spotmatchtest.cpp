// SPDX-License-Identifier: BSD-3-Clause
#include "simulation/spotmatch.h"

#include <cmath>

#include <algorithm>
#include <utility>  // for pair
#include <vector>

#include <gtest/gtest.h>

#include "simulation/rowmatch.h"

using namespace saed::simulation;

namespace {

const saed::core::Cell kAluminium{0.40495, 0.40495, 0.40495, 90, 90, 90};

// The "image" of a zone pattern drawn at 20 px per 1/nm about (400, 300), y down, in an 800 x 600
// frame whose R1 and R2 end on the spots of g1 and g2; the spots inside it and the direct beam
// are the detected ones.
std::pair<ImageFrame, std::vector<PixelPoint>> drawnImage(const ZonePattern& truth, const Hkl& g1, const Hkl& g2) {
    ImageFrame frame{{400, 300}, {}, 1, {}, 1, 800, 600};
    std::vector<PixelPoint> detected{frame.centre};
    for (const Spot& s : truth.spots) {
        const PixelPoint p{400 + 20 * s.xInvNm, 300 - 20 * s.yInvNm};
        if (s.hkl == g1) frame.r1End = p;
        if (s.hkl == g2) frame.r2End = p;
        if (p.x >= 0 && p.y >= 0 && p.x < 800 && p.y < 600) detected.push_back(p);
    }
    return {frame, detected};
}

}  // namespace

TEST(SpotMatchTest, mapsThroughR1AndR2AndCountsInsideWithoutTheDirectBeam) {
    ImageFrame frame{{400, 300}, {460, 280}, 2, {390, 340}, 1, 800, 600};
    // g1, g2, 2 g2 - g1, and (1 1 1) outside the plane of g1 and g2.
    std::vector<Spot> spots(4);
    spots[0].hkl = {2, 0, 0};
    spots[1].hkl = {0, 2, 0};
    spots[2].hkl = {-2, 4, 0};
    spots[3].hkl = {1, 1, 1};
    const auto on = spotsOnImage(spots, {2, 0, 0}, {0, 2, 0}, frame);
    ASSERT_EQ(on.value().size(), 3u);
    const double expected[][2] = {{430, 290}, {390, 340}, {400 - 30 - 20, 300 + 10 + 80}};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(std::pair((*on)[i].x, (*on)[i].y), std::pair(expected[i][0], expected[i][1]));
    EXPECT_DOUBLE_EQ(defaultMatchRadius(frame), 0.25 * std::hypot(30, 10));
    EXPECT_FALSE(spotsOnImage(spots, {2, 0, 0}, {-4, 0, 0}, frame).has_value());

    // (900, 10) is outside the image, (401, 300) and (400, 301) are the direct beam.
    const SpotMatch m = matchSpots({{10, 10}, {50, 50}, {900, 10}, {401, 300}},
                                   {{11, 10}, {200, 200}, {400, 301}}, frame, 3);
    EXPECT_EQ(
        std::vector<int>({m.predictedInside, m.predictedFound, m.detected, m.detectedExplained}),
        std::vector<int>({2, 1, 2, 1}));
    EXPECT_DOUBLE_EQ(m.score(), 0.5);
    EXPECT_EQ(matchSpots({}, {}, frame, 3).score(), 0.0);
}

TEST(SpotMatchTest, theTrueZoneMatchesBetterThanTheAmbiguousOne) {
    // {3 1 1} + {2 2 0} = {3 1 1} at 115.24 degrees fits Al [0 -1 -1] and [1 1 4] alike. Draw the
    // "image" from one zone at 20 px per 1/nm (y down), match both answers against it.
    const Hkl g1{3, 1, -1};
    struct Answer {
        Uvw zone;
        Hkl g2;
    };
    const Answer zone011{{0, -1, -1}, {0, -2, 2}}, zone114{{1, 1, 4}, {-2, 2, 0}};
    const auto pattern = [&g1](const Answer& a) {
        return simulateZone({kAluminium, latticeTypeRule(saed::core::LatticeType::FaceCentred), a.zone, 18, g1, a.g2, {}}).pattern;
    };
    const auto matchOn = [&](const Answer& drawn, const Answer& tried) {
        const auto [frame, detected] = drawnImage(pattern(drawn), g1, drawn.g2);
        return matchSpots(*spotsOnImage(pattern(tried).spots, g1, tried.g2, frame), detected, frame,
                          defaultMatchRadius(frame));
    };
    for (const Answer& drawn : {zone011, zone114}) {
        const SpotMatch right = matchOn(drawn, drawn);
        EXPECT_EQ(std::pair(right.predictedShare, right.detectedShare), std::pair(1.0, 1.0));
        EXPECT_GT(right.predictedInside, 15);
    }
    // On a <0 1 1> image the <1 1 4> answer leaves the {1 1 1} and {2 0 0} spots unexplained (18
    // of 58 explained); on a <1 1 4> image the <0 1 1> answer predicts them where the image has
    // nothing (18 of 58 found).
    const SpotMatch on011 = matchOn(zone011, zone114), on114 = matchOn(zone114, zone011);
    EXPECT_LT(on011.detectedShare, 0.5);
    EXPECT_LT(on114.predictedShare, 0.5);
    EXPECT_GE(on114.predictedFound, 6);  // g1, g2, g3 and their opposites at least
    EXPECT_LT(std::max(on011.score(), on114.score()), 0.5);
}

// Rows are matched best first, a repeated (g1, g2) is simulated once and shares its score, and
// after the bound on distinct pairs the remaining rows get none.
TEST(SpotMatchTest, matchRowsSharesRepeatedPairsAndStopsAtTheBound) {
    const saed::core::Cell& aluminium = kAluminium;
    const Hkl g1{3, 1, -1}, g2True{-2, 2, 0}, g2Other{0, -2, 2};
    const auto [frame, detected] =
        drawnImage(simulateZone({aluminium, latticeTypeRule(saed::core::LatticeType::FaceCentred), {1, 1, 4}, 40, g1, g2True, {}}).pattern, g1, g2True);
    const std::vector<RowPlanes> rows{{g1, g2True}, {g1, g2Other}, {g1, g2True}, {g1, {0, 0, 0}}};
    const std::vector<float> all = matchRows(aluminium, latticeTypeRule(saed::core::LatticeType::FaceCentred), rows, frame, detected, 10);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_FLOAT_EQ(all[0], 1.0f);
    EXPECT_FLOAT_EQ(all[1], static_cast<float>(matchRow(aluminium, latticeTypeRule(saed::core::LatticeType::FaceCentred), g1, g2Other, frame, detected)->score()));
    EXPECT_LT(all[1], 0.75f);  // the other zone explains the image far less
    EXPECT_FLOAT_EQ(all[2], all[0]);
    EXPECT_TRUE(std::isnan(all[3]));  // no zone: no match

    const std::vector<float> bounded = matchRows(aluminium, latticeTypeRule(saed::core::LatticeType::FaceCentred), rows, frame, detected, 1);
    EXPECT_FLOAT_EQ(bounded[0], 1.0f);
    EXPECT_TRUE(std::isnan(bounded[1]));
    EXPECT_FLOAT_EQ(bounded[2], 1.0f);
}
