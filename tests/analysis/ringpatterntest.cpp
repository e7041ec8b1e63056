// SPDX-License-Identifier: BSD-3-Clause
// Ring patterns: the fitted ellipses, the camera constant from a standard, the phase ranking and
// the patterns that are not ring patterns, on synthetic images whose truth is known.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "analysis/ringindexing.h"
#include "analysis/ringpattern.h"
#include "library/builtinphases.h"
#include "tools/patterngenerator.h"
#include "tools/ringgenerator.h"

namespace saed::analysis {
namespace {

const library::CrystalPhase& phase(const std::string& name) {
    for (const auto& p : library::builtInPhases())
        if (p.name == name) return p;
    throw std::runtime_error("no phase " + name);
}

tools::RingImage ringsOf(const std::vector<std::string>& names, const tools::RingSpec& spec) {
    std::vector<std::vector<PowderLine>> lines;
    std::vector<double> weights;
    for (const auto& n : names) {
        lines.push_back(powderLines(phase(n), spec.perPixel * spec.width));
        weights.push_back(1.0);
    }
    return tools::makeRings(spec, lines, weights);
}

// Gold at 4 % distortion, the major axis at 35 degrees: centre, ratio, angle and every ring's
// radius, then the camera constant with gold as the standard, each ring labelled.
TEST(RingPatternTest, distortedGoldStandard) {
    tools::RingSpec spec;
    spec.distortion = {1.04, 35.0};
    const auto image = ringsOf({"Au"}, spec);
    const RingPattern p = measureRings(image.raster);
    ASSERT_EQ(p.failure, RingFailure::None);
    EXPECT_NEAR(p.centreX, spec.centreX, 0.3);
    EXPECT_NEAR(p.centreY, spec.centreY, 0.3);
    EXPECT_NEAR(p.distortion.ratio, 1.04, 0.002);
    EXPECT_NEAR(p.distortion.angleDeg, 35.0, 1.0);
    EXPECT_GT(p.ratioSigma, 0.0);
    EXPECT_LT(p.ratioSigma, 0.002);
    ASSERT_GE(p.rings.size(), 6u);
    // Every ring at its true radius; the ellipse's axes hold the ratio.
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(p.rings[i].radiusPx / image.radiiPx[i], 1.0, 0.001) << i;
        EXPECT_NEAR(p.rings[i].semiMajorPx / p.rings[i].semiMinorPx, 1.04, 0.002);
        EXPECT_GT(p.rings[i].coverage, 0.9);
    }

    const auto lines = linesForPattern(phase("Au"), p, std::nullopt);
    const RingCalibration c = calibrateRings(p, lines);
    EXPECT_TRUE(c.matches);
    EXPECT_NEAR(c.perPixel / spec.perPixel, 1.0, 0.002);
    EXPECT_GT(c.perPixelSigma, 0.0);
    ASSERT_GE(c.rings.front().line, 0);
    EXPECT_EQ(lineLabel(lines[static_cast<std::size_t>(c.rings.front().line)]), "(1 1 1)");
    ASSERT_GE(c.rings[1].line, 0);
    EXPECT_EQ(lineLabel(lines[static_cast<std::size_t>(c.rings[1].line)]), "(2 0 0)");

    // The same rings are no silicon: the standard is said not to match.
    const RingCalibration wrong = calibrateRings(p, linesForPattern(phase("α-Fe (ferrite)"), p, std::nullopt));
    EXPECT_FALSE(wrong.matches);
}

// A standard of many close lines (MgZn2): lines closer than a ring is wide show as one ring at
// their intensity-weighted |g|, a dense run of them as no ring at all, and nothing is looked for
// beyond the outermost ring. Rings made so calibrate it to the true camera constant.
TEST(RingPatternTest, closeLinesMakeOneRing) {
    constexpr double k = 0.02, widthInvNm = 0.06, seenToInvNm = 9.0;
    const std::vector<PowderLine> lines = powderLines(phase("MgZn2 (C14 Laves)"), 14.0);
    RingPattern p;
    p.innerRadiusPx = 1.5 / k;
    p.outerRadiusPx = 14.0 / k;
    for (std::size_t j = 0; j < lines.size();) {
        std::size_t end = j + 1;
        while (end < lines.size() && lines[end].gInvNm - lines[end - 1].gInvNm <= widthInvNm) ++end;
        double sum = 0, weighted = 0;
        for (std::size_t m = j; m < end; ++m) sum += lines[m].intensity, weighted += lines[m].intensity * lines[m].gInvNm;
        const double centroid = weighted / sum;
        if (centroid > 1.5 && centroid < seenToInvNm && lines[end - 1].gInvNm - lines[j].gInvNm <= 2 * widthInvNm && sum >= 3) {
            Ring r;
            r.radiusPx = centroid / k;
            r.radiusSigmaPx = 0.02;
            r.widthPx = widthInvNm / k;
            r.intensity = sum;
            p.rings.push_back(r);
        }
        j = end;
    }
    ASSERT_GE(p.rings.size(), 8u);
    const RingCalibration c = calibrateRings(p, linesForPattern(phase("MgZn2 (C14 Laves)"), p, std::nullopt));
    EXPECT_TRUE(c.matches) << c.matched << " matched, " << c.missing << " missing, " << c.explained << " explained";
    EXPECT_NEAR(c.perPixel / k, 1.0, 0.001);
    // Gold's lines explain none of it.
    EXPECT_FALSE(calibrateRings(p, linesForPattern(phase("Au"), p, std::nullopt)).matches);
}

// Magnesium's first powder lines: spacings from the hexagonal metric, (0 0 1) absent in
// P 63/m m c, multiplicities 6, 2 and 12, and labels without minus signs.
TEST(RingPatternTest, powderLinesOfMagnesium) {
    const auto lines = powderLines(phase("Mg"), 6.0);
    ASSERT_GE(lines.size(), 3u);
    const double a = 0.32094, c = 0.52105;
    EXPECT_NEAR(lines[0].dNm, a * std::sqrt(3.0) / 2, 1e-9);
    EXPECT_EQ(lineLabel(lines[0]), "(1 0 0)");
    EXPECT_EQ(lines[0].multiplicity, 6);
    EXPECT_NEAR(lines[1].dNm, c / 2, 1e-9);
    EXPECT_EQ(lineLabel(lines[1]), "(0 0 2)");
    EXPECT_EQ(lines[1].multiplicity, 2);
    EXPECT_NEAR(lines[2].dNm, 1 / std::sqrt(4 / (3 * a * a) + 1 / (c * c)), 1e-9);
    EXPECT_EQ(lineLabel(lines[2]), "(1 0 1)");
    EXPECT_EQ(lines[2].multiplicity, 12);
    for (const PowderLine& l : lines) EXPECT_EQ(lineLabel(l).find('-'), std::string::npos) << lineLabel(l);
}

// Copper with ferrite: copper first under the file's camera constant, ferrite reported as the
// second phase of a mixture; every copper ring labelled with a copper line.
TEST(RingPatternTest, rankingAndMixture) {
    tools::RingSpec spec;
    spec.distortion = {1.02, 120.0};
    spec.seed = 3;
    const auto single = ringsOf({"Cu"}, spec);
    const RingPattern p = measureRings(single.raster);
    ASSERT_EQ(p.failure, RingFailure::None);
    const auto& phases = library::builtInPhases();
    const RingPhaseRanking ranking = rankRingPhases(p, phases, spec.perPixel, 0.002);
    ASSERT_FALSE(ranking.ranked.empty());
    EXPECT_EQ(phases[ranking.ranked.front().phase].name, "Cu");
    EXPECT_TRUE(ranking.unexplained.empty());
    EXPECT_FALSE(ranking.second);

    const auto mixed = ringsOf({"Cu", "α-Fe (ferrite)"}, spec);
    const RingPattern m = measureRings(mixed.raster);
    ASSERT_EQ(m.failure, RingFailure::None);
    const RingPhaseRanking both = rankRingPhases(m, phases, spec.perPixel, 0.002);
    ASSERT_FALSE(both.ranked.empty());
    const std::string first = phases[both.ranked.front().phase].name;
    ASSERT_TRUE(both.second);
    const std::string second = phases[both.second->phase].name;
    EXPECT_TRUE((first == "Cu" && second == "α-Fe (ferrite)") || (first == "α-Fe (ferrite)" && second == "Cu"))
        << first << " + " << second;
}

// What is not a ring pattern says so: spots, a single ring, noise without a centre, a centre
// off the image.
TEST(RingPatternTest, notRingPatterns) {
    const tools::Pattern spots = tools::makePattern({});
    EXPECT_EQ(measureRings(spots.raster).failure, RingFailure::NotRings);

    tools::RingSpec spec;
    std::vector<PowderLine> one{powderLines(phase("Au"), 5.0).front()};
    const std::vector<std::vector<PowderLine>> lines{one};
    const std::vector<double> weights{1.0};
    EXPECT_EQ(measureRings(tools::makeRings(spec, lines, weights).raster).failure, RingFailure::OneRing);

    spec.width = spec.height = 256;
    spec.centreX = spec.centreY = 128;
    spec.diffuse = spec.directPeak = spec.beamStopRadiusPx = 0;
    const std::vector<std::vector<PowderLine>> none{{}};
    const auto noise = tools::makeRings(spec, none, weights);
    const RingFailure f = measureRings(noise.raster).failure;
    EXPECT_TRUE(f == RingFailure::NoCentre || f == RingFailure::NoRings) << static_cast<int>(f);

    RingOptions outside;
    outside.centreX = -5;
    outside.centreY = 40;
    EXPECT_EQ(measureRings(noise.raster, outside).failure, RingFailure::NoCentre);
}

}  // namespace
}  // namespace saed::analysis
