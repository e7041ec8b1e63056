// SPDX-License-Identifier: BSD-3-Clause
// Which answer is right: the zone axis of each result row, a misfit number per row, and the
// grouping of rows that are one solution up to the lattice's symmetry into families.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "core/holohedry.h"
#include "core/lattice.h"
#include "indexing/indexingengine.h"

namespace saed::indexing {

// The zone axis of a row: g1 x g2 divided by the greatest common divisor of its components, signs
// as computed, the same axis the calculator's "计算晶带轴" shows for that row.
core::Uvw zoneOf(const ResultRow& row);

// Misfit of a row against the measured pattern, each deviation weighted by the tolerance in
// force:
//
//   misfit = sqrt( ( sum_n ((DTn - dn) / td_n)^2 + sum_n ((An - Mn) / ta_n)^2 ) / 6 )
//
// over n = 1..3, with DTn, An the row's spacings (nm) and angles (degrees), dn, Mn the measured
// ones and td_n, ta_n the spacing and angle tolerances. It is the root mean square of the six
// deviations, each in units of its tolerance: 0 is a perfect fit, and a row within all six
// tolerances has a misfit of at most 1. A tolerance of 0 (or less) counts a deviation of 0 as 0
// and any other as infinite; a measured value that is not finite gives an infinite misfit.
double misfit(const ResultRow& row, const MeasuredPattern& measured, const Tolerances& tolerances);

// One family: rows that are the same solution up to the symmetry and Friedel pairs.
struct SolutionFamily {
    int id = 0;  // 1, 2, ... in the order of the family's first row in the table
    std::size_t representative =
        0;             // index of the row with the least misfit, the first among equals
    core::Uvw zone{};  // the zone family <uvw> of its rows
    std::array<core::Hkl, 3> forms{};  // {hkl} of g1, g2 and g3
    std::size_t rowCount = 0;
    double misfit = 0;  // the representative's, the least of the family
};

struct FamilyGrouping {
    std::vector<int> familyOfRow;          // the family id of each row, in row order
    std::vector<SolutionFamily> families;  // best first: by misfit, then by id
};

// The operations under which two rows are one solution: those of the cell's holohedry that keep
// the set of allowed reflections, and for a run by space group only those of the group's Laue
// class (its rotations with the inversion), so that planes the group does not make equivalent,
// such as (h k l) and (k h l) under 4/m, -3 or m-3, whose |F| differ, stay apart.
std::vector<core::LatticeOp> familySymmetry(const IndexingInput& input);

// Groups rows into families. Two rows are one family when one symmetry operation (of `ops`, or of
// the group they generate with the inversion) maps g1, g2 and g3 of one row onto those of the
// other; their zones are then of one <uvw> family and their planes of the same {hkl}. `ops` is
// the holohedry of the cell, or the point group of a space group, as matrices on fractional
// coordinates. `misfits` holds one misfit per row (see misfit()).
FamilyGrouping groupFamilies(std::span<const ResultRow> rows, std::span<const double> misfits,
                             const std::vector<core::LatticeOp>& ops);

}  // namespace saed::indexing
