// SPDX-License-Identifier: BSD-3-Clause
// Synthetic spot patterns with known spot centres: Gaussian spots at sub-pixel positions of a
// zone's reciprocal lattice, a background, noise, a saturated or blocked direct beam.
#pragma once

#include <cstdint>
#include <vector>

#include "core/ellipticdistortion.h"
#include "core/raster.h"

namespace saed::tools {

struct PatternSpec {
    int width = 512;
    int height = 512;
    double centreX = 255.37;          // the direct beam, pixels
    double centreY = 251.81;
    // The zone's two basis vectors g_a, g_b in 1/nm and the camera: pixels per 1/nm.
    // Default: aluminium (face-centred, a = 0.40495 nm) along [0 1 1], g_a = (1 1 -1), g_b = (1 -1 1).
    double basisLengthInvNm = 4.27719;   // sqrt(3) / 0.40495
    double basisAngleDeg = 109.4712206;  // between (1 1 -1) and (1 -1 1)
    double pixelsPerInvNm = 12.5;
    double rotationDeg = 20.0;
    double spotSigmaPx = 1.6;
    double peak = 6000.0;             // peak height of the innermost spots above the background
    double falloffInvNm = 6.0;        // peaks fall as exp(-|g|^2 / (2 falloff^2))
    double background = 200.0;
    double noiseSigma = 12.0;         // Gaussian noise per pixel (0: none)
    double directPeak = 500000.0;     // the direct beam's height; clipped at `saturation`
    double saturation = 65535.0;
    double beamStopRadiusPx = 0.0;    // > 0: a dark disc hides the direct beam
    double marginPx = 8.0;            // spots closer to the edge are left out
    core::PixelType type = core::PixelType::UInt16;
    std::uint32_t seed = 11;
};

struct TrueSpot {
    double x = 0.0;
    double y = 0.0;
    double peak = 0.0;   // height above the background
    int m = 0;           // spot = centre + m g_a + n g_b
    int n = 0;
};

struct Pattern {
    core::Raster raster;
    std::vector<TrueSpot> spots;   // without the direct beam
    double gaX = 0.0, gaY = 0.0;   // g_a and g_b in pixels
    double gbX = 0.0, gbY = 0.0;
};

// Draws the pattern; the raster carries the reciprocal calibration 1 / pixelsPerInvNm.
Pattern makePattern(const PatternSpec& spec);

// `in` as a camera records it under `distortion` about the centre (cx, cy): each pixel sampled,
// bilinearly, where the distortion takes it from; pixels whose source leaves the image stay 0.
core::Raster recordedUnder(const core::Raster& in, const core::EllipticDistortion& distortion, double cx,
                           double cy);

}  // namespace saed::tools
