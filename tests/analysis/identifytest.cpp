// SPDX-License-Identifier: BSD-3-Clause
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>

#include "analysis/identify.h"
#include "library/builtinphases.h"
#include "tools/cameraimage.h"

using namespace saed::analysis;

namespace {

const std::vector<saed::library::CrystalPhase>& phases() { return saed::library::builtInPhases(); }

std::size_t phaseNamed(const std::string& name) {
    for (std::size_t i = 0; i < phases().size(); ++i)
        if (phases()[i].name == name) return i;
    ADD_FAILURE() << name;
    return 0;
}

// A camera image of a built-in phase with every fault but a calibration error.
saed::tools::CameraImage image(const std::string& name, saed::core::Uvw zone, std::uint32_t seed) {
    saed::tools::CameraSpec spec = saed::tools::randomCameraSpec(zone, seed);
    spec.calibrationError = 0;
    const auto made = saed::tools::makeCameraImage(phases()[phaseNamed(name)], spec);
    EXPECT_TRUE(made) << name;
    return *made;
}

// The rank (from 1) of the right phase and zone family, counting every candidate tied with the
// first as first; 0 when it is not listed.
std::size_t rankOf(PhaseSearch& search, const std::vector<Candidate>& list, std::size_t phase, saed::core::Uvw zone) {
    const saed::core::Uvw family = search.zoneFamily(phase, zone);
    for (std::size_t k = 0; k < list.size(); ++k)
        if (list[k].phase == phase && list[k].family == family) return list[k].tie == 1 ? 1 : k + 1;
    return 0;
}

}  // namespace

TEST(IdentifyTest, syntheticImagesAreIdentifiedAcrossTheBuiltInPhases) {
    PhaseSearch search(phases());
    struct Case {
        const char* phase;
        saed::core::Uvw zone;
        std::uint32_t seed;
    };
    for (const Case& c : {Case{"Al", {0, 1, 1}, 3}, Case{"Si", {0, 0, 1}, 4}, Case{"α-Ti", {0, 0, 1}, 5},
                          Case{"Fe3C (cementite)", {0, 0, 1}, 6}, Case{"MgO", {1, 1, 2}, 7}}) {
        SCOPED_TRACE(c.phase);
        const saed::tools::CameraImage made = image(c.phase, c.zone, c.seed);
        IdentifySettings settings;
        settings.calibration = made.raster.calibration->perPixel;
        settings.calibrationError = 0.005;
        const ImageIdentification result = identifyImage(made.raster, search, settings);
        ASSERT_EQ(result.net.status, NetStatus::Ok);
        const std::size_t phase = phaseNamed(c.phase);
        EXPECT_EQ(rankOf(search, result.candidates, phase, c.zone), 1u);
        // Ranked by score: every candidate that opens a tie (or stands alone) below the last one.
        double last = INFINITY;
        for (std::size_t k = 0; k < result.candidates.size(); ++k) {
            const Candidate& next = result.candidates[k];
            if (next.tie != 0 && next.tie != static_cast<int>(k) + 1) continue;
            EXPECT_LE(next.score, last);
            last = next.score;
        }
    }
}

TEST(IdentifyTest, netsAreComparedOnTheirReducedBasisAndTheScaleIsFittedWithoutACalibration) {
    PhaseSearch search(phases());
    const std::size_t al = phaseNamed("Al");
    const saed::tools::CameraImage made = image("Al", {0, 1, 1}, 9);
    IdentifySettings settings;
    settings.calibration = made.raster.calibration->perPixel;
    settings.calibrationError = 0.005;
    const ImageIdentification result = identifyImage(made.raster, search, settings);
    ASSERT_EQ(result.net.status, NetStatus::Ok);
    ASSERT_FALSE(result.candidates.empty());

    // The same net given on the basis (a, a + b) ranks the same candidates the same.
    NetFit skew = result.net;
    skew.b = {skew.a.x + skew.b.x, skew.a.y + skew.b.y};
    for (NetIndex& i : skew.index) i.m -= i.n;
    const std::vector<Candidate> again = search.identify(skew, result.spots, settings);
    ASSERT_EQ(again.size(), result.candidates.size());
    for (std::size_t k = 0; k < again.size(); ++k) {
        EXPECT_EQ(again[k].phase, result.candidates[k].phase);
        EXPECT_EQ(again[k].family, result.candidates[k].family);
        EXPECT_NEAR(again[k].score, result.candidates[k].score, 1e-9);
    }
    // Every predicted spot of the Al candidate is (h k l) = m g1 + n g2 at centre + m a + n b.
    const auto hit = std::find_if(result.candidates.begin(), result.candidates.end(),
                                  [&](const Candidate& c) { return c.phase == al; });
    ASSERT_NE(hit, result.candidates.end());
    EXPECT_EQ(hit->family, search.zoneFamily(al, {0, 1, 1}));
    EXPECT_GE(hit->parts.detectedExplained, 0.8 * hit->parts.detected);
    int seen = 0;
    for (const CandidateSpot& s : hit->spots) {
        EXPECT_EQ(s.hkl[0] * hit->zone[0] + s.hkl[1] * hit->zone[1] + s.hkl[2] * hit->zone[2], 0);
        // Face-centred: h, k, l all even or all odd.
        EXPECT_EQ((s.hkl[0] - s.hkl[1]) % 2, 0);
        EXPECT_EQ((s.hkl[1] - s.hkl[2]) % 2, 0);
        if (s.detected) {
            EXPECT_LT(std::hypot(s.detected->x - s.x, s.detected->y - s.y), 4.0);
            ++seen;
        }
    }
    EXPECT_EQ(seen, hit->parts.predictedSeen);

    // Without a calibration every face-centred cubic metal along <0 1 1> fits the net alike, each
    // at its own scale (Ni's calibration stands to Al's as their cells): Al's fitted calibration is
    // the image's, and the intensities, what is left, put Al first or tied with the first.
    IdentifySettings free;
    const std::vector<Candidate> fitted = search.identify(result.net, result.spots, free);
    const auto named = [&](std::size_t phase) {
        return std::find_if(fitted.begin(), fitted.end(), [&](const Candidate& c) { return c.phase == phase; });
    };
    const auto alFree = named(al), niFree = named(phaseNamed("Ni"));
    ASSERT_NE(alFree, fitted.end());
    ASSERT_NE(niFree, fitted.end());
    EXPECT_EQ(alFree->family, hit->family);
    EXPECT_NEAR(alFree->calibration / made.trueCalibration, 1.0, 0.01);
    EXPECT_EQ(alFree->parts.scaleMisfit, 0.0);
    EXPECT_EQ(niFree->family, hit->family);
    EXPECT_NEAR(niFree->parts.geometry, alFree->parts.geometry, 1e-9);
    EXPECT_NEAR(niFree->calibration / alFree->calibration,
                phases()[al].cell.aNm / phases()[phaseNamed("Ni")].cell.aNm, 1e-9);
    EXPECT_EQ(rankOf(search, fitted, al, {0, 1, 1}), 1u);
    EXPECT_LT(niFree->parts.intensityFit, alFree->parts.intensityFit);
}

TEST(IdentifyTest, doubleDiffractionSpotsCountAsExplainedOnlyWhenAllowed) {
    // Si along <0 1 1>: (2 0 0) is forbidden (diamond glide) but (1 1 1) + (1 -1 -1) reach it.
    PhaseSearch search({phases()[phaseNamed("Si")]});
    const saed::tools::CameraImage made = image("Si", {0, 1, 1}, 11);
    IdentifySettings settings;
    settings.calibration = made.raster.calibration->perPixel;
    settings.doubleDiffraction = true;
    ImageIdentification result = identifyImage(made.raster, search, settings);
    ASSERT_FALSE(result.candidates.empty());
    // Put spots where the double-diffraction positions are, and identify again.
    std::vector<saed::measure::Spot> spots = result.spots;
    int added = 0;
    for (const CandidateSpot& s : result.candidates.front().spots)
        if (s.doubleDiffraction && std::abs(s.hkl[0]) + std::abs(s.hkl[1]) + std::abs(s.hkl[2]) == 2) {
            spots.push_back({s.x + 0.3, s.y - 0.2, 1000, 20});
            ++added;
        }
    ASSERT_GE(added, 2);
    NetFitOptions options;
    options.startCentre = result.net.centre;
    const NetFit net = fitNet(spots, options);
    const Candidate with = search.identify(net, spots, settings).front();
    settings.doubleDiffraction = false;
    const Candidate without = search.identify(net, spots, settings).front();
    EXPECT_EQ(with.parts.explainedByDouble, added);
    EXPECT_EQ(without.parts.explainedByDouble, 0);
    EXPECT_EQ(with.parts.detectedExplained - without.parts.detectedExplained, added);
    EXPECT_GT(with.score, without.score);
}

TEST(IdentifyTest, intensitiesTellRockSaltsApartWhereTheZoneShowsOddReflectionsAndTieWhereItDoesNot) {
    // Along <0 1 1> a rock salt shows (1 1 1) beside (2 0 0): weak for MgO, F = 4 (fMg - fO), far
    // stronger against (2 0 0) for TiN. The two cells differ by 0.7 %, well within the calibration.
    const std::size_t mgo = phaseNamed("MgO"), tin = phaseNamed("TiN");
    PhaseSearch search({phases()[mgo], phases()[tin]});
    for (const auto& [name, right, wrong] : {std::tuple{"MgO", 0u, 1u}, std::tuple{"TiN", 1u, 0u}}) {
        SCOPED_TRACE(name);
        const saed::tools::CameraImage made = image(name, {0, 1, 1}, 21);
        IdentifySettings settings;
        settings.calibration = made.raster.calibration->perPixel;
        const ImageIdentification result = identifyImage(made.raster, search, settings);
        // The clipped spots (the beam, the strongest reflections) are marked; a faint one is not.
        double brightest = 0;
        for (const saed::measure::Spot& s : result.spots) brightest = std::max(brightest, s.intensity);
        EXPECT_GE(std::count_if(result.spots.begin(), result.spots.end(), [](const auto& s) { return s.saturated; }), 2);
        for (const saed::measure::Spot& s : result.spots) {
            if (s.intensity < 0.05 * brightest) {
                EXPECT_FALSE(s.saturated) << s.x << " " << s.y;
            }
        }
        ASSERT_GE(result.candidates.size(), 2u);
        const Candidate& first = result.candidates[0];
        EXPECT_EQ(first.phase, right);
        EXPECT_EQ(first.family, search.zoneFamily(right, {0, 1, 1}));
        EXPECT_EQ(first.tie, 0);
        EXPECT_NEAR(first.parts.intensityFit, 1.0, 1e-6);
        const auto other = std::find_if(result.candidates.begin(), result.candidates.end(), [&](const Candidate& c) {
            return c.phase == wrong && c.family == first.family;
        });
        ASSERT_NE(other, result.candidates.end());
        EXPECT_LT(other->parts.intensityFit, 0.5);
        EXPECT_GT(other->parts.intensityMisfit, first.parts.intensityMisfit);
    }
    // Along <1 1 1> only all-even reflections show: F = 4 (fA + fB) for every one of them, and Al
    // and Ag (0.9 % apart) are a tie that a better calibration or another zone breaks.
    const std::size_t al = phaseNamed("Al"), ag = phaseNamed("Ag");
    PhaseSearch metals({phases()[al], phases()[ag]});
    const saed::tools::CameraImage made = image("Al", {1, 1, 1}, 22);
    IdentifySettings settings;
    settings.calibration = made.raster.calibration->perPixel;
    const ImageIdentification result = identifyImage(made.raster, metals, settings);
    ASSERT_GE(result.candidates.size(), 2u);
    EXPECT_EQ(result.candidates[0].tie, 1);
    EXPECT_EQ(result.candidates[1].tie, 1);
    EXPECT_NE(result.candidates[0].phase, result.candidates[1].phase);
    EXPECT_EQ(result.candidates[1].tieBreak, TieBreak::Calibration);
    for (const Candidate& c : result.candidates) EXPECT_GT(c.parts.intensityFit, 0.8);
}
