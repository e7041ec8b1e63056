// SPDX-License-Identifier: BSD-3-Clause
// Diffraction spots on a raster: sub-pixel centres, the direct-beam centre, detection and the
// choice of the two shortest lattice vectors R1, R2 (R3 = R1 + R2).
//
// Coordinates are image pixels: x to the right, y down, (0, 0) the centre of the top-left pixel.
#pragma once

#include <optional>
#include <vector>

#include "core/pixelpoint.h"
#include "core/raster.h"

namespace saed::measure {

struct Spot {
    double x = 0.0;          // sub-pixel centre
    double y = 0.0;
    double intensity = 0.0;  // summed over the spot's window, background removed
    double snr = 0.0;        // signal-to-noise of detection, see detectSpots()
    // Its peak is clipped at the image's highest value (a plateau of pixels there): the
    // intensity is only a lower bound of the spot's.
    bool saturated = false;

    // The sub-pixel centre as an image point: the one way from a detected spot to a point.
    core::PixelPoint centre() const { return {x, y}; }
};

// The intensity-weighted centre of the spot nearest `near`: the brightest 3 x 3 mean within
// `radiusPx` of `near` is taken as the spot, a plane fitted to the border of a
// (2 radius + 1)-pixel window is removed as background, and the centroid of what stands more
// than twice the border's noise above it is iterated until the window sits on the spot.
// nullopt when `near` is off the image or nothing stands above the background there.
std::optional<Spot> refineSpotCentre(const core::Raster& raster, core::PixelPoint near, double radiusPx = 6.0);

struct SpotDetectionOptions {
    // A spot is kept when its 3 x 3 mean at the peak stands at least this many times the noise
    // of such a mean (the pixel noise / 3) above the median of a ring around it.
    double minSnr = 6.0;
    int radiusPx = 5;            // half-size of the window; spots closer than this merge
    std::size_t maxSpots = 1000; // the strongest are kept
};

// The pixel noise of the image: the median absolute difference of neighbouring pixels, as a
// standard deviation; at least a millionth of the value range so that flat images detect nothing.
double estimateNoise(const core::Raster& raster);

// Detects the spots of a pattern, strongest first, each with its sub-pixel centre.
std::vector<Spot> detectSpots(const core::Raster& raster, const SpotDetectionOptions& options = {});

// The direct-beam centre from the symmetry of Friedel pairs: the point about which most spots
// of like intensity lie in opposite pairs, as the mean of those pairs' midpoints. Needs no spot
// at the centre itself (a saturated or blocked direct beam); nullopt with fewer than two pairs.
std::optional<core::PixelPoint> friedelCentre(const std::vector<Spot>& spots, double tolerancePx = 1.5);

// Detects the spots and finds the direct-beam centre.
std::optional<core::PixelPoint> findDirectBeamCentre(const core::Raster& raster, const SpotDetectionOptions& options = {});

struct LatticeVectors {
    core::PixelPoint r1;       // (dx, dy) in pixels
    core::PixelPoint r2;
    core::PixelPoint r3;       // r1 + r2
    core::PixelPoint centre;   // refined with the vectors
    int spotsIndexed = 0;
};

// R1 is the shortest spot vector from the centre whose opposite spot is also there, R2 the
// shortest such vector at least 15 degrees from R1's line, signed so that R3 = R1 + R2 is the
// shorter of R1 +- R2; then every spot that lies on that lattice refines the three by least
// squares; a `keepCentre` stays where it is given (a centre the user set), only R1 and R2 are
// refined. nullopt without two such vectors.
std::optional<LatticeVectors> chooseLatticeVectors(const std::vector<Spot>& spots, core::PixelPoint centre,
                                                   bool keepCentre = false);

}  // namespace saed::measure
