// SPDX-License-Identifier: BSD-3-Clause
// The image pipeline on plain data: segment counts and the match of a run's families.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/imagepipeline.h"
#include "simulation/rowmatch.h"

namespace {

using namespace saed;

TEST(ImagePipelineTest, segmentCountTakesWholeNumbersFromOne) {
    for (double n : {0.0, -1.0, 1.5, 0.999, std::nan(""), std::numeric_limits<double>::infinity(), 2e6}) {
        SCOPED_TRACE(n);
        EXPECT_FALSE(analysis::segmentCount(n));
        EXPECT_FALSE(analysis::imageFrame({10, 10}, {20, 10}, n, {10, 20}, 1, 100, 100));
        EXPECT_FALSE(analysis::imageFrame({10, 10}, {20, 10}, 1, {10, 20}, n, 100, 100));
    }
    EXPECT_EQ(analysis::segmentCount(1), 1);
    EXPECT_EQ(analysis::segmentCount(3), 3);
    const auto frame = analysis::imageFrame({10, 10}, {20, 10}, 2, {10, 30}, 3, 640, 480);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->r1Segments, 2);
    EXPECT_EQ(frame->r2Segments, 3);
    EXPECT_EQ(frame->r2End.y, 30);
    EXPECT_EQ(frame->widthPx, 640);
    EXPECT_EQ(frame->heightPx, 480);
}

// Two rows with the same spacings and angle: (3 1 -1), (-1 -3 1) of [1 1 4] and (3 1 -1),
// (-3 1 -1) of [0 1 1] in aluminium. The image holds the spots of [1 1 4]: its family matches
// fully, with the score matchRow gives its representative, and the other less; a row that is
// not at hand gets no match.
TEST(ImagePipelineTest, matchRunScoresEachFamilyByItsRepresentative) {
    const core::Cell aluminium{0.40495, 0.40495, 0.40495, 90, 90, 90};
    const simulation::ExtinctionRule face = simulation::latticeTypeRule(saed::core::LatticeType::FaceCentred);
    indexing::ResultRow zone114, zone011;
    zone114.g1 = zone011.g1 = {3, 1, -1};
    zone114.g2 = {-1, -3, 1};
    zone011.g2 = {-3, 1, -1};
    const std::vector<indexing::ResultRow> rows{zone011, zone114};

    simulation::ImageFrame frame;
    frame.centre = {200.4, 195.7};
    const double t = std::acos(-7.0 / 11.0);
    frame.r1End = {frame.centre.x + 50, frame.centre.y};
    frame.r2End = {frame.centre.x + 50 * std::cos(t), frame.centre.y + 50 * std::sin(t)};
    frame.widthPx = frame.heightPx = 400;
    const auto pattern = simulation::rowPatternForImage(aluminium, face, zone114.g1, zone114.g2, frame);
    ASSERT_TRUE(pattern);
    const auto detected = simulation::spotsOnImage(pattern->spots, zone114.g1, zone114.g2, frame);
    ASSERT_TRUE(detected);

    indexing::FamilyGrouping families;
    families.familyOfRow = {1, 2};
    families.families = {{1, 0, {0, 1, 1}, {}, 1, 0.2}, {2, 1, {1, 1, 4}, {}, 1, 0.2}};
    const std::vector<double> misfits{0.2, 0.2};
    const auto all = [&rows](std::size_t g) -> std::optional<indexing::ResultRow> { return rows[g]; };
    const analysis::RunMatch match =
        analysis::matchRun(aluminium, face, rows.size(), all, misfits, families, frame, *detected);
    ASSERT_EQ(match.familyMatch.size(), 2u);
    ASSERT_TRUE(match.familyMatch[0] && match.familyMatch[1]);
    const auto expected = simulation::matchRow(aluminium, face, zone114.g1, zone114.g2, frame, *detected);
    ASSERT_TRUE(expected);
    EXPECT_EQ(*match.familyMatch[1], expected->score());
    EXPECT_LT(*match.familyMatch[0], *match.familyMatch[1] - 0.2);
    ASSERT_EQ(match.rowMatch.size(), 2u);
    EXPECT_EQ(match.rowMatch[1], static_cast<float>(expected->score()));

    const auto only114 = [&rows](std::size_t g) -> std::optional<indexing::ResultRow> {
        if (g == 0) return std::nullopt;
        return rows[g];
    };
    const analysis::RunMatch partial =
        analysis::matchRun(aluminium, face, rows.size(), only114, misfits, families, frame, *detected);
    EXPECT_FALSE(partial.familyMatch[0]);
    EXPECT_TRUE(std::isnan(partial.rowMatch[0]));
    EXPECT_EQ(partial.familyMatch[1], match.familyMatch[1]);
}

}  // namespace
