#include "simulation/zonepattern.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "simulation/svgpattern.h"

using namespace saed::simulation;

namespace {

const saed::core::Cell kAluminium{0.40495, 0.40495, 0.40495, 90, 90, 90};
const saed::core::Cell kMagnesium{0.3209, 0.3209, 0.5211, 90, 90, 120};

std::vector<Hkl> indicesOf(const ZonePattern& pattern) {
    std::vector<Hkl> out;
    for (const Spot& s : pattern.spots) out.push_back(s.hkl);
    return out;
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(ZonePatternTest, faceCentredCubicZero11) {
    // Al [0 1 1] out to 6 1/nm: k + l = 0 and h, k, l of one parity leave the four {1 1 1}
    // (|g| = sqrt 3 / a = 4.2772) and (+-2 0 0) (2 / a = 4.9389); {2 2 0} lies at 6.98.
    ZonePatternRequest request;
    request.cell = kAluminium;
    request.allowed = latticeTypeRule(3);
    request.zone = {0, 1, 1};
    request.maxGInvNm = 6;
    const ZonePatternResult result = simulateZone(request);
    ASSERT_EQ(result.error, PatternError::None);
    const ZonePattern& p = result.pattern;
    EXPECT_EQ(indicesOf(p), (std::vector<Hkl>{{1, 1, -1}, {1, -1, 1}, {-1, 1, -1}, {-1, -1, 1}, {2, 0, 0}, {-2, 0, 0}}));
    EXPECT_EQ(p.g1, (Hkl{1, 1, -1}));
    EXPECT_NEAR(p.spots[0].dNm, 0.2337980, 5e-8);
    EXPECT_NEAR(p.spots[4].dNm, 0.2024750, 5e-8);
    // g1 on +x; with +y = [0 1 1] x g1, (2 0 0) lies 54.74 degrees below the x axis and
    // (1 -1 1) 109.47 degrees from g1, below too: y = -(4.2772) sin 109.47 = -4.0326.
    const double g111 = std::sqrt(3.0) / 0.40495, g200 = 2 / 0.40495;
    EXPECT_NEAR(p.spots[0].xInvNm, g111, 1e-9);
    EXPECT_NEAR(p.spots[0].yInvNm, 0, 1e-9);
    EXPECT_NEAR(p.spots[4].xInvNm, g200 / std::sqrt(3.0), 1e-9);
    EXPECT_NEAR(p.spots[4].yInvNm, -g200 * std::sqrt(2.0 / 3.0), 1e-9);
    EXPECT_NEAR(p.spots[1].xInvNm, -g111 / 3, 1e-9);
    EXPECT_NEAR(p.spots[1].yInvNm, -g111 * std::sqrt(8.0) / 3, 1e-9);
    // A chosen g2 turns the pattern over so that g2 is on +y; an intensity callback is used.
    request.g2 = Hkl{1, -1, 1};
    request.intensity = [](const Hkl& h) { return h[0] == 2 || h[0] == -2 ? 0.5 : 1.0; };
    const ZonePattern flipped = simulateZone(request).pattern;
    EXPECT_NEAR(flipped.spots[1].yInvNm, g111 * std::sqrt(8.0) / 3, 1e-9);
    EXPECT_NEAR(flipped.spots[4].yInvNm, g200 * std::sqrt(2.0 / 3.0), 1e-9);
    EXPECT_EQ(flipped.spots[4].intensity, 0.5);
    EXPECT_EQ(flipped.spots[0].intensity, 1.0);
}

TEST(ZonePatternTest, hexagonalZones) {
    // Mg [0 0 1] to 4 1/nm: the six {1 0 0} at 2 / (sqrt 3 a) = 3.5981, 60 degrees apart,
    // b* 60 degrees counter-clockwise from a*.
    ZonePatternRequest request;
    request.cell = kMagnesium;
    request.zone = {0, 0, 1};
    request.maxGInvNm = 4;
    const ZonePattern basal = simulateZone(request).pattern;
    ASSERT_EQ(indicesOf(basal), (std::vector<Hkl>{{1, 0, 0}, {1, -1, 0}, {0, 1, 0}, {0, -1, 0}, {-1, 1, 0}, {-1, 0, 0}}));
    const double pi = std::acos(-1.0);
    const double expectedDeg[] = {0, -60, 60, -120, 120, 180};
    const double g100 = 2 / (std::sqrt(3.0) * 0.3209);
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const Spot& s = basal.spots[i];
        EXPECT_NEAR(s.xInvNm, g100 * std::cos(expectedDeg[i] * pi / 180), 1e-9);
        EXPECT_NEAR(s.yInvNm, g100 * std::sin(expectedDeg[i] * pi / 180), 1e-9);
        EXPECT_NEAR(s.dNm, 0.2779076, 5e-8);  // sqrt 3 / 2 a
    }
    // [1 0 0] with the close-packed rule to 4.5 1/nm: (0 0 1) is absent, (0 0 2) at 3.8381 and
    // (0 1 1) at 4.0777 are there, (0 1 2) at 5.26 is too far.
    request.zone = {1, 0, 0};
    request.maxGInvNm = 4.5;
    request.allowed = latticeTypeRule(4);
    const ZonePattern prism = simulateZone(request).pattern;
    EXPECT_EQ(indicesOf(prism), (std::vector<Hkl>{{0, 1, 0}, {0, -1, 0}, {0, 0, 2}, {0, 0, -2}, {0, 1, 1}, {0, 1, -1},
                                                  {0, -1, 1}, {0, -1, -1}}));
    // (0 0 2) stands at right angles to (0 1 0) in this zone.
    EXPECT_NEAR(prism.spots[2].xInvNm, 0, 1e-9);
    EXPECT_NEAR(std::abs(prism.spots[2].yInvNm), 2 / 0.5211, 1e-9);
}

TEST(ZonePatternTest, badRequestsSayWhy) {
    ZonePatternRequest request;
    request.cell = kAluminium;
    request.allowed = latticeTypeRule(3);
    request.zone = {0, 1, 1};
    request.maxGInvNm = 6;
    request.zone = {0, 0, 0};
    EXPECT_EQ(simulateZone(request).error, PatternError::ZeroZone);
    request.zone = {0, 1, 1};
    request.g1 = Hkl{1, 1, 1};  // not in [0 1 1]
    EXPECT_EQ(simulateZone(request).error, PatternError::BadG1);
    request.g1 = Hkl{2, 0, 0};
    request.g2 = Hkl{-4, 0, 0};  // parallel to g1
    EXPECT_EQ(simulateZone(request).error, PatternError::BadG2);
    request.g1.reset();
    request.g2.reset();
    request.maxGInvNm = 4;  // below the first spot
    EXPECT_EQ(simulateZone(request).error, PatternError::NoSpots);
    request.cell.cNm = 0;
    EXPECT_EQ(simulateZone(request).error, PatternError::NotACell);
    request.cell = kAluminium;
    request.allowed = latticeTypeRule(-1);  // no lattice type chosen: nothing is allowed
    request.maxGInvNm = 6;
    EXPECT_EQ(simulateZone(request).error, PatternError::NoSpots);
}

TEST(ZonePatternTest, svgHasEverySpotLabelAndScaleBar) {
    ZonePatternRequest request;
    request.cell = kAluminium;
    request.allowed = latticeTypeRule(3);
    request.zone = {0, 1, -1};
    request.maxGInvNm = 6;
    const ZonePattern pattern = simulateZone(request).pattern;
    const std::string svg = patternSvg(pattern);
    EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    EXPECT_EQ(count(svg, "<circle "), pattern.spots.size() + 1);  // with the direct beam
    const std::string overlined = "<tspan text-decoration=\"overline\">1</tspan>";
    EXPECT_EQ(count(svg, ">(1 1 1)</text>"), 1u);
    EXPECT_EQ(count(svg, ">(1 " + overlined + " " + overlined + ")</text>"), 1u);
    EXPECT_EQ(count(svg, ">(2 0 0)</text>"), 1u);
    EXPECT_EQ(count(svg, ">(<tspan text-decoration=\"overline\">2</tspan> 0 0)</text>"), 1u);
    EXPECT_EQ(count(svg, ">[0 1 " + overlined + "]</text>"), 1u);
    // 270 px from the centre to the farthest spot (2 / a = 4.9389): 54.67 px per 1/nm, and a bar
    // of 1 1/nm (the longest 1-2-5 step below a third of 4.94).
    EXPECT_EQ(count(svg, "<line x1=\"30\" y1=\"586\" x2=\"84.67\" y2=\"586\""), 1u);
    EXPECT_EQ(count(svg, ">1 1/nm</text>"), 1u);
    SvgOptions bare;
    bare.labels = false;
    bare.sizePx = 400;
    EXPECT_EQ(count(patternSvg(pattern, bare), "</text>"), 2u);  // the zone and the scale only
}
