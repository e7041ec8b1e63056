// SPDX-License-Identifier: BSD-3-Clause
// Two patterns of one grain and the tilt between them: which pairs of solutions, one from each
// pattern's result set, are that tilt apart and agree on one orientation of the crystal.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "calculator/orientation.h"
#include "core/lattice.h"

namespace saed::calculator {

// One row of a result set: R1 and R2 indexed as g1 and g2, with the zone axis, the solution
// family and the misfit the run gave it.
struct IndexedSolution {
    int group = 0;
    int family = 0;
    core::Hkl g1{};
    core::Hkl g2{};
    core::Uvw zone{};
    double misfit = 0;
};

struct TiltRequest {
    core::Cell cell;
    std::vector<IndexedSolution> first;
    std::vector<IndexedSolution> second;
    // The tilt: one angle of a single-tilt holder, or the (alpha, beta) readings of both
    // patterns on a double-tilt holder (alpha1, beta1, alpha2, beta2), degrees. Exactly one.
    std::optional<double> angleDeg;
    std::optional<std::array<double, 4>> alphaBeta;
    // How far (degrees) the zones' angle may miss the tilt, and the orientations each other.
    double toleranceDeg = 1.0;
    // Where R1 and R2 point in each image (degrees, counter-clockwise from the right: first R1,
    // first R2, second R1, second R2) and the holder's tilt (alpha) axis in the image. With them
    // a pair must also agree on the crystal's orientation: the first pattern's orientation,
    // turned by the holder, must give the second's.
    std::optional<std::array<double, 4>> directionsDeg;
    double axisDeg = 0;
};

struct TiltPair {
    std::size_t first = 0;   // index into TiltRequest::first
    std::size_t second = 0;  // index into TiltRequest::second
    double zoneAngleDeg = 0;  // the angle between the two zone axes, 0 to 90 (axes as lines)
    double misfitDeg = 0;     // |zoneAngle - tilt|
    // With directions: the rotation (degrees) still between the turned first orientation and
    // the second.
    std::optional<double> orientationMisfitDeg;
};

enum class TiltError { None, NotACell, TiltOutOfRange, BadTolerance, NoTilt, NoSolutions, BadDirections };

struct TiltResult {
    TiltError error = TiltError::None;
    double tiltDeg = 0;           // the tilt checked against, from the angle or the readings
    std::vector<TiltPair> pairs;  // by misfit, then by the first's and second's order
    // Families of the first set that some pair keeps, and those no pair keeps (ruled out), by id.
    std::vector<int> keptFamilies;
    std::vector<int> ruledOutFamilies;
};

// The largest tilt taken: the angle between two directions is at most 180 degrees.
constexpr double kMaxTiltDeg = 180.0;

// Lists every pair of solutions whose zone axes are the tilt apart within the tolerance (and,
// with image directions, whose orientations agree within it), ranked by the angle's misfit.
// Errors: a cell that is not one, a tilt outside 0..180 degrees, a negative or non-finite
// tolerance, neither or both of angle and readings, an empty set, directions of R1 and R2 that
// are parallel.
TiltResult checkTilt(const TiltRequest& request);

}  // namespace saed::calculator
