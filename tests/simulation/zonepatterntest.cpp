// SPDX-License-Identifier: BSD-3-Clause
#include <gtest/gtest.h>

#include <cmath>
#include <memory>  // for make_shared
#include <string>
#include <vector>

#include "simulation/svgpattern.h"
#include "simulation/zonepattern.h"

using namespace saed::simulation;

namespace {

const saed::core::Cell kAluminium{0.40495, 0.40495, 0.40495, 90, 90, 90};

ZonePatternRequest aluminium(Uvw zone, double maxG) {
    return {kAluminium, latticeTypeRule(saed::core::LatticeType::FaceCentred), zone, maxG, {}, {}, {}};
}

std::vector<Hkl> indicesOf(const ZonePattern& pattern) {
    std::vector<Hkl> out;
    for (const Spot& s : pattern.spots) out.push_back(s.hkl);
    return out;
}

}  // namespace

TEST(ZonePatternTest, faceCentredCubicZero11) {
    // Al [0 1 1] to 6 1/nm: k + l = 0, all odd or all even: four {1 1 1} at sqrt 3 / a = 4.2772
    // and (+-2 0 0) at 2 / a = 4.9389; {2 2 0} at 6.98 is too far.
    ZonePatternRequest request = aluminium({0, 1, 1}, 6);
    const ZonePattern p = simulateZone(request).pattern;
    ASSERT_EQ(indicesOf(p),
              (std::vector<Hkl>{
                  {1, 1, -1}, {1, -1, 1}, {-1, 1, -1}, {-1, -1, 1}, {2, 0, 0}, {-2, 0, 0}}));
    EXPECT_NEAR(p.spots[0].dNm + p.spots[4].dNm, 0.2337980 + 0.2024750, 1e-7);
    // g1 = (1 1 -1) on +x, +y = [0 1 1] x g1: (1 -1 1) at 109.47 and (2 0 0) at 54.74 degrees,
    // both below the x axis.
    const double g111 = std::sqrt(3.0) / 0.40495, g200 = 2 / 0.40495;
    const double expected[][2] = {{g111, 0},
                                  {-g111 / 3, -g111 * std::sqrt(8.0) / 3},
                                  {g200 / std::sqrt(3.0), -g200 * std::sqrt(2.0 / 3.0)}};
    const std::size_t at[] = {0, 1, 4};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(p.spots[at[i]].xInvNm, expected[i][0], 1e-9) << i;
        EXPECT_NEAR(p.spots[at[i]].yInvNm, expected[i][1], 1e-9) << i;
    }
    // A chosen g2 turns the pattern over onto its side; the intensity callback is used.
    request.g2 = Hkl{1, -1, 1};
    request.intensity = [](const Hkl& h) { return h[0] == 2 ? 0.5 : 1.0; };
    const ZonePattern flipped = simulateZone(request).pattern;
    EXPECT_NEAR(flipped.spots[4].yInvNm, -expected[2][1], 1e-9);
    EXPECT_EQ(std::vector<double>({flipped.spots[0].intensity, flipped.spots[4].intensity}),
              std::vector<double>({1.0, 0.5}));
}

TEST(ZonePatternTest, hexagonalZones) {
    // Mg [0 0 1] to 4 1/nm: the six {1 0 0} at 2 / (sqrt 3 a), d = sqrt 3 / 2 a = 0.2779076,
    // b* 60 degrees counter-clockwise from a*.
    ZonePatternRequest request{{0.3209, 0.3209, 0.5211, 90, 90, 120}, {}, {0, 0, 1}, 4, {}, {}, {}};
    const ZonePattern basal = simulateZone(request).pattern;
    ASSERT_EQ(
        indicesOf(basal),
        (std::vector<Hkl>{{1, 0, 0}, {1, -1, 0}, {0, 1, 0}, {0, -1, 0}, {-1, 1, 0}, {-1, 0, 0}}));
    const double expectedDeg[] = {0, -60, 60, -120, 120, 180};
    const double g100 = 2 / (std::sqrt(3.0) * 0.3209), radian = std::acos(-1.0) / 180;
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(basal.spots[i].xInvNm, g100 * std::cos(expectedDeg[i] * radian), 1e-9) << i;
        EXPECT_NEAR(basal.spots[i].yInvNm, g100 * std::sin(expectedDeg[i] * radian), 1e-9) << i;
        EXPECT_NEAR(basal.spots[i].dNm, 0.2779076, 5e-8) << i;
    }
    // [1 0 0] with the close-packed rule to 4.5 1/nm: (0 0 1) absent, (0 0 2) at 3.838 at right
    // angles to (0 1 0), (0 1 1) at 4.078; (0 1 2) at 5.26 too far.
    request.zone = {1, 0, 0};
    request.maxGInvNm = 4.5;
    request.allowed = latticeTypeRule(saed::core::LatticeType::Rhombic);
    const ZonePattern prism = simulateZone(request).pattern;
    EXPECT_EQ(indicesOf(prism), (std::vector<Hkl>{{0, 1, 0},
                                                  {0, -1, 0},
                                                  {0, 0, 2},
                                                  {0, 0, -2},
                                                  {0, 1, 1},
                                                  {0, 1, -1},
                                                  {0, -1, 1},
                                                  {0, -1, -1}}));
    EXPECT_NEAR(prism.spots[2].xInvNm, 0, 1e-9);
}

TEST(ZonePatternTest, badRequestsSayWhy) {
    const auto errorOf = [](ZonePatternRequest r) { return simulateZone(r).error; };
    ZonePatternRequest request = aluminium({0, 0, 0}, 6);
    EXPECT_EQ(errorOf(request), PatternError::ZeroZone);
    request.zone = {0, 1, 1};
    for (double g : {0.0, -1.0, std::nan(""), 1e9}) {
        request.maxGInvNm = g;
        EXPECT_EQ(errorOf(request), PatternError::BadRange) << g;
    }
    request.maxGInvNm = 6;
    request.g1 = Hkl{1, 1, 1};  // not in [0 1 1]
    EXPECT_EQ(errorOf(request), PatternError::BadG1);
    request.g1 = Hkl{2, 0, 0};
    request.g2 = Hkl{-4, 0, 0};  // parallel to g1
    EXPECT_EQ(errorOf(request), PatternError::BadG2);
    EXPECT_EQ(errorOf(aluminium({0, 1, 1}, 4)), PatternError::NoSpots);  // below the first spot
    request = aluminium({0, 1, 1}, 6);
    request.allowed = latticeTypeRule(saed::core::LatticeType::None);  // no lattice type: nothing allowed
    EXPECT_EQ(errorOf(request), PatternError::NoSpots);
    request.cell.cNm = 0;
    EXPECT_EQ(errorOf(request), PatternError::NotACell);
}

TEST(ZonePatternTest, svgHasEverySpotLabelAndScaleBar) {
    const ZonePattern pattern = simulateZone(aluminium({0, 1, -1}, 6)).pattern;
    const std::string svg = patternSvg(pattern);
    const auto count = [&svg](const std::string& part) {
        std::size_t n = 0;
        for (std::size_t at = svg.find(part); at != std::string::npos; at = svg.find(part, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    EXPECT_EQ(count("<circle "), pattern.spots.size() + 1);  // and the direct beam
    const std::string bar1 = "<tspan text-decoration=\"overline\">1</tspan>";
    const std::string bar2 = "<tspan text-decoration=\"overline\">2</tspan>";
    EXPECT_EQ(count(">(1 " + bar1 + " " + bar1 + ")</text>") + count(">(" + bar2 + " 0 0)</text>"),
              2u);
    EXPECT_EQ(count(">[0 1 " + bar1 + "]</text>"), 1u);
    // The farthest spot (2 / a = 4.9389) 270 px out: 54.67 px per 1/nm; the bar is the longest
    // 1-2-5 step within a third of 4.94, so 1 1/nm.
    EXPECT_EQ(count("<line x1=\"30\" y1=\"586\" x2=\"84.67\" y2=\"586\""), 1u);
    EXPECT_EQ(count(">1 1/nm</text>"), 1u);
    EXPECT_EQ(patternSvg(pattern, {400, 0, false}).find("(1"), std::string::npos);
}

// The rule of a run: lattice types 0 to 4 as the selector, the run's own rule for "by space
// group" (here one that lets in only even h), and nothing when that run has no rule.
TEST(ZonePatternTest, runRuleFollowsTheRunsChoice) {
    struct EvenH final : saed::core::ReflectionRule {
        bool admits(const Hkl& hkl) const override { return hkl[0] % 2 == 0; }
    };
    const auto evenH = std::make_shared<const EvenH>();
    EXPECT_TRUE(runRule(saed::core::LatticeType::FaceCentred, evenH)({2, 0, 0}));
    EXPECT_FALSE(runRule(saed::core::LatticeType::FaceCentred, evenH)({1, 0, 0}));
    EXPECT_TRUE(runRule(saed::core::LatticeType::FaceCentred, evenH)({1, 1, 1}));
    EXPECT_TRUE(runRule(saed::core::LatticeType::SpaceGroup, evenH)({2, 1, 0}));
    EXPECT_FALSE(runRule(saed::core::LatticeType::SpaceGroup, evenH)({1, 1, 1}));
    EXPECT_FALSE(runRule(saed::core::LatticeType::SpaceGroup, nullptr)({2, 0, 0}));
    // A space-group run's zone pattern: [0 0 1] out to 2.5 1/nm in a 1 nm cube keeps (±2 k 0).
    const ZonePatternResult result = simulateZone({{1, 1, 1, 90, 90, 90}, runRule(saed::core::LatticeType::SpaceGroup, evenH), {0, 0, 1}, 2.5, {}, {}, {}});
    ASSERT_EQ(result.error, PatternError::None);
    EXPECT_EQ(result.pattern.spots.size(), 10u);  // (0 ±1 0), (0 ±2 0), (±2 0 0), (±2 ±1 0)
    for (const Spot& s : result.pattern.spots) EXPECT_EQ(s.hkl[0] % 2, 0);
}
