// SPDX-License-Identifier: BSD-3-Clause
// Ring patterns of polycrystals and ring standards: the centre, the elliptical distortion shared
// by every ring, the azimuthal average after the distortion is removed, and each ring's radius,
// width and intensity with their uncertainties.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "core/ellipticdistortion.h"
#include "core/raster.h"

namespace saed::analysis {

// A rectangle of image pixels left out of the measurement: x0 <= x <= x1, y0 <= y <= y1.
struct PixelRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

struct RingOptions {
    std::optional<double> centreX, centreY;  // a centre given by the user (image pixels)
    std::vector<PixelRect> masks;            // left out, beside the automatic masks
    bool maskSaturated = true;               // pixels at the detector's ceiling
    bool maskBeamStop = true;                // dark areas far below their ring's level
    bool assumeRings = false;                // the user says the pattern is one of rings
};

// One ring. Radii are in corrected pixels: the radius of the circle the ring's ellipse becomes
// once the distortion is removed (sqrt(a b) of the ellipse).
struct Ring {
    double radiusPx = 0;
    double radiusSigmaPx = 0;  // standard uncertainty of the radius
    double widthPx = 0;        // full width at half maximum
    double height = 0;         // peak of the azimuthal average above the background
    double intensity = 0;      // integrated over the whole ring, above the background
    double coverage = 0;       // share of the azimuth where the ring shows (1: all round)
    double semiMajorPx = 0;    // the ring's ellipse on the image
    double semiMinorPx = 0;
};

// One bin of the azimuthal average.
struct ProfileBin {
    double radiusPx = 0;    // corrected pixels, the bin's centre
    double mean = 0;        // mean value of the bin's pixels
    double background = 0;  // the estimated background under the rings
    std::size_t pixels = 0; // pixels averaged (masked ones left out)
};

enum class RingFailure {
    None,
    NoCentre,  // no centre could be found (or the given one lies outside the image)
    NoRings,   // no ring stands out of the background
    NotRings,  // the peaks are spots, not rings going round
    OneRing,   // a single ring: no distortion or calibration can be had from it
};

struct RingPattern {
    RingFailure failure = RingFailure::None;
    double centreX = 0, centreY = 0;            // image pixels
    double centreSigmaXPx = 0, centreSigmaYPx = 0;
    core::EllipticDistortion distortion;
    double ratioSigma = 0;      // standard uncertainty of the axis ratio
    double angleSigmaDeg = 0;   // of the major axis' angle
    std::vector<Ring> rings;    // innermost first
    std::vector<ProfileBin> profile;
    double binWidthPx = 0.5;
    std::size_t maskedPixels = 0;
    double innerRadiusPx = 0;   // the profile is read from here outwards
    double outerRadiusPx = 0;   // to here: the largest radius with a full circle on the image
};

// Measures the rings of an image. A failure leaves the parts found so far (the centre, the
// profile) in the answer.
RingPattern measureRings(const core::Raster& raster, const RingOptions& options = {});

}  // namespace saed::analysis
