// SPDX-License-Identifier: BSD-3-Clause
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "analysis/netfit.h"
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
