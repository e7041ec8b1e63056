// SPDX-License-Identifier: BSD-3-Clause
// Synthetic ring patterns of polycrystals with known centre, distortion and camera constant:
// each phase's powder lines as rings of |F|^2 x multiplicity, broadened by the grain size, on a
// diffuse background, with a beam stop and Poisson noise.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "analysis/ringindexing.h"
#include "core/ellipticdistortion.h"
#include "core/raster.h"

namespace saed::tools {

struct RingSpec {
    int width = 1024;
    int height = 1024;
    double centreX = 511.3;             // the direct beam, pixels
    double centreY = 509.6;
    double perPixel = 0.025;            // camera constant, 1/nm per corrected pixel
    core::EllipticDistortion distortion;
    double grainSizeNm = 30.0;          // ring width in |g|: FWHM 0.9 / size (Scherrer)
    double instrumentFwhmPx = 2.0;      // the width of the smallest ring on the camera
    double ringCounts = 4.0e7;          // counts in all rings together
    double background = 20.0;           // counts per pixel far out
    double diffuse = 3000.0;            // counts per pixel of the diffuse halo at the centre
    double diffuseRadiusPx = 60.0;      // its fall-off, exp(-r / radius)
    double directPeak = 1.0e6;          // the direct beam, clipped at the ceiling
    double ceiling = 65535.0;
    double beamStopRadiusPx = 18.0;     // 0: no beam stop
    double beamStopArmDeg = 250.0;      // the stop's arm runs to the edge in this direction
    bool poisson = true;
    bool writeCalibration = true;       // the file carries the camera constant
    core::PixelType type = core::PixelType::UInt16;
    std::uint32_t seed = 7;
};

struct RingImage {
    core::Raster raster;
    std::vector<double> radiiPx;        // every line's corrected radius, innermost first
};

// Draws the rings of `lines` (one list per phase) with the phases' shares of the ring counts
// in `weights` (one per list).
RingImage makeRings(const RingSpec& spec, std::span<const std::vector<analysis::PowderLine>> lines,
                    std::span<const double> weights);

}  // namespace saed::tools
