// SPDX-License-Identifier: BSD-3-Clause
#include <gtest/gtest.h>

#include <cmath>

#include "measure/spots.h"
#include "tools/patterngenerator.h"

using namespace saed::measure;
using saed::tools::makePattern;
using saed::tools::Pattern;
using saed::tools::PatternSpec;

namespace {

// The detection's signal-to-noise of a true spot without noise: the best 3 x 3 mean of its
// Gaussian near the centre over the noise of such a mean.
double expectedSnr(const saed::tools::TrueSpot& s, const PatternSpec& spec) {
    double best = 0.0;
    for (int py = static_cast<int>(s.y) - 1; py <= static_cast<int>(s.y) + 2; ++py)
        for (int px = static_cast<int>(s.x) - 1; px <= static_cast<int>(s.x) + 2; ++px) {
            double sum = 0.0;
            for (int y = py - 1; y <= py + 1; ++y)
                for (int x = px - 1; x <= px + 1; ++x)
                    sum += std::exp(-((x - s.x) * (x - s.x) + (y - s.y) * (y - s.y)) /
                                    (2 * spec.spotSigmaPx * spec.spotSigmaPx));
            best = std::max(best, s.peak * sum / 9.0);
        }
    return best / (spec.noiseSigma / 3.0);
}

double distance(double ax, double ay, double bx, double by) { return std::hypot(ax - bx, ay - by); }

}  // namespace

TEST(SpotsTest, refineFindsSubPixelCentresFromANearbyClick) {
    const PatternSpec spec;
    const Pattern p = makePattern(spec);
    int checked = 0;
    for (const auto& s : p.spots) {
        if (expectedSnr(s, spec) < 30.0) continue;
        const auto got = refineSpotCentre(p.raster, {s.x + 1.4, s.y - 1.1});
        ASSERT_TRUE(got) << s.m << "," << s.n;
        EXPECT_LT(distance(got->x, got->y, s.x, s.y), 0.1) << s.m << "," << s.n;
        ++checked;
    }
    EXPECT_GE(checked, 10);
    // The saturated direct beam: a flat top, still centred.
    const auto beam = refineSpotCentre(p.raster, {spec.centreX - 2, spec.centreY + 2}, 10);
    ASSERT_TRUE(beam);
    EXPECT_LT(distance(beam->x, beam->y, spec.centreX, spec.centreY), 0.1);
    // Off the image, or on empty background, there is no spot.
    EXPECT_FALSE(refineSpotCentre(p.raster, {-5, 10}));
    const saed::core::Raster flat(40, 40, saed::core::PixelType::UInt16);
    EXPECT_FALSE(refineSpotCentre(flat, {20, 20}));
}

TEST(SpotsTest, detectionFindsEverySpotAboveTheStatedSignalToNoiseAndNothingElse) {
    const PatternSpec spec;
    const Pattern p = makePattern(spec);
    SpotDetectionOptions options;
    const auto spots = detectSpots(p.raster, options);
    int strong = 0, weak = 0;
    for (const auto& s : p.spots) {
        const double snr = expectedSnr(s, spec);
        if (snr < 1.3 * options.minSnr) {
            weak += snr < options.minSnr;
            continue;
        }
        ++strong;
        const bool found = std::any_of(spots.begin(), spots.end(),
                                       [&](const Spot& d) { return distance(d.x, d.y, s.x, s.y) < 0.5; });
        EXPECT_TRUE(found) << s.m << "," << s.n << " snr " << snr;
    }
    EXPECT_GE(strong, 20);
    EXPECT_GE(weak, 1);   // the pattern also holds spots below the threshold
    // Every detection is a real spot (the faintest ones found within a pixel or so).
    for (const Spot& d : spots) {
        const bool real = distance(d.x, d.y, spec.centreX, spec.centreY) < 0.3 ||
                          std::any_of(p.spots.begin(), p.spots.end(),
                                      [&](const auto& s) { return distance(d.x, d.y, s.x, s.y) < 1.5; });
        EXPECT_TRUE(real) << "false spot at " << d.x << "," << d.y << " snr " << d.snr;
    }
    // Pure noise holds no spot.
    PatternSpec empty = spec;
    empty.peak = 0;
    empty.directPeak = 0;
    EXPECT_TRUE(detectSpots(makePattern(empty).raster, options).empty());
}

TEST(SpotsTest, directBeamCentreFromFriedelPairsWithASaturatedOrBlockedBeam) {
    for (double stop : {0.0, 12.0}) {
        SCOPED_TRACE(stop);
        PatternSpec spec;
        spec.beamStopRadiusPx = stop;
        spec.type = stop > 0 ? saed::core::PixelType::Float32 : saed::core::PixelType::UInt16;
        const Pattern p = makePattern(spec);
        const auto centre = findDirectBeamCentre(p.raster);
        ASSERT_TRUE(centre);
        EXPECT_LT(distance(centre->x, centre->y, spec.centreX, spec.centreY), 0.1);
    }
    // One pair alone is no evidence of a centre.
    EXPECT_FALSE(friedelCentre({{10, 10, 5, 0}, {30, 50, 5, 0}}));
}

TEST(SpotsTest, latticeVectorsAreTheTwoShortestWithR3TheirSum) {
    const PatternSpec spec;
    const Pattern p = makePattern(spec);
    const auto spots = detectSpots(p.raster);
    const auto centre = friedelCentre(spots);
    ASSERT_TRUE(centre);
    const auto v = chooseLatticeVectors(spots, *centre);
    ASSERT_TRUE(v);
    // R1 and R2 are +-g_a and +-g_b (both 53.5 px, 109.47 degrees apart); R3 = R1 + R2 is then
    // the (2 0 0) spot, 61.7 px.
    const auto near = [](saed::core::PixelPoint a, double x, double y) {
        return distance(a.x, a.y, x, y) < 0.1 || distance(a.x, a.y, -x, -y) < 0.1;
    };
    const bool r1a = near(v->r1, p.gaX, p.gaY), r1b = near(v->r1, p.gbX, p.gbY);
    EXPECT_TRUE(r1a || r1b);
    EXPECT_TRUE(r1a ? near(v->r2, p.gbX, p.gbY) : near(v->r2, p.gaX, p.gaY));
    EXPECT_NEAR(std::hypot(v->r3.x, v->r3.y), std::hypot(p.gaX + p.gbX, p.gaY + p.gbY), 0.1);
    EXPECT_NEAR(v->r3.x, v->r1.x + v->r2.x, 1e-12);
    EXPECT_LT(distance(v->centre.x, v->centre.y, spec.centreX, spec.centreY), 0.1);
    EXPECT_GE(v->spotsIndexed, 20);
    // Spots on one line give no second vector.
    EXPECT_FALSE(chooseLatticeVectors({{10, 0, 1, 0}, {-10, 0, 1, 0}, {20, 0, 1, 0}, {-20, 0, 1, 0}}, {0, 0}));
}
