// SPDX-License-Identifier: BSD-3-Clause
#include "simulation/zonepattern.h"

#include <algorithm>  // for sort
#include <array>
#include <cmath>    // for cos, sin, sqrt, floor, llround
#include <utility>  // for move

namespace saed::simulation {

namespace {

using Vec3 = std::array<double, 3>;

constexpr double kPi = 3.14159265358979323846;

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec3 scaled(const Vec3& a, double s) { return {a[0] * s, a[1] * s, a[2] * s}; }
Vec3 sum3(const Vec3& a, const Vec3& b, const Vec3& c) {
    return {a[0] + b[0] + c[0], a[1] + b[1] + c[1], a[2] + b[2] + c[2]};
}

// Cartesian frame of the cell: a along x, b in the xy plane (the usual orthogonalisation), and
// the reciprocal vectors a* = (b x c) / V and so on, so that g = h a* + k b* + l c* has
// |g| = 1/d and g . (u a + v b + w c) = h u + k v + l w.
struct Frame {
    std::array<Vec3, 3> direct;
    std::array<Vec3, 3> reciprocal;

    explicit Frame(const core::Cell& cell) {
        const double ca = std::cos(cell.alphaDeg * kPi / 180),
                     cb = std::cos(cell.betaDeg * kPi / 180);
        const double cg = std::cos(cell.gammaDeg * kPi / 180),
                     sg = std::sin(cell.gammaDeg * kPi / 180);
        const double cy = (ca - cb * cg) / sg;
        direct[0] = {cell.aNm, 0, 0};
        direct[1] = {cell.bNm * cg, cell.bNm * sg, 0};
        direct[2] = {cell.cNm * cb, cell.cNm * cy, cell.cNm * std::sqrt(1 - cb * cb - cy * cy)};
        const double volume = dot(direct[0], cross(direct[1], direct[2]));
        reciprocal[0] = scaled(cross(direct[1], direct[2]), 1 / volume);
        reciprocal[1] = scaled(cross(direct[2], direct[0]), 1 / volume);
        reciprocal[2] = scaled(cross(direct[0], direct[1]), 1 / volume);
    }
    Vec3 g(const Hkl& p) const {
        return sum3(scaled(reciprocal[0], p[0]), scaled(reciprocal[1], p[1]),
                    scaled(reciprocal[2], p[2]));
    }
    Vec3 axis(const Uvw& u) const {
        return sum3(scaled(direct[0], static_cast<double>(u[0])),
                    scaled(direct[1], static_cast<double>(u[1])),
                    scaled(direct[2], static_cast<double>(u[2])));
    }
};

bool inZone(const Hkl& p, const Uvw& zone) {
    return p[0] * zone[0] + p[1] * zone[1] + p[2] * zone[2] == 0;
}

bool isZero(const Hkl& p) { return p[0] == 0 && p[1] == 0 && p[2] == 0; }

}  // namespace

ExtinctionRule latticeTypeRule(core::LatticeType latticeType) {
    return [latticeType](const Hkl& p) {
        return core::ReflectionCondition(latticeType, p[0], p[1], p[2]);
    };
}

ExtinctionRule runRule(core::LatticeType latticeType, std::shared_ptr<const core::ReflectionRule> rule) {
    if (core::isLatticeCentring(latticeType)) return latticeTypeRule(latticeType);
    if (latticeType != core::LatticeType::SpaceGroup || !rule) return [](const Hkl&) { return false; };
    return [rule = std::move(rule)](const Hkl& p) { return rule->admits(p); };
}

std::function<double(const Hkl&)> structureIntensity(std::shared_ptr<const core::ReflectionRule> rule) {
    if (!rule) return {};
    return [rule = std::move(rule)](const Hkl& p) {
        const std::optional<double> f = rule->structureFactor(p);
        return f ? *f * *f : 1.0;
    };
}

ZonePatternResult simulateZone(const ZonePatternRequest& request) {
    ZonePatternResult result;
    result.pattern.zone = request.zone;
    if (!core::isCell(request.cell)) {
        result.error = PatternError::NotACell;
        return result;
    }
    if (request.zone == Uvw{0, 0, 0}) {
        result.error = PatternError::ZeroZone;
        return result;
    }
    if (request.g1 && (isZero(*request.g1) || !inZone(*request.g1, request.zone))) {
        result.error = PatternError::BadG1;
        return result;
    }
    const Frame frame(request.cell);
    const double gMax = request.maxGInvNm;
    const double triples = (2 * gMax * request.cell.aNm + 1) * (2 * gMax * request.cell.bNm + 1) *
                           (2 * gMax * request.cell.cNm + 1);
    if (!(gMax > 0) || !(triples <= kMaxIndexTriples)) {
        result.error = PatternError::BadRange;
        return result;
    }

    // |h| = |g . a| <= |g| a, and likewise for k and l.
    const auto bound = [gMax](double edgeNm) {
        return static_cast<int>(std::floor(gMax * edgeNm + 1e-9));
    };
    const int hMax = bound(request.cell.aNm), kMax = bound(request.cell.bNm),
              lMax = bound(request.cell.cNm);
    std::vector<Spot> spots;
    for (int h = -hMax; h <= hMax; ++h)
        for (int k = -kMax; k <= kMax; ++k)
            for (int l = -lMax; l <= lMax; ++l) {
                const Hkl p{h, k, l};
                if (isZero(p) || !inZone(p, request.zone)) continue;
                if (request.allowed && !request.allowed(p)) continue;
                const double length = std::sqrt(dot(frame.g(p), frame.g(p)));
                if (length > gMax * (1 + 1e-12)) continue;
                Spot spot;
                spot.hkl = p;
                spot.dNm = 1 / length;
                spot.intensity = request.intensity ? request.intensity(p) : 1.0;
                spots.push_back(spot);
            }
    // By |g| (to a millionth of 1/nm, so rounding does not split equal lengths), then by hkl
    // descending, so that (2 0 0) comes before (-2 0 0).
    const auto key = [](const Spot& s) { return std::llround(1e6 / s.dNm); };
    std::sort(spots.begin(), spots.end(), [&key](const Spot& a, const Spot& b) {
        if (key(a) != key(b)) return key(a) < key(b);
        return a.hkl > b.hkl;
    });

    Hkl g1{};
    if (request.g1) {
        g1 = *request.g1;
    } else if (!spots.empty()) {
        g1 = spots.front().hkl;
    } else {
        result.error = PatternError::NoSpots;
        return result;
    }
    const Vec3 g1Cart = frame.g(g1);
    const Vec3 e1 = scaled(g1Cart, 1 / std::sqrt(dot(g1Cart, g1Cart)));
    const Vec3 zoneCart = frame.axis(request.zone);
    const Vec3 e3 = scaled(zoneCart, 1 / std::sqrt(dot(zoneCart, zoneCart)));
    Vec3 e2 = cross(e3, e1);
    if (request.g2) {
        const Hkl& g2 = *request.g2;
        const Vec3 c = cross(Vec3{double(g1[0]), double(g1[1]), double(g1[2])},
                             Vec3{double(g2[0]), double(g2[1]), double(g2[2])});
        if (!inZone(g2, request.zone) || (c[0] == 0 && c[1] == 0 && c[2] == 0)) {
            result.error = PatternError::BadG2;
            return result;
        }
        if (dot(frame.g(g2), e2) < 0) e2 = scaled(e2, -1);
    }
    for (Spot& spot : spots) {
        const Vec3 g = frame.g(spot.hkl);
        spot.xInvNm = dot(g, e1);
        spot.yInvNm = dot(g, e2);
    }
    result.pattern.g1 = g1;
    result.pattern.spots = std::move(spots);
    return result;
}

}  // namespace saed::simulation
