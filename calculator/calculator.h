// SPDX-License-Identifier: BSD-3-Clause
// Spacings, angles and zone axis of three typed planes, on a given cell.
#pragma once

#include <array>
#include <optional>

#include "core/lattice.h"

namespace saed::calculator {

// Miller indices as read from the fields: doubles, since a field may hold 1.5 or 1e3.
using Plane = std::array<double, 3>;

struct CalculatorResult {
    // Zone axis of planes 1 and 2 (plane 1 x plane 2), reduced by its greatest common divisor.
    std::array<double, 3> zoneAxis{};
    // Angles (degrees) between planes 1-2, 2-3 and 1-3; none when a plane of the pair has no
    // positive quadratic form or the cell is not a cell.
    std::array<std::optional<double>, 3> anglesDeg;
    // Spacings (nm) of planes 1, 2 and 3; none under the same conditions.
    std::array<std::optional<double>, 3> spacingsNm;
    // False when the lattice values do not form a cell (a zero, empty or impossible value).
    bool cellValid = false;
};

// Cross product p x q, components in the order u, v, w; a zero component is +0.
std::array<double, 3> crossProduct(const Plane& p, const Plane& q);

// Divides [u v w] by the last i in 2..|u|+|v|+|w| that divides all three components, the
// remainders taken on the components rounded to the nearest whole number (ties to even).
// The result is that of the loop over i, reached through the greatest common divisor, so it is
// immediate for any magnitude; a sum below 2 or a non-finite component leaves the axis as it is.
std::array<double, 3> reduceZoneAxis(const std::array<double, 3>& uvw);

// The whole calculation for planes 1, 2, 3 on `cell`.
CalculatorResult calculate(const std::array<Plane, 3>& planes, const core::Cell& cell);

}  // namespace saed::calculator
