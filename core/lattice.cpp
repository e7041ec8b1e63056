// SPDX-License-Identifier: BSD-3-Clause
#include "core/lattice.h"

#include <cmath>    // for cos, sqrt, atan, isfinite
#include <cstdlib>  // for abs
#include <numeric>  // for gcd

namespace saed::core {

namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

SquareMatrix Metric(const Cell& cell) {
    const double alpha = cell.alphaDeg * kPi / 180.0;
    const double beta = cell.betaDeg * kPi / 180.0;
    const double gamma = cell.gammaDeg * kPi / 180.0;
    SquareMatrix g(3);
    g(1, 1) = cell.aNm * cell.aNm;
    g(2, 2) = cell.bNm * cell.bNm;
    g(3, 3) = cell.cNm * cell.cNm;
    g(1, 2) = g(2, 1) = cell.aNm * cell.bNm * std::cos(gamma);
    g(1, 3) = g(3, 1) = cell.aNm * cell.cNm * std::cos(beta);
    g(2, 3) = g(3, 2) = cell.bNm * cell.cNm * std::cos(alpha);
    return g;
}

SquareMatrix ReciprocalMetric(const Cell& cell) {
    SquareMatrix g = Metric(cell);
    MRinv(3, g);
    return g;
}

CellFault cellFault(const Cell& cell) {
    if (!(cell.aNm > 0)) return CellFault::EdgeA;
    if (!(cell.bNm > 0)) return CellFault::EdgeB;
    if (!(cell.cNm > 0)) return CellFault::EdgeC;
    // An angle outside (0, 180) degrees has the cosine of one inside (200 passes for 160): it
    // describes no cell as typed.
    for (double angle : {cell.alphaDeg, cell.betaDeg, cell.gammaDeg})
        if (!(angle > 0 && angle < 180)) return CellFault::Angles;
    // Sylvester's criterion on G: all leading principal minors positive.
    const SquareMatrix g = Metric(cell);
    const double m1 = g(1, 1);
    const double m2 = g(1, 1) * g(2, 2) - g(1, 2) * g(2, 1);
    const double m3 = g(1, 1) * (g(2, 2) * g(3, 3) - g(2, 3) * g(3, 2)) -
                      g(1, 2) * (g(2, 1) * g(3, 3) - g(2, 3) * g(3, 1)) +
                      g(1, 3) * (g(2, 1) * g(3, 2) - g(2, 2) * g(3, 1));
    // The volume squared is compared relative to the cell's edges, so that a flat cell whose
    // determinant is only rounding noise does not count as a cell.
    const double scale = g(1, 1) * g(2, 2) * g(3, 3);
    if (!(m1 > 0 && m2 > 1e-12 * g(1, 1) * g(2, 2) && m3 > 1e-12 * scale && std::isfinite(m3)))
        return CellFault::Angles;
    // Edges of a few picometres or less (a lattice typed in metres) leave pivots that MRinv
    // takes for zero: without G* there is nothing to compute with.
    SquareMatrix inverse = g;
    if (!MRinv(3, inverse)) return CellFault::Angles;
    return CellFault::None;
}

double angleFromCosine(double c) {
    if (c >= 1.0) return 0.0;
    if (c <= -1.0) return 180.0;
    const double radians = std::atan(-c / std::sqrt(1.0 - c * c)) + 2.0 * std::atan(1.0);
    return radians / kPi * 180.0;
}

Uvw ZoneAxis(const Hkl& p, const Hkl& q) {
    const long long h1 = p[0], k1 = p[1], l1 = p[2];
    const long long h2 = q[0], k2 = q[1], l2 = q[2];
    Uvw axis{k1 * l2 - l1 * k2, l1 * h2 - h1 * l2, h1 * k2 - k1 * h2};
    // The last i in 2..|u|+|v|+|w| that divides all three components is their gcd.
    const long long divisor = std::gcd(std::gcd(axis[0], axis[1]), axis[2]);
    if (divisor >= 2)
        for (auto& x : axis) x /= divisor;
    return axis;
}

bool ReflectionCondition(LatticeType type, int h, int k, int l) {
    switch (type) {
    case LatticeType::Simple:
        return true;
    case LatticeType::BaseCentred:
        return std::abs(h + k) % 2 == 0;
    case LatticeType::BodyCentred:
        return std::abs(h + k + l) % 2 == 0;
    case LatticeType::FaceCentred: {
        const int odd = std::abs(h) % 2 + std::abs(k) % 2 + std::abs(l) % 2;
        return odd == 0 || odd == 3;
    }
    case LatticeType::Rhombic:
        return !(std::abs(h + 2 * k) % 3 == 0 && std::abs(l) % 2 == 1);
    case LatticeType::None:
    case LatticeType::SpaceGroup:
        return false;
    }
    return false;
}

}  // namespace saed::core
