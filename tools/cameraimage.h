// SPDX-License-Identifier: BSD-3-Clause
// Synthetic camera images of a crystal phase along a zone: the kinematic pattern of the zone
// with |F|^2 intensities, drawn as a microscope camera records it, with the faults of real
// images (noise, a saturated direct beam with bright neighbours, a beam stop, a calibration off
// by a little, distortion, missing and spurious spots), and the truth to check an analysis by.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/lattice.h"
#include "core/raster.h"
#include "library/crystalphase.h"

namespace saed::tools {

struct CameraSpec {
    int width = 512;
    int height = 512;
    double centreX = 0;  // the direct beam; 0, 0: near the middle, at random
    double centreY = 0;
    core::Uvw zone{0, 0, 1};
    // Pixels of the shortest zone vector; the scale follows from it.
    double shortestPx = 40;
    double rotationDeg = 0;       // in-plane rotation
    double calibrationError = 0;  // the calibration written to the image is off by this (relative)
    double ellipticity = 0;       // one axis stretched by this (relative), at `ellipseAxisDeg`
    double ellipseAxisDeg = 0;
    double positionNoisePx = 0;   // Gaussian noise on every spot's position
    double weakMissing = 0;       // share of the weaker half of the spots left out
    double spurious = 0;          // spurious spots, as a share of the spots drawn
    bool beamStop = false;        // a dark disc and its rod hide the direct beam
    double spotSigmaPx = 1.6;
    double peakCounts = 20000;    // the strongest reflection's peak (clipped at `saturation`)
    double saturation = 16383;
    double background = 40;
    double falloffInvNm = 8;      // intensities fall as exp(-g^2 / (2 falloff^2)) beyond |F|^2
    std::uint32_t seed = 1;
};

struct CameraImage {
    core::Raster raster;                // 16-bit, with the (possibly wrong) calibration
    double centreX = 0, centreY = 0;    // the true direct beam
    double trueCalibration = 0;         // 1/nm per pixel in fact
    std::size_t spotsDrawn = 0;         // reflections drawn, spurious ones left out
};

// Draws the pattern; no value when the zone has no allowed spot on the image.
std::optional<CameraImage> makeCameraImage(const library::CrystalPhase& phase, const CameraSpec& spec);

// The spec of a varied benchmark image: everything drawn at random from `seed` within the
// ranges real images show, the zone given.
CameraSpec randomCameraSpec(const core::Uvw& zone, std::uint32_t seed, int side = 512);

}  // namespace saed::tools
