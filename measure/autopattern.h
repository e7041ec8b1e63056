// SPDX-License-Identifier: BSD-3-Clause
// The automatic measurement of a pattern: its spots, the direct-beam centre and R1, R2, R3
// with their lengths and the angles between them, as a user would measure them by hand.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/ellipticdistortion.h"
#include "core/raster.h"
#include "measure/spots.h"

namespace saed::measure {

struct AutoPattern {
    std::vector<Spot> spots;
    LatticeVectors vectors;            // r1, r2, r3 = r1 + r2 in image pixels, and the centre
    std::array<double, 3> lengthsPx{}; // |r1|, |r2|, |r3|
    // <R1,R2>, <R2,R3>, <R1,R3> in degrees, chosen as the Measure dialog chooses them.
    std::array<double, 3> anglesDeg{};
};

// Detects the spots of `raster`, takes `centre` as the direct beam (or finds it from the
// Friedel pairs when none is given) and chooses R1, R2, R3; the centre is refined with them
// unless `keepCentre` (a centre the user set and locked). nullopt, with `error` saying which
// step failed, when there are too few spots, no centre or no two lattice vectors.
std::optional<AutoPattern> measurePattern(const core::Raster& raster, std::optional<core::PixelPoint> centre,
                                          std::string& error, const SpotDetectionOptions& options = {},
                                          bool keepCentre = false);

// R1, R2 and R3 = R1 + R2 (image pixels) from `centre` with their lengths and the angles as the
// Measure dialog chooses them; nullopt when they give no consistent angles.
std::optional<AutoPattern> patternFromVectors(core::PixelPoint centre, core::PixelPoint r1, core::PixelPoint r2,
                                              std::vector<Spot> spots = {});

// The pattern as it would be without the projector's elliptical distortion: R1 and R2 corrected
// (R3 = R1 + R2), their lengths and angles found again; the spots stay where the image shows
// them. nullopt when the corrected vectors give no consistent angles.
std::optional<AutoPattern> withoutDistortion(const AutoPattern& pattern, const core::EllipticDistortion& distortion);

}  // namespace saed::measure
