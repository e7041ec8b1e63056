// SPDX-License-Identifier: BSD-3-Clause
// Lattice geometry: metric and reciprocal metric, spacings, angles between planes, zone axes and
// the reflection condition of each lattice type.
#pragma once

#include <array>
#include <cmath>  // for sqrt, isfinite
#include <optional>

#include "core/mrinv.h"

namespace saed::core {

using Hkl = std::array<int, 3>;
using Uvw = std::array<long long, 3>;

// The entries of the lattice-type selector, valued by their list position: the five lattice
// types, then the phase's space group (its rule travels beside the type); None when no entry is
// chosen. None admits no reflection.
enum class LatticeType {
    None = -1,
    Simple = 0,
    BaseCentred = 1,
    BodyCentred = 2,
    FaceCentred = 3,
    Rhombic = 4,
    SpaceGroup = 5
};

// The list position a lattice type is stored and written as (-1 for None). Stored files, reports,
// JSON and the command line keep these numbers.
constexpr int latticeTypeCode(LatticeType type) { return static_cast<int>(type); }

// The lattice type stored as `code` (-1 to 5); no value for any other number.
constexpr std::optional<LatticeType> latticeTypeFromCode(long long code) {
    if (code < -1 || code > 5) return std::nullopt;
    return static_cast<LatticeType>(code);
}

// True for the five lattice types whose reflection condition ReflectionCondition applies.
constexpr bool isLatticeCentring(LatticeType type) {
    return type >= LatticeType::Simple && type <= LatticeType::Rhombic;
}

struct Cell {
    double aNm = 0, bNm = 0, cNm = 0;
    double alphaDeg = 0, betaDeg = 0, gammaDeg = 0;

    bool operator==(const Cell&) const = default;
};

// The metric matrix G (nm^2) of a cell, addressed from 1.
SquareMatrix Metric(const Cell& cell);

// G* = G inverted by MRinv (nm^-2). Whatever MRinv leaves is returned, also when it fails;
// use isCell() first where a meaningful result matters.
SquareMatrix ReciprocalMetric(const Cell& cell);

// The first lattice field at fault when a cell is not one: the first edge (a, b, c) that is not
// above 0; otherwise the angles (reported on alpha), which lie outside (0, 180) degrees, do not
// close or leave a metric that MRinv cannot invert (a cell too small or too flat to be told from
// none).
enum class CellFault { None, EdgeA, EdgeB, EdgeC, Angles };
CellFault cellFault(const Cell& cell);

// The lattice field to point the user at for a fault, counted a, b, c, alpha from 0; -1 for none.
inline int cellFaultField(CellFault fault) { return static_cast<int>(fault) - 1; }

// True when every edge is above 0, the metric is positive definite (the angles form a cell) and
// MRinv inverts it.
inline bool isCell(const Cell& cell) { return cellFault(cell) == CellFault::None; }

// q-form p . G* . q on indices of any arithmetic type: whole numbers in the run, reals typed
// into the calculator. With p == q it is Q(p) = 1/d^2, summed k row first, then h, then l.
template <typename Index>
double BilinearFormOf(const SquareMatrix& gs, const std::array<Index, 3>& p,
                      const std::array<Index, 3>& q) {
    const double h1 = p[0], k1 = p[1], l1 = p[2];
    const double h2 = q[0], k2 = q[1], l2 = q[2];
    double s = k2 * (k1 * gs(2, 2) + h1 * gs(1, 2) + l1 * gs(3, 2)) +
               h2 * (k1 * gs(2, 1) + h1 * gs(1, 1) + l1 * gs(3, 1));
    s = s + l2 * (k1 * gs(2, 3) + h1 * gs(1, 3) + l1 * gs(3, 3));
    return s;
}

// Cosine-to-angle conversion arctan(-c / sqrt(1 - c^2)) + 2 arctan(1), in degrees, with c
// clamped to [-1, 1] so that parallel directions give exactly 0 or 180.
double angleFromCosine(double c);

// Spacing d (nm) of plane p: 1/sqrt(Q(p)); no value when Q(p) is not positive and finite,
// so (0 0 0) has none.
template <typename Index>
std::optional<double> SpacingOf(const SquareMatrix& gs, const std::array<Index, 3>& p) {
    const double q = BilinearFormOf(gs, p, p);
    if (!(q > 0) || !std::isfinite(q)) return std::nullopt;
    return 1.0 / std::sqrt(q);
}

// Angle (degrees, 0 to 180) between planes p and q. Parallel planes give 0, antiparallel 180;
// no value when either plane's form is not positive (a (0 0 0) plane, or a cell that is not one).
template <typename Index>
std::optional<double> PlaneAngleOf(const SquareMatrix& gs, const std::array<Index, 3>& p,
                                   const std::array<Index, 3>& q) {
    const double qp = BilinearFormOf(gs, p, p);
    const double qq = BilinearFormOf(gs, q, q);
    if (!(qp > 0) || !(qq > 0) || !std::isfinite(qp) || !std::isfinite(qq)) return std::nullopt;
    const double c = BilinearFormOf(gs, p, q) * (1.0 / std::sqrt(qp * qq));
    if (!std::isfinite(c)) return std::nullopt;
    return angleFromCosine(c);
}

// The same on Miller indices. The indexing run uses Spacing(...).value_or(0.0), which gives
// (0 0 0) the spacing 0.
inline double QuadraticForm(const SquareMatrix& gs, const Hkl& p) { return BilinearFormOf(gs, p, p); }
inline double BilinearForm(const SquareMatrix& gs, const Hkl& p, const Hkl& q) {
    return BilinearFormOf(gs, p, q);
}
inline std::optional<double> Spacing(const SquareMatrix& gs, const Hkl& p) { return SpacingOf(gs, p); }
inline std::optional<double> PlaneAngle(const SquareMatrix& gs, const Hkl& p, const Hkl& q) {
    return PlaneAngleOf(gs, p, q);
}

// Zone axis p x q divided by the greatest common divisor of its components; signs are kept.
// [0 0 0] for parallel planes.
Uvw ZoneAxis(const Hkl& p, const Hkl& q);

// Whether a lattice of type `type` admits the reflection (h, k, l); None and SpaceGroup (whose
// rule is the space group's, not a lattice's) admit nothing here.
bool ReflectionCondition(LatticeType type, int h, int k, int l);

}  // namespace saed::core
