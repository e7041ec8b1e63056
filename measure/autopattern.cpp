// SPDX-License-Identifier: BSD-3-Clause
// The automatic measurement of a pattern: its spots, the direct-beam centre and R1, R2, R3.
#include "measure/autopattern.h"

#include <cmath>  // for hypot

#include "measure/anglesearch.h"

namespace saed::measure {

namespace {

// The lengths of R1, R2, R3 and the angles between them, as the Measure dialog chooses them;
// false when the vectors give no consistent angles.
bool measureVectors(AutoPattern& pattern) {
    const core::PixelPoint r[3] = {pattern.vectors.r1, pattern.vectors.r2, pattern.vectors.r3};
    for (std::size_t n = 0; n < 3; ++n) pattern.lengthsPx[n] = std::hypot(r[n].x, r[n].y);
    // Lines drawn from the centre out to each spot: start minus end is the vector reversed.
    const auto line = [](core::PixelPoint v) { return Vector2{-v.x, -v.y}; };
    const std::optional<AngleCandidates> candidates = pairCandidates(line(r[0]), line(r[1]), line(r[2]));
    const std::optional<std::array<double, 3>> angles = candidates ? searchOrientation(*candidates) : std::nullopt;
    if (!angles) return false;
    pattern.anglesDeg = *angles;
    return true;
}

}  // namespace

std::optional<AutoPattern> measurePattern(const core::Raster& raster, std::optional<core::PixelPoint> centre,
                                          std::string& error, const SpotDetectionOptions& options,
                                          bool keepCentre) {
    AutoPattern pattern;
    pattern.spots = detectSpots(raster, options);
    if (pattern.spots.size() < 3) {
        error = "too few spots were found (" + std::to_string(pattern.spots.size()) + ")";
        return std::nullopt;
    }
    if (!centre) centre = friedelCentre(pattern.spots);
    if (!centre) {
        error = "too few opposite spot pairs to find the direct-beam centre";
        return std::nullopt;
    }
    const std::optional<LatticeVectors> vectors = chooseLatticeVectors(pattern.spots, *centre, keepCentre);
    if (!vectors) {
        error = "no two lattice vectors were found among the spots";
        return std::nullopt;
    }
    pattern.vectors = *vectors;
    if (!measureVectors(pattern)) {
        error = "the lattice vectors give no consistent angles";
        return std::nullopt;
    }
    return pattern;
}

std::optional<AutoPattern> patternFromVectors(core::PixelPoint centre, core::PixelPoint r1, core::PixelPoint r2,
                                              std::vector<Spot> spots) {
    AutoPattern pattern;
    pattern.spots = std::move(spots);
    pattern.vectors.centre = centre;
    pattern.vectors.r1 = r1;
    pattern.vectors.r2 = r2;
    pattern.vectors.r3 = {r1.x + r2.x, r1.y + r2.y};
    if (!measureVectors(pattern)) return std::nullopt;
    return pattern;
}

std::optional<AutoPattern> withoutDistortion(const AutoPattern& pattern, const core::EllipticDistortion& distortion) {
    AutoPattern out = pattern;
    distortion.correct(out.vectors.r1.x, out.vectors.r1.y);
    distortion.correct(out.vectors.r2.x, out.vectors.r2.y);
    out.vectors.r3 = {out.vectors.r1.x + out.vectors.r2.x, out.vectors.r1.y + out.vectors.r2.y};
    if (!measureVectors(out)) return std::nullopt;
    return out;
}

}  // namespace saed::measure
