// SPDX-License-Identifier: BSD-3-Clause
#include "core/lattice.h"

#include <cmath>
#include <string>
#include <tuple>
#include <utility>  // for pair
#include <vector>

#include <gtest/gtest.h>

#include "core/numbertext.h"

using namespace saed::core;

namespace {

const Cell kCubic{0.5, 0.5, 0.5, 90, 90, 90};
const Cell kHexagonal{0.25, 0.25, 0.4, 90, 90, 120};

std::string spacingText(const Cell& cell, Hkl p) {
    return formatSpacing(Spacing(ReciprocalMetric(cell), p).value());
}

std::string angleText(const Cell& cell, Hkl p, Hkl q) {
    return formatAngle(PlaneAngle(ReciprocalMetric(cell), p, q).value());
}

}  // namespace

TEST(LatticeTest, reciprocalMetricSpacingsAndAngles) {
    const SquareMatrix gs = ReciprocalMetric(kCubic);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_NEAR(gs(i, j), i == j ? 4.0 : 0.0, 1e-12);
    // Cubic, then hexagonal ((1 0 0) at a sqrt(3) / 2).
    EXPECT_EQ(std::vector<std::string>({spacingText(kCubic, {1, 0, 0}), spacingText(kCubic, {1, 1, 0}),
                                        spacingText(kCubic, {1, 1, 1}), angleText(kCubic, {1, 0, 0}, {0, 1, 0}),
                                        angleText(kCubic, {1, 0, 0}, {1, 1, 0}), angleText(kCubic, {1, 0, 0}, {1, 1, 1}),
                                        spacingText(kHexagonal, {1, 0, 0}), spacingText(kHexagonal, {0, 0, 2}),
                                        spacingText(kHexagonal, {1, 1, 0}), angleText(kHexagonal, {1, 0, 0}, {0, 1, 0})}),
              std::vector<std::string>({"0.5000000", "0.3535534", "0.2886751", "90.0000", "45.0000", "54.7356",
                                        "0.2165064", "0.2000000", "0.1250000", "60.0000"}));
    // arccos(1/sqrt 3) = 54.735610317245345684... degrees.
    EXPECT_EQ(generalText(PlaneAngle(gs, {1, 1, 1}, {1, 0, 0}).value()), "54.7356103172453");
}

TEST(LatticeTest, planesWithoutSpacingHaveNoAngle) {
    const SquareMatrix gs = ReciprocalMetric(kCubic);
    EXPECT_EQ(QuadraticForm(gs, {0, 0, 0}), 0.0);
    EXPECT_FALSE(Spacing(gs, {0, 0, 0}).has_value());
    EXPECT_EQ(Spacing(gs, {0, 0, 0}).value_or(0.0), 0.0);  // the run's spacing of (0 0 0)
    EXPECT_FALSE(PlaneAngle(gs, {0, 0, 0}, {1, 0, 0}).has_value());
    EXPECT_FALSE(PlaneAngle(gs, {1, 0, 0}, {0, 0, 0}).has_value());
}

TEST(LatticeTest, cellTestNamesTheFirstFieldAtFault) {
    const double nan = std::nan("");
    const struct {
        Cell cell;
        CellFault fault;
    } cases[] = {
        {kCubic, CellFault::None},
        {kHexagonal, CellFault::None},
        {{0.3, 0.3, 0.3, 80, 80, 80}, CellFault::None},
        {{0, -1, 0.5, 10, 10, 100}, CellFault::EdgeA},  // the first edge is named, not the angles
        {{0.5, nan, -0.5, 90, 90, 90}, CellFault::EdgeB},
        {{0.5, 0.5, -0.5, 90, 90, 90}, CellFault::EdgeC},
        {{0.3, 0.3, 0.3, 10, 10, 100}, CellFault::Angles},  // cannot close
        {{0.5, 0.5, 0.5, 90, 90, 180}, CellFault::Angles},
        // An angle outside (0, 180) has the metric of its supplement or of itself less 360.
        {{0.5, 0.5, 0.5, 200, 90, 90}, CellFault::Angles},
        {{0.5, 0.5, 0.5, 90, 450, 90}, CellFault::Angles},
        {{0.5, 0.5, 0.5, 90, 90, -90}, CellFault::Angles},
        // Flat cells: sin^2(gamma) of 5.7e-5 degrees is 0.99e-12 of the edges' product, only
        // rounding noise; at 5.8e-5 degrees it is 1.02e-12 and the cell stands. Both invert.
        {{1, 1, 1, 90, 90, 5.7e-5}, CellFault::Angles},
        {{1, 1, 1, 90, 90, 5.8e-5}, CellFault::None},
        // Nearly coplanar edges (gamma = beta - alpha): the volume squared alone is 0.71e-12 of
        // the edges' product, then 1.42e-12.
        {{1, 1, 1, 40, 80, 40.00000000005}, CellFault::Angles},
        {{1, 1, 1, 40, 80, 40.0000000001}, CellFault::None},
        // Edges in metres: the metric is positive but too small for MRinv to invert.
        {{3.2e-10, 3.2e-10, 5.2e-10, 90, 90, 120}, CellFault::Angles},
        {{3.2e-3, 3.2e-3, 5.2e-3, 90, 90, 120}, CellFault::None},
    };
    for (const auto& c : cases) {
        const Cell& x = c.cell;
        SCOPED_TRACE(::testing::Message() << x.aNm << " " << x.bNm << " " << x.cNm << " " << x.alphaDeg << " "
                                          << x.betaDeg << " " << x.gammaDeg);
        EXPECT_EQ(cellFault(x), c.fault);
        EXPECT_EQ(isCell(x), c.fault == CellFault::None);
    }
    EXPECT_EQ(cellFaultField(CellFault::None), -1);
    EXPECT_EQ(cellFaultField(CellFault::EdgeC), 2);
    EXPECT_EQ(cellFaultField(CellFault::Angles), 3);  // alpha
}

TEST(LatticeTest, parallelPlanesGiveZeroOrOneEighty) {
    const SquareMatrix gs = ReciprocalMetric(kHexagonal);
    EXPECT_EQ(std::vector({PlaneAngle(gs, {1, 0, 0}, {1, 0, 0}), PlaneAngle(gs, {1, 1, 0}, {2, 2, 0}),
                           PlaneAngle(gs, {1, 1, 0}, {-1, -1, 0}), PlaneAngle(gs, {1, -2, 3}, {-2, 4, -6})}),
              std::vector<std::optional<double>>({0.0, 0.0, 180.0, 180.0}));
    EXPECT_EQ(angleFromCosine(1.0000000000000002), 0.0);
    EXPECT_EQ(angleFromCosine(-1.0000000000000002), 180.0);
    EXPECT_EQ(formatAngle(angleFromCosine(0.5)), "60.0000");
}

TEST(LatticeTest, zoneAxisIsReducedWithItsSign) {
    // [2 2 -4] / 2 and [-3 6 -3] / 3 are reduced; parallel planes have no zone.
    const std::tuple<Hkl, Hkl, Uvw> cases[] = {
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},  {{2, 0, 0}, {0, 2, 0}, {0, 0, 1}},   {{1, 1, 0}, {1, -1, 0}, {0, 0, -1}},
        {{1, 0, 0}, {1, 0, 0}, {0, 0, 0}},  {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},  {{1, 1, 1}, {2, -2, 0}, {1, 1, -2}},
        {{1, 2, 3}, {4, 5, 6}, {-1, 2, -1}}};
    for (const auto& [p, q, zone] : cases) EXPECT_EQ(ZoneAxis(p, q), zone) << p[0] << p[1] << p[2] << " " << q[0] << q[1] << q[2];
}

TEST(LatticeTest, reflectionConditions) {
    struct Case {
        LatticeType type;
        Hkl hkl;
        bool admitted;
    };
    const Case cases[] = {
        {LatticeType::Simple, {1, 2, 3}, true},    {LatticeType::Simple, {0, 0, 0}, true},
        {LatticeType::BaseCentred, {1, 1, 0}, true},    {LatticeType::BaseCentred, {0, 0, 1}, true},    {LatticeType::BaseCentred, {1, 0, 0}, false},
        {LatticeType::BaseCentred, {-1, 2, 0}, false},
        {LatticeType::BodyCentred, {1, 1, 0}, true},    {LatticeType::BodyCentred, {1, 0, 0}, false},   {LatticeType::BodyCentred, {-1, 0, -1}, true},
        {LatticeType::FaceCentred, {1, 1, 1}, true},    {LatticeType::FaceCentred, {2, 0, 0}, true},    {LatticeType::FaceCentred, {0, 0, 0}, true},
        {LatticeType::FaceCentred, {1, 1, 0}, false},   {LatticeType::FaceCentred, {1, 0, 0}, false},   {LatticeType::FaceCentred, {-1, -1, 1}, true},
        {LatticeType::Rhombic, {1, 0, 0}, true},    {LatticeType::Rhombic, {1, 1, 0}, true},    {LatticeType::Rhombic, {0, 0, 2}, true},
        {LatticeType::Rhombic, {0, 0, 1}, false},   {LatticeType::Rhombic, {1, 1, 1}, false},   {LatticeType::Rhombic, {-2, 1, 1}, false},
        {LatticeType::Rhombic, {0, 0, 0}, true},    {LatticeType::Rhombic, {1, 0, 1}, true},
        {LatticeType::None, {0, 0, 0}, false},  {LatticeType::SpaceGroup, {1, 1, 1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "type " << latticeTypeCode(c.type) << " (" << c.hkl[0] << " "
                                          << c.hkl[1] << " " << c.hkl[2] << ")");
        EXPECT_EQ(ReflectionCondition(c.type, c.hkl[0], c.hkl[1], c.hkl[2]), c.admitted);
    }
}

TEST(LatticeTest, latticeTypeCodesRoundTripAndOthersAreRefused) {
    // The codes are the selector's list positions, as stored files and the command line write them.
    const std::pair<int, LatticeType> codes[] = {
        {-1, LatticeType::None},        {0, LatticeType::Simple},      {1, LatticeType::BaseCentred},
        {2, LatticeType::BodyCentred},  {3, LatticeType::FaceCentred}, {4, LatticeType::Rhombic},
        {5, LatticeType::SpaceGroup}};
    for (const auto& [code, type] : codes) {
        EXPECT_EQ(latticeTypeFromCode(code), type) << code;
        EXPECT_EQ(latticeTypeCode(type), code) << code;
        EXPECT_EQ(isLatticeCentring(type), code >= 0 && code <= 4) << code;
    }
    for (long long code : {-2LL, 6LL, 1LL << 40}) EXPECT_FALSE(latticeTypeFromCode(code)) << code;
}
