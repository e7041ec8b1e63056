// SPDX-License-Identifier: BSD-3-Clause
// The two-pattern tilt check and the orientation of an indexed pattern on the microscope.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "calculator/orientation.h"
#include "calculator/stereogram.h"
#include "calculator/tiltcheck.h"
#include "core/millerbravais.h"
#include "indexing/indexingengine.h"

namespace {

using namespace saed;
using calculator::IndexedSolution;

const core::Cell kAluminium{0.405, 0.405, 0.405, 90, 90, 90};

// The face-centred run's rows for one measured pattern, each row's family told by its zone's
// sorted absolute indices (<114> and <011> are two families).
std::vector<IndexedSolution> indexedRows(const indexing::MeasuredPattern& measured) {
    indexing::IndexingInput input;
    input.cell = kAluminium;
    input.latticeType = saed::core::LatticeType::FaceCentred;
    input.rangeN = 5;
    input.measured = measured;
    std::vector<IndexedSolution> solutions;
    std::map<std::array<long long, 3>, int> familyOfForm;
    int group = 0;
    for (const indexing::ResultRow& row : indexing::indexPattern(input)) {
        const core::Uvw zone = core::ZoneAxis(row.g1, row.g2);
        std::array<long long, 3> form{std::llabs(zone[0]), std::llabs(zone[1]), std::llabs(zone[2])};
        std::sort(form.begin(), form.end());
        const int family = familyOfForm.emplace(form, static_cast<int>(familyOfForm.size()) + 1).first->second;
        solutions.push_back({++group, family, row.g1, row.g2, zone, 0});
    }
    return solutions;
}

// The family id whose zones are of the form `form` (sorted absolute indices).
int familyOf(const std::vector<IndexedSolution>& rows, std::array<long long, 3> form) {
    for (const IndexedSolution& s : rows) {
        std::array<long long, 3> f{std::llabs(s.zone[0]), std::llabs(s.zone[1]), std::llabs(s.zone[2])};
        std::sort(f.begin(), f.end());
        if (f == form) return s.family;
    }
    return -1;
}

}  // namespace

TEST(TiltCheckTest, aSecondZoneDecidesBetweenTheAmbiguousZonesOfAluminium) {
    // {220} and {311} at 64.76 degrees: both <114> and <011> explain it.
    const auto first = indexedRows({{0.143189, 0.122112, 0.0779423}, {64.7606, 29.4962, 35.2644}});
    const auto second = indexedRows({{0.2025, 0.2025, 0.143189}, {90, 45, 45}});
    const int f114 = familyOf(first, {1, 1, 4}), f011 = familyOf(first, {0, 1, 1});
    ASSERT_GT(f114, 0);
    ASSERT_GT(f011, 0);

    calculator::TiltRequest request;
    request.cell = kAluminium;
    request.first = first;
    request.second = second;
    request.angleDeg = 19.47;
    request.toleranceDeg = 0.5;
    calculator::TiltResult result = calculator::checkTilt(request);
    ASSERT_EQ(result.error, calculator::TiltError::None);
    EXPECT_EQ(result.keptFamilies, std::vector<int>{f114});
    EXPECT_EQ(result.ruledOutFamilies, std::vector<int>{f011});
    ASSERT_FALSE(result.pairs.empty());
    EXPECT_NEAR(result.pairs.front().zoneAngleDeg, 19.4712206, 1e-6);
    for (std::size_t i = 1; i < result.pairs.size(); ++i)
        EXPECT_LE(result.pairs[i - 1].misfitDeg, result.pairs[i].misfitDeg);

    request.angleDeg = 45;
    result = calculator::checkTilt(request);
    EXPECT_EQ(result.keptFamilies, std::vector<int>{f011});
    EXPECT_EQ(result.ruledOutFamilies, std::vector<int>{f114});

    // The same 45 degrees read off a double-tilt holder: alpha 30 then alpha 0, beta 35.26.
    request.angleDeg.reset();
    const double beta = std::acos(std::cos(45 * M_PI / 180) / std::cos(30 * M_PI / 180)) * 180 / M_PI;
    request.alphaBeta = std::array<double, 4>{30, 0, 0, beta};
    result = calculator::checkTilt(request);
    EXPECT_NEAR(result.tiltDeg, 45, 1e-9);
    EXPECT_EQ(result.keptFamilies, std::vector<int>{f011});

    // Bad input is refused, never answered.
    request.alphaBeta.reset();
    request.angleDeg = 181;
    EXPECT_EQ(calculator::checkTilt(request).error, calculator::TiltError::TiltOutOfRange);
    request.alphaBeta = std::array<double, 4>{0, 0, 10, 0};
    EXPECT_EQ(calculator::checkTilt(request).error, calculator::TiltError::NoTilt);
    request.alphaBeta.reset();
    request.angleDeg = 45;
    request.second.clear();
    EXPECT_EQ(calculator::checkTilt(request).error, calculator::TiltError::NoSolutions);
}

TEST(TiltCheckTest, imageDirectionsKeepOnlyPairsOfOneOrientation) {
    // A crystal at [0 0 1] with (2 0 0) to the right, tilted 45 degrees about the image's X axis
    // (the holder's axis): the beam then runs along [0 -1 1] or [0 1 1].
    const auto frame = core::CrystalFrame::of(kAluminium);
    const calculator::PatternOnImage at001{{2, 0, 0}, {0, 2, 0}, 0, 90};
    const core::Mat3 u1 = *calculator::orientationOf(*frame, at001);
    const core::Mat3 u2 = core::multiply(calculator::holderRotation(45, 0, 0), u1);
    // Which crystal direction now looks at the viewer.
    const core::Vec3 beamInCrystal = core::multiply(core::transpose(u2), core::Vec3{0, 0, 1});
    EXPECT_NEAR(beamInCrystal[0], 0, 1e-12);
    EXPECT_NEAR(std::fabs(beamInCrystal[1]), std::sqrt(0.5), 1e-12);

    // First set: the [0 0 1] pattern with g1 = (2 0 0) and with g1 = (0 2 0); second set: [0 1 1]
    // and [0 -1 1] patterns, (2 0 0) pointing right in both.
    const std::vector<IndexedSolution> first{{1, 1, {2, 0, 0}, {0, 2, 0}, {0, 0, 1}, 0},
                                             {2, 1, {0, 2, 0}, {-2, 0, 0}, {0, 0, 1}, 0}};
    const std::vector<IndexedSolution> second{{1, 1, {2, 0, 0}, {0, 2, -2}, {0, 1, 1}, 0},
                                              {2, 1, {2, 0, 0}, {0, 2, 2}, {0, -1, 1}, 0}};
    calculator::TiltRequest request;
    request.cell = kAluminium;
    request.first = first;
    request.second = second;
    request.angleDeg = 45;
    request.toleranceDeg = 0.5;
    EXPECT_EQ(calculator::checkTilt(request).pairs.size(), 4u);
    // R1 to the right and R2 up in both images, tilt axis along the image's X: only g1 = (2 0 0)
    // of the first set stays; both tilt senses are allowed, so both second rows remain.
    request.directionsDeg = std::array<double, 4>{0, 90, 0, 90};
    const calculator::TiltResult result = calculator::checkTilt(request);
    ASSERT_EQ(result.error, calculator::TiltError::None);
    ASSERT_FALSE(result.pairs.empty());
    for (const calculator::TiltPair& p : result.pairs) {
        EXPECT_EQ(p.first, 0u);
        EXPECT_NEAR(*p.orientationMisfitDeg, 0, 1e-6);
    }
    // The holder's axis along the image's Y instead: no pair agrees.
    request.axisDeg = 90;
    EXPECT_TRUE(calculator::checkTilt(request).pairs.empty());
}

TEST(OrientationTest, rotationMatrixEulerAnglesAndHolderReadings) {
    const auto frame = core::CrystalFrame::of(kAluminium);
    // [0 0 1] towards the viewer with (2 0 0) to the right: the crystal frame is the image's.
    const core::Mat3 u = *calculator::orientationOf(*frame, {{2, 0, 0}, {0, 2, 0}, 0, 90});
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(u[i][j], i == j ? 1 : 0, 1e-12);
    for (double angle : calculator::bungeEuler(u)) EXPECT_NEAR(std::fmod(angle + 1, 360), 1, 1e-9);
    // R2 clockwise from R1: the crystal is seen from below, [0 0 -1] looks at the viewer.
    const core::Mat3 flipped = *calculator::orientationOf(*frame, {{2, 0, 0}, {0, 2, 0}, 0, -90});
    EXPECT_NEAR(flipped[2][2], -1, 1e-12);
    EXPECT_FALSE(calculator::orientationOf(*frame, {{2, 0, 0}, {4, 0, 0}, 0, 90}));

    // A known orientation: Bunge (30, 40, 50) built as g = Rz(phi2) Rx(Phi) Rz(phi1) comes back.
    const auto rz = [](double deg) { return core::rotationAbout({0, 0, 1}, -deg); };
    const auto rx = [](double deg) { return core::rotationAbout({1, 0, 0}, -deg); };
    const core::Mat3 g = core::multiply(rz(50), core::multiply(rx(40), rz(30)));
    const std::array<double, 3> euler = calculator::bungeEuler(core::transpose(g));
    EXPECT_NEAR(euler[0], 30, 1e-9);
    EXPECT_NEAR(euler[1], 40, 1e-9);
    EXPECT_NEAR(euler[2], 50, 1e-9);

    // The holder readings that bring a direction onto the beam do so, for any axis in the image.
    for (double axis : {0.0, 30.0, -75.0}) {
        const core::Vec3 target = *core::unit({0.3, -0.4, 0.8});
        const auto readings = calculator::holderReadingsFor(target, 5, -3, axis);
        ASSERT_TRUE(readings);
        const core::Mat3 back = core::multiply(calculator::holderRotation((*readings)[0], (*readings)[1], axis),
                                               core::transpose(calculator::holderRotation(5, -3, axis)));
        const core::Vec3 onBeam = core::multiply(back, target);
        EXPECT_NEAR(onBeam[2], 1, 1e-12) << axis;
    }
    EXPECT_NEAR(calculator::tiltBetweenReadings(10, 0, -15, 0), 25, 1e-9);
}

TEST(StereogramTest, cubicAtZeroZeroOnePlacesZonesAtTheirAnglesAndAClickGivesTheTilt) {
    const auto frame = core::CrystalFrame::of(kAluminium);
    const core::Mat3 u = *calculator::orientationOf(*frame, {{2, 0, 0}, {0, 2, 0}, 0, 90});
    calculator::StereogramRequest request;
    request.allowed = [](const core::Hkl& p) { return core::ReflectionCondition(saed::core::LatticeType::FaceCentred, p[0], p[1], p[2]); };
    const calculator::Stereogram projection = calculator::stereogram(*frame, u, request);
    ASSERT_FALSE(projection.zones.empty());
    EXPECT_EQ(projection.zones.front().uvw, (core::Uvw{0, 0, 1}));
    const auto find = [&](core::Uvw uvw) -> const calculator::StereogramZone* {
        for (const auto& z : projection.zones)
            if (z.uvw == uvw) return &z;
        return nullptr;
    };
    const auto* z011 = find({0, 1, 1});
    const auto* z111 = find({1, 1, 1});
    ASSERT_TRUE(z011 && z111);
    EXPECT_NEAR(z011->angleDeg, 45, 1e-9);
    EXPECT_NEAR(z111->angleDeg, 54.7356103172, 1e-9);
    // Stereographic radius tan(angle / 2); [0 1 1] lies up the image, [1 1 1] at 45 degrees.
    EXPECT_NEAR(std::hypot(z011->x, z011->y), std::tan(22.5 * M_PI / 180), 1e-12);
    EXPECT_NEAR(z011->azimuthDeg, 90, 1e-9);
    EXPECT_NEAR(z111->azimuthDeg, 45, 1e-9);
    EXPECT_FALSE(find({0, 0, -1}));  // the lower hemisphere is not drawn

    // A click on [1 1 2] in an oblique orientation: the tilt is the angle between the zones.
    const core::Mat3 oblique = *calculator::orientationOf(*frame, {{2, -2, 0}, {3, 1, -1}, 20, 84.76});
    const calculator::Stereogram tilted = calculator::stereogram(*frame, oblique, request);
    const auto it = std::find_if(tilted.zones.begin(), tilted.zones.end(),
                                 [](const auto& z) { return z.uvw == core::Uvw{1, 1, 2} || z.uvw == core::Uvw{-1, -1, -2}; });
    ASSERT_NE(it, tilted.zones.end());
    const calculator::StereogramZone* clicked = calculator::zoneAt(tilted, it->x + 0.01, it->y - 0.01);
    ASSERT_NE(clicked, nullptr);
    ASSERT_EQ(clicked->uvw, it->uvw);
    const double between = *core::angleBetween(frame->direction(core::Uvw{1, 1, 4}), frame->direction(it->uvw));
    EXPECT_NEAR(clicked->angleDeg, between, 1e-9);
    EXPECT_EQ(calculator::zoneAt(tilted, 5, 5), nullptr);

    // The great circles are of the strongest allowed planes: {111} first, never {100}.
    ASSERT_FALSE(projection.circles.empty());
    EXPECT_EQ(std::abs(projection.circles.front().hkl[0]), 1);
    EXPECT_EQ(std::abs(projection.circles.front().hkl[2]), 1);
    for (const auto& c : projection.circles) EXPECT_TRUE(request.allowed(c.hkl));
    const std::string svg = calculator::stereogramSvg(projection, {[](const core::Uvw& v) { return core::indexText(v); }, {}});
    EXPECT_NE(svg.find(">[0 1 1]</text>"), std::string::npos);

    // Where |F| is known it chooses the circles, not the spacing: with {2 2 0} the strongest and
    // {3 1 1} next, {1 1 1} (largest spacing, weakest here) comes last of three forms.
    request.amplitude = [](const core::Hkl& p) -> std::optional<double> {
        int ones = 0, twos = 0, threes = 0;
        for (int v : p) {
            ones += std::abs(v) == 1;
            twos += std::abs(v) == 2;
            threes += std::abs(v) == 3;
        }
        if (twos == 2 && ones + threes == 0) return 9.0;
        if (threes == 1 && ones == 2) return 7.0;
        return 1.0;
    };
    const calculator::Stereogram byF = calculator::stereogram(*frame, u, request);
    ASSERT_FALSE(byF.circles.empty());
    const auto sorted = [](core::Hkl p) {
        for (int& v : p) v = std::abs(v);
        std::sort(p.begin(), p.end());
        return p;
    };
    EXPECT_EQ(sorted(byF.circles.front().hkl), (core::Hkl{0, 2, 2}));
    EXPECT_EQ(byF.circles.front().amplitude, 9.0);
    std::vector<core::Hkl> forms;
    for (const auto& c : byF.circles)
        if (forms.empty() || !(forms.back() == sorted(c.hkl))) forms.push_back(sorted(c.hkl));
    EXPECT_EQ(forms, (std::vector<core::Hkl>{{0, 2, 2}, {1, 1, 3}, {1, 1, 1}}));
}
