// SPDX-License-Identifier: BSD-3-Clause
// One accepted triple of an indexing run: the planes g1 + g2 = g3, their spacings and the angles
// between them, as the search found them.
#pragma once

#include <array>

#include "core/lattice.h"

namespace saed::core {

// The planes, their spacings DT1..DT3 (nm) and the angles A12 = <g1,g2>, A23 = <g2,g3>,
// A13 = <g1,g3> (degrees).
struct ResultRow {
    Hkl g1{}, g2{}, g3{};
    std::array<double, 3> spacingNm{};
    std::array<double, 3> angleDeg{};
    // At least one of g1, g2, g3 is forbidden and appears only by double diffraction.
    bool doubleDiffraction = false;

    bool operator==(const ResultRow&) const = default;
};

}  // namespace saed::core
