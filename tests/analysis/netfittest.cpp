// SPDX-License-Identifier: BSD-3-Clause
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "analysis/netfit.h"
#include "library/builtinphases.h"
#include "tools/cameraimage.h"
#include "measure/spots.h"
#include "tools/patterngenerator.h"

using namespace saed::analysis;
using saed::measure::Spot;

namespace {

constexpr double kPi = 3.14159265358979323846;

// Spots of the net centre + m a + n b inside a 512-pixel square, with Gaussian position noise,
// intensities falling with the distance from the centre, every `skip`-th spot left out and
// `outliers` spots off the net.
std::vector<Spot> netSpots(double cx, double cy, double ax, double ay, double bx, double by, double noise,
                           int skip, int outliers, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss(0, noise);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<Spot> spots;
    int count = 0;
    for (int m = -12; m <= 12; ++m)
        for (int n = -12; n <= 12; ++n) {
            const double x = cx + m * ax + n * bx, y = cy + m * ay + n * by;
            if (x < 5 || y < 5 || x > 507 || y > 507 || (m == 0 && n == 0)) continue;
            if (skip > 0 && ++count % skip == 0) continue;
            const double r = std::hypot(x - cx, y - cy);
            spots.push_back({x + gauss(random), y + gauss(random), 1e5 * std::exp(-r / 150), 20});
        }
    for (int k = 0; k < outliers; ++k) {
        // Half-way between net points, where no net of this size puts a spot.
        const int m = static_cast<int>(unit(random) * 6) - 3, n = static_cast<int>(unit(random) * 6) - 3;
        spots.push_back({cx + (m + 0.5) * ax + (n + 0.45) * bx, cy + (m + 0.5) * ay + (n + 0.45) * by, 3e4, 10});
    }
    std::sort(spots.begin(), spots.end(), [](const Spot& p, const Spot& q) { return p.intensity > q.intensity; });
    return spots;
}

}  // namespace

TEST(NetFitTest, noisyNetsGiveTheReducedBasisCentreAndOutliers) {
    // A centred rectangular net given by a long, oblique basis: the fit must still give the two
    // shortest vectors, whatever basis it started from, with the outliers left out.
    const double cx = 251.3, cy = 262.8;
    const double ax = 31.0 * std::cos(0.3), ay = 31.0 * std::sin(0.3);
    const double bx = 52.0 * std::cos(0.3 + 1.75), by = 52.0 * std::sin(0.3 + 1.75);
    const std::vector<Spot> spots = netSpots(cx, cy, ax + 2 * bx, ay + 2 * by, bx, by, 0.7, 7, 6, 3);
    const NetFit fit = fitNet(spots);
    ASSERT_EQ(fit.status, NetStatus::Ok);
    EXPECT_NEAR(fit.lengthA(), 31.0, 0.05);
    EXPECT_NEAR(fit.lengthB(), 52.0, 0.05);
    EXPECT_NEAR(fit.angleDeg(), 1.75 * 180 / kPi, 0.1);
    EXPECT_NEAR(fit.centre.x, cx, 0.15);
    EXPECT_NEAR(fit.centre.y, cy, 0.15);
    // The uncertainties say how far off the answer may be.
    EXPECT_GT(fit.centreSigmaPx, 0.01);
    EXPECT_LT(fit.centreSigmaPx, 0.15);
    EXPECT_GT(fit.sigmaAngleDeg, 0.0);
    EXPECT_NEAR(fit.residualPx, 0.7 * std::sqrt(2.0), 0.2);
    EXPECT_EQ(fit.spotsDetected, spots.size());
    EXPECT_EQ(fit.spotsExplained, spots.size() - 6);
    for (std::size_t k = 0; k < spots.size(); ++k) {
        if (!fit.index[k].onNet) {
            EXPECT_DOUBLE_EQ(spots[k].intensity, 3e4);
            continue;
        }
        const double px = fit.centre.x + fit.index[k].m * fit.a.x + fit.index[k].n * fit.b.x;
        const double py = fit.centre.y + fit.index[k].m * fit.a.y + fit.index[k].n * fit.b.y;
        EXPECT_LT(std::hypot(px - spots[k].x, py - spots[k].y), 4.0);
    }

    // A centre set by the user is kept exactly, and only the basis is fitted about it.
    NetFitOptions locked;
    locked.lockedCentre = saed::core::PixelPoint{cx + 0.4, cy - 0.3};
    const NetFit kept = fitNet(spots, locked);
    ASSERT_EQ(kept.status, NetStatus::Ok);
    EXPECT_DOUBLE_EQ(kept.centre.x, cx + 0.4);
    EXPECT_DOUBLE_EQ(kept.centre.y, cy - 0.3);
    EXPECT_NEAR(kept.lengthA(), 31.0, 0.1);
}

TEST(NetFitTest, directBeamOfASaturatedBeamBesideSaturatedSpotsAndBehindABeamStop) {
    saed::tools::PatternSpec spec;
    spec.peak = 200000;  // the innermost spots are clipped flat like the beam
    spec.directPeak = 5e6;
    for (const double stop : {0.0, 9.0}) {
        spec.beamStopRadiusPx = stop;
        const saed::tools::Pattern pattern = saed::tools::makePattern(spec);
        const std::vector<Spot> spots = saed::measure::detectSpots(pattern.raster);
        NetFitOptions options;
        options.startCentre = beamPlateau(pattern.raster);
        const NetFit fit = fitNet(spots, options);
        ASSERT_EQ(fit.status, NetStatus::Ok) << stop;
        EXPECT_LT(std::hypot(fit.centre.x - spec.centreX, fit.centre.y - spec.centreY), 0.5) << stop;
        const double g = spec.basisLengthInvNm * spec.pixelsPerInvNm;
        EXPECT_NEAR(fit.lengthA(), g, 0.05) << stop;
        EXPECT_NEAR(fit.lengthB(), g, 0.05) << stop;
        EXPECT_NEAR(fit.angleDeg(), spec.basisAngleDeg, 0.1) << stop;
    }

    // Camera images whose spots alone (1 px of noise on each, a few dozen of them, 10 % spurious)
    // put the beam 0.5 px or more off: the saturated plateau, weighed in, brings it within 0.3 px,
    // and the stated uncertainty covers the error.
    const struct {
        const char* phase;
        saed::core::Uvw zone;
        std::uint32_t seed;
    } images[] = {{"CrN", {1, 1, 1}, 51003}, {"Ni", {1, 1, 1}, 2003}, {"3C-SiC", {2, 1, 0}, 34001}};
    for (const auto& c : images) {
        const auto& phases = saed::library::builtInPhases();
        const auto phase = std::find_if(phases.begin(), phases.end(), [&](const auto& p) { return p.name == c.phase; });
        ASSERT_NE(phase, phases.end()) << c.phase;
        const auto image = saed::tools::makeCameraImage(*phase, saed::tools::randomCameraSpec(c.zone, c.seed));
        ASSERT_TRUE(image) << c.phase;
        const auto plateau = beamPlateau(image->raster);
        ASSERT_TRUE(plateau) << c.phase;
        EXPECT_GT(plateau->sigmaPx, 0.05) << c.phase;
        EXPECT_LT(plateau->sigmaPx, 0.3) << c.phase;
        saed::measure::SpotDetectionOptions detection;
        detection.maxSpots = kMaxNetSpots;
        const std::vector<Spot> spots = saed::measure::detectSpots(image->raster, detection);
        NetFitOptions options;
        options.startCentre = plateau;
        const NetFit fit = fitNet(spots, options);
        ASSERT_EQ(fit.status, NetStatus::Ok) << c.phase;
        EXPECT_TRUE(fit.plateauCounted) << c.phase;
        const double error = std::hypot(fit.centre.x - image->centreX, fit.centre.y - image->centreY);
        EXPECT_LT(error, 0.3) << c.phase;
        EXPECT_LT(error, 3 * std::sqrt(2.0) * fit.centreSigmaPx) << c.phase;
        // Taken as a start only, the spots decide alone and are farther off.
        options.startCentre = BeamEstimate(plateau->centre);
        const NetFit spotsOnly = fitNet(spots, options);
        EXPECT_FALSE(spotsOnly.plateauCounted);
        EXPECT_GT(std::hypot(spotsOnly.centre.x - image->centreX, spotsOnly.centre.y - image->centreY), error) << c.phase;
        EXPECT_GT(spotsOnly.centreSigmaPx, fit.centreSigmaPx) << c.phase;
    }
}

TEST(NetFitTest, aPlateauOrABeamSpotCountsOnlyWhereItAgreesWithTheSpots) {
    const double cx = 240.6, cy = 255.2;
    const std::vector<Spot> spots = netSpots(cx, cy, 33, 4, -9, 41, 0.8, 0, 0, 8);
    // A plateau 0.3 px off the true beam is weighed in; one 4 px off (another patch, a beam drawn
    // out of shape) is left out and the spots decide alone.
    NetFitOptions options;
    options.startCentre = BeamEstimate({cx + 0.3, cy});
    const NetFit alone = fitNet(spots, options);
    options.startCentre = BeamEstimate({cx + 0.3, cy}, 0.1);
    const NetFit near = fitNet(spots, options);
    ASSERT_EQ(near.status, NetStatus::Ok);
    EXPECT_TRUE(near.plateauCounted);
    EXPECT_GT(near.centre.x - alone.centre.x, 0.03);
    EXPECT_LT(near.centreSigmaPx, alone.centreSigmaPx);
    options.startCentre = BeamEstimate({cx + 4, cy}, 0.1);
    const NetFit far = fitNet(spots, options);
    ASSERT_EQ(far.status, NetStatus::Ok);
    EXPECT_FALSE(far.plateauCounted);
    EXPECT_LT(std::hypot(far.centre.x - cx, far.centre.y - cy), 0.3);

    // An unsaturated beam's own spot is one more spot of the net: 2 px off, it pulls the centre.
    std::vector<Spot> withBeam = spots;
    withBeam.insert(withBeam.begin(), Spot{cx + 2, cy, 1e7, 500});
    const NetFit free = fitNet(withBeam);
    const NetFit without = fitNet(spots);
    ASSERT_EQ(free.status, NetStatus::Ok);
    EXPECT_GT(free.centre.x - without.centre.x, 0.01);
    EXPECT_EQ(free.index[0].m, 0);
    EXPECT_EQ(free.index[0].n, 0);

    // A round plateau is placed to a tenth of a pixel; a streak (blooming) much more loosely.
    saed::core::Raster raster(64, 64, saed::core::PixelType::UInt16);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) raster.setValue(x, y, std::hypot(x - 30.3, y - 31.6) < 7 ? 4095 : 100);
    const auto round = beamPlateau(raster);
    ASSERT_TRUE(round);
    EXPECT_NEAR(round->centre.x, 30.3, 0.2);
    EXPECT_NEAR(round->centre.y, 31.6, 0.2);
    EXPECT_LT(round->sigmaPx, 0.15);
    for (int y = 11; y < 60; ++y)
        for (int x = 28; x <= 32; ++x) raster.setValue(x, y, 4095);
    const auto streaked = beamPlateau(raster);
    ASSERT_TRUE(streaked);
    EXPECT_GT(streaked->sigmaPx, 1.0);
}

TEST(NetFitTest, patternsWithoutANetSaySo) {
    EXPECT_EQ(fitNet({}).status, NetStatus::NoSpots);
    EXPECT_EQ(fitNet({{100, 100, 50, 10}}).status, NetStatus::OneSpot);
    EXPECT_EQ(fitNet(std::vector<Spot>(kMaxNetSpots + 1, Spot{1, 1, 1, 1})).status, NetStatus::TooManySpots);

    // One systematic row through the beam: no zone axis.
    std::vector<Spot> row;
    for (int m = -6; m <= 6; ++m) row.push_back({250 + 23.5 * m, 240 + 8.2 * m, 1000.0 - std::abs(m), 10});
    EXPECT_EQ(fitNet(row).status, NetStatus::OneRow);

    // Spots on three circles at random angles: a polycrystal.
    std::mt19937 random(5);
    std::uniform_real_distribution<double> angle(0, 2 * kPi);
    std::vector<Spot> rings;
    for (const double r : {60.0, 98.0, 115.0})
        for (int k = 0; k < 25; ++k) {
            const double t = angle(random);
            rings.push_back({256 + r * std::cos(t), 256 + r * std::sin(t), 500, 10});
        }
    EXPECT_EQ(fitNet(rings).status, NetStatus::RingPattern);
}
