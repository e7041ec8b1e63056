// SPDX-License-Identifier: BSD-3-Clause
// The orientation of an indexed crystal on the microscope: its rotation matrix and Bunge Euler
// angles, and the goniometer of a double-tilt holder.
//
// The frame of the microscope (the sample frame) is the image's: X to the right, Y up the image,
// Z towards the viewer, that is against the beam. Angles in the image are counted counter-
// clockwise from X as the image is seen. A pattern's zone axis [u v w] points along +Z.
#pragma once

#include <array>
#include <optional>

#include "core/crystalframe.h"

namespace saed::calculator {

// One indexed pattern: the planes of R1 and R2 and the directions in which R1 and R2 point on
// the image (degrees, counter-clockwise from the image's right). R2's side of R1 tells the
// sense of the zone axis: counter-clockwise means [u v w] = g1 x g2 looks at the viewer.
struct PatternOnImage {
    core::Hkl g1{};
    core::Hkl g2{};
    double r1Deg = 0;
    double r2Deg = 90;
};

// The rotation U that takes the crystal's Cartesian frame (core::CrystalFrame: x along a, z
// along c*) to the sample frame, v_sample = U v_crystal. No value when g1 and g2 are parallel
// or zero, or when R1 and R2 point the same or opposite ways.
std::optional<core::Mat3> orientationOf(const core::CrystalFrame& frame, const PatternOnImage& pattern);

// Bunge Euler angles (phi1, Phi, phi2), degrees, of the passive rotation g = U^T that takes
// sample coordinates to crystal coordinates: g = Rz(phi2) Rx(Phi) Rz(phi1). phi1 and phi2 in
// [0, 360), Phi in [0, 180]; with Phi = 0 the whole turn is given to phi1.
std::array<double, 3> bungeEuler(const core::Mat3& u);

// The rotation (sample frame) of a double-tilt holder at readings alphaDeg, betaDeg: alpha turns
// about the holder's axis, which lies in the image at axisDeg; beta turns about the axis at
// right angles to it in the image, carried along by alpha. H = R_alpha * R_beta; single tilt is
// beta = 0.
core::Mat3 holderRotation(double alphaDeg, double betaDeg, double axisDeg);

// The readings (alpha, beta) in degrees at which the specimen direction `towards` (a sample-
// frame unit vector, seen at readings alpha0, beta0) points along +Z, the beam. Alpha within
// -90..90; no value for a zero vector.
std::optional<std::array<double, 2>> holderReadingsFor(const core::Vec3& towards, double alpha0Deg, double beta0Deg,
                                                       double axisDeg);

// The angle (degrees, 0 to 180) between the beam directions in the specimen at two readings of a
// double-tilt holder: the tilt between two patterns.
double tiltBetweenReadings(double alpha1Deg, double beta1Deg, double alpha2Deg, double beta2Deg);

}  // namespace saed::calculator
