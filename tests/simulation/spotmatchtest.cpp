#include "simulation/spotmatch.h"

#include <vector>

#include <gtest/gtest.h>

using namespace saed::simulation;

namespace {

const saed::core::Cell kAluminium{0.40495, 0.40495, 0.40495, 90, 90, 90};

ZonePattern aluminiumZone(Uvw zone, Hkl g1, Hkl g2) {
    ZonePatternRequest request;
    request.cell = kAluminium;
    request.allowed = latticeTypeRule(3);
    request.zone = zone;
    request.maxGInvNm = 18;
    request.g1 = g1;
    request.g2 = g2;
    return simulateZone(request).pattern;
}

const Spot& spotOf(const ZonePattern& p, const Hkl& hkl) {
    for (const Spot& s : p.spots)
        if (s.hkl == hkl) return s;
    throw std::runtime_error("spot not in the pattern");
}

}  // namespace

TEST(SpotMatchTest, countsInsideTheImageAndLeavesTheDirectBeamOut) {
    ImageFrame frame;
    frame.centre = {100, 100};
    frame.widthPx = 800;
    frame.heightPx = 600;
    const std::vector<PixelPoint> predicted{{10, 10}, {50, 50}, {900, 10}, {101, 100}};
    const std::vector<PixelPoint> detected{{11, 10}, {200, 200}, {100, 101}};
    const SpotMatch m = matchSpots(predicted, detected, frame, 3);
    EXPECT_EQ(m.predictedInside, 2);  // (900, 10) is outside, (101, 100) is the direct beam
    EXPECT_EQ(m.predictedFound, 1);
    EXPECT_EQ(m.detected, 2);
    EXPECT_EQ(m.detectedExplained, 1);
    EXPECT_DOUBLE_EQ(m.score(), 0.5);
    const SpotMatch none = matchSpots({}, {}, frame, 3);
    EXPECT_EQ(none.predictedShare, 0.0);
    EXPECT_EQ(none.score(), 0.0);
}

TEST(SpotMatchTest, spotsFollowR1AndR2) {
    ImageFrame frame;
    frame.centre = {400, 300};
    frame.r1End = {460, 280};  // two spacings of g1
    frame.r1Segments = 2;
    frame.r2End = {390, 340};
    frame.r2Segments = 1;
    std::vector<Spot> spots(4);
    spots[0].hkl = {2, 0, 0};   // g1
    spots[1].hkl = {0, 2, 0};   // g2
    spots[2].hkl = {-2, 4, 0};  // 2 g2 - g1
    spots[3].hkl = {1, 1, 1};   // outside the plane of g1 and g2
    const auto on = spotsOnImage(spots, {2, 0, 0}, {0, 2, 0}, frame);
    ASSERT_TRUE(on.has_value());
    ASSERT_EQ(on->size(), 3u);
    EXPECT_DOUBLE_EQ((*on)[0].x, 430);
    EXPECT_DOUBLE_EQ((*on)[0].y, 290);
    EXPECT_DOUBLE_EQ((*on)[1].x, 390);
    EXPECT_DOUBLE_EQ((*on)[1].y, 340);
    EXPECT_DOUBLE_EQ((*on)[2].x, 400 - 30 - 20);
    EXPECT_DOUBLE_EQ((*on)[2].y, 300 + 10 + 80);
    EXPECT_DOUBLE_EQ(defaultMatchRadius(frame), 0.25 * std::hypot(30, 10));
    EXPECT_FALSE(spotsOnImage(spots, {2, 0, 0}, {-4, 0, 0}, frame).has_value());
    frame.r2Segments = 0;
    EXPECT_FALSE(spotsOnImage(spots, {2, 0, 0}, {0, 2, 0}, frame).has_value());
}

TEST(SpotMatchTest, theTrueZoneMatchesBetterThanTheAmbiguousOne) {
    // {3 1 1} + {2 2 0} = {3 1 1} at 115.24 degrees fits Al [0 -1 -1] and [1 1 4] alike. Draw the
    // "image" from one zone at 20 px per 1/nm (y down) and match both answers against it.
    const Hkl g1{3, 1, -1};
    const struct Answer {
        Uvw zone;
        Hkl g2;
    } zone011{{0, -1, -1}, {0, -2, 2}}, zone114{{1, 1, 4}, {-2, 2, 0}};
    const auto matchOn = [&g1](const Answer& drawn, const Answer& tried) {
        const ZonePattern truth = aluminiumZone(drawn.zone, g1, drawn.g2);
        ImageFrame frame;
        frame.centre = {400, 300};
        frame.widthPx = 800;
        frame.heightPx = 600;
        const auto pixel = [&frame](const Spot& s) {
            return PixelPoint{frame.centre.x + 20 * s.xInvNm, frame.centre.y - 20 * s.yInvNm};
        };
        frame.r1End = pixel(spotOf(truth, g1));
        frame.r2End = pixel(spotOf(truth, drawn.g2));
        std::vector<PixelPoint> detected{frame.centre};
        for (const Spot& s : truth.spots) {
            const PixelPoint p = pixel(s);
            if (p.x >= 0 && p.y >= 0 && p.x < frame.widthPx && p.y < frame.heightPx) detected.push_back(p);
        }
        const ZonePattern predicted = aluminiumZone(tried.zone, g1, tried.g2);
        return matchSpots(*spotsOnImage(predicted.spots, g1, tried.g2, frame), detected, frame,
                          defaultMatchRadius(frame));
    };
    for (const Answer& drawn : {zone011, zone114}) {
        const SpotMatch right = matchOn(drawn, drawn);
        EXPECT_EQ(right.predictedShare, 1.0);
        EXPECT_EQ(right.detectedShare, 1.0);
        EXPECT_GT(right.predictedInside, 15);
    }
    // On a <0 1 1> image the <1 1 4> answer leaves the {1 1 1} and {2 0 0} spots unexplained; on a
    // <1 1 4> image the <0 1 1> answer predicts them where the image has nothing.
    const SpotMatch on011 = matchOn(zone011, zone114);
    EXPECT_LT(on011.detectedShare, 0.9);
    EXPECT_LT(on011.score(), 0.9);
    const SpotMatch on114 = matchOn(zone114, zone011);
    EXPECT_LT(on114.predictedShare, 0.9);
    EXPECT_LT(on114.score(), 0.9);
    EXPECT_GE(on114.predictedFound, 6);  // g1, g2, g3 and their opposites at least
}
