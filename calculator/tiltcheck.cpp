// SPDX-License-Identifier: BSD-3-Clause
#include "calculator/tiltcheck.h"

#include <algorithm>  // for sort, min, binary_search
#include <cmath>      // for isfinite, fabs, sin
#include <set>

namespace saed::calculator {

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;

bool finite(const std::array<double, 4>& v) {
    return std::all_of(v.begin(), v.end(), [](double x) { return std::isfinite(x); });
}

}  // namespace

TiltResult checkTilt(const TiltRequest& request) {
    TiltResult result;
    const auto frame = core::CrystalFrame::of(request.cell);
    if (!frame) {
        result.error = TiltError::NotACell;
        return result;
    }
    if (request.angleDeg.has_value() == request.alphaBeta.has_value()) {
        result.error = TiltError::NoTilt;
        return result;
    }
    if (!std::isfinite(request.toleranceDeg) || request.toleranceDeg < 0) {
        result.error = TiltError::BadTolerance;
        return result;
    }
    if (request.angleDeg) {
        const double t = *request.angleDeg;
        if (!std::isfinite(t) || t < 0 || t > kMaxTiltDeg) {
            result.error = TiltError::TiltOutOfRange;
            return result;
        }
        result.tiltDeg = t;
    } else {
        const auto& ab = *request.alphaBeta;
        if (!finite(ab) || std::fabs(ab[0]) > kMaxTiltDeg || std::fabs(ab[1]) > kMaxTiltDeg ||
            std::fabs(ab[2]) > kMaxTiltDeg || std::fabs(ab[3]) > kMaxTiltDeg) {
            result.error = TiltError::TiltOutOfRange;
            return result;
        }
        result.tiltDeg = tiltBetweenReadings(ab[0], ab[1], ab[2], ab[3]);
    }
    if (request.first.empty() || request.second.empty()) {
        result.error = TiltError::NoSolutions;
        return result;
    }
    if (request.directionsDeg) {
        const auto& d = *request.directionsDeg;
        if (!finite(d) || !std::isfinite(request.axisDeg) || std::fabs(std::sin((d[1] - d[0]) * kDeg)) < 1e-6 ||
            std::fabs(std::sin((d[3] - d[2]) * kDeg)) < 1e-6) {
            result.error = TiltError::BadDirections;
            return result;
        }
    }

    // A zone axis and its opposite give one pattern: the angle between zones is taken between
    // lines, 0 to 90 degrees, and so is the tilt.
    const double tilt = std::min(result.tiltDeg, 180.0 - result.tiltDeg);
    std::vector<core::Vec3> secondZones;
    secondZones.reserve(request.second.size());
    for (const IndexedSolution& s : request.second) secondZones.push_back(frame->direction(s.zone));

    // The holder's turns from the first pattern to the second, in the sample frame: both senses
    // of a single tilt, one rotation for double-tilt readings.
    std::vector<core::Mat3> turns;
    std::vector<std::optional<core::Mat3>> secondOrientations;
    if (request.directionsDeg) {
        const auto& d = *request.directionsDeg;
        if (request.alphaBeta) {
            const auto& ab = *request.alphaBeta;
            turns.push_back(core::multiply(holderRotation(ab[2], ab[3], request.axisDeg),
                                           core::transpose(holderRotation(ab[0], ab[1], request.axisDeg))));
        } else {
            turns.push_back(holderRotation(result.tiltDeg, 0, request.axisDeg));
            turns.push_back(holderRotation(-result.tiltDeg, 0, request.axisDeg));
        }
        for (const IndexedSolution& s : request.second)
            secondOrientations.push_back(orientationOf(*frame, {s.g1, s.g2, d[2], d[3]}));
    }

    for (std::size_t i = 0; i < request.first.size(); ++i) {
        const IndexedSolution& a = request.first[i];
        const core::Vec3 zoneA = frame->direction(a.zone);
        std::optional<core::Mat3> orientationA;
        if (request.directionsDeg)
            orientationA = orientationOf(*frame, {a.g1, a.g2, (*request.directionsDeg)[0], (*request.directionsDeg)[1]});
        for (std::size_t j = 0; j < request.second.size(); ++j) {
            const auto angle = core::angleBetween(zoneA, secondZones[j]);
            if (!angle) continue;
            const double lineAngle = std::min(*angle, 180.0 - *angle);
            const double misfit = std::fabs(lineAngle - tilt);
            if (!(misfit <= request.toleranceDeg)) continue;
            TiltPair pair{i, j, lineAngle, misfit, std::nullopt};
            if (request.directionsDeg) {
                if (!orientationA || !secondOrientations[j]) continue;
                double best = 180.0;
                for (const core::Mat3& turn : turns) {
                    const core::Mat3 predicted = core::multiply(turn, *orientationA);
                    best = std::min(best, core::rotationAngle(
                                              core::multiply(*secondOrientations[j], core::transpose(predicted))));
                }
                if (!(best <= request.toleranceDeg)) continue;
                pair.orientationMisfitDeg = best;
            }
            result.pairs.push_back(pair);
        }
    }
    std::stable_sort(result.pairs.begin(), result.pairs.end(), [](const TiltPair& x, const TiltPair& y) {
        if (x.misfitDeg != y.misfitDeg) return x.misfitDeg < y.misfitDeg;
        return x.orientationMisfitDeg.value_or(0.0) < y.orientationMisfitDeg.value_or(0.0);
    });

    std::set<int> kept, all;
    for (const IndexedSolution& s : request.first) all.insert(s.family);
    for (const TiltPair& p : result.pairs) kept.insert(request.first[p.first].family);
    result.keptFamilies.assign(kept.begin(), kept.end());
    for (int f : all)
        if (!kept.count(f)) result.ruledOutFamilies.push_back(f);
    return result;
}

}  // namespace saed::calculator
