// SPDX-License-Identifier: BSD-3-Clause
// Four-index Miller-Bravais notation of hexagonal cells: planes (h k i l) with i = -(h + k),
// directions [U V T W] with T = -(U + V).
#pragma once

#include <algorithm>  // for max
#include <array>
#include <cmath>    // for fabs
#include <cstdlib>  // for llabs
#include <numeric>  // for gcd
#include <optional>
#include <string>

#include "core/lattice.h"

namespace saed::core {

using Hkil = std::array<int, 4>;
using Uvtw = std::array<long long, 4>;

// True for a cell of hexagonal shape: a = b, alpha = beta = 90 and gamma = 120 degrees, whatever
// lattice type is chosen. Edges agree to a part in a million, angles to 1e-4 degree, so that a
// cell typed from a table (0.32094, 0.32094, ...) counts.
inline bool isHexagonalCell(const Cell& cell) {
    const double a = cell.aNm, b = cell.bNm;
    if (!(a > 0) || !(b > 0) || !(cell.cNm > 0)) return false;
    constexpr double kAngleTol = 1e-4;
    return std::fabs(a - b) <= 1e-6 * std::max(a, b) && std::fabs(cell.alphaDeg - 90.0) <= kAngleTol &&
           std::fabs(cell.betaDeg - 90.0) <= kAngleTol && std::fabs(cell.gammaDeg - 120.0) <= kAngleTol;
}

// (h k l) -> (h k i l), i = -(h + k).
inline Hkil toFourIndex(const Hkl& p) { return {p[0], p[1], -(p[0] + p[1]), p[2]}; }

// (h k i l) -> (h k l); no value when i != -(h + k).
inline std::optional<Hkl> fromFourIndex(const Hkil& p) {
    if (p[2] != -(p[0] + p[1])) return std::nullopt;
    return Hkl{p[0], p[1], p[3]};
}

// The components divided by their greatest common divisor (signs kept); zero stays zero.
template <std::size_t N>
std::array<long long, N> reducedIndices(std::array<long long, N> v) {
    long long divisor = 0;
    for (long long x : v) divisor = std::gcd(divisor, x);
    if (divisor >= 2)
        for (long long& x : v) x /= divisor;
    return v;
}

// [u v w] -> [U V T W]: U = (2u - v)/3, V = (2v - u)/3, T = -(u + v)/3, W = w, brought to the
// smallest whole numbers (the thirds are cleared by taking all four times 3 first).
inline Uvtw toFourIndex(const Uvw& d) {
    const long long u = d[0], v = d[1], w = d[2];
    return reducedIndices<4>({2 * u - v, 2 * v - u, -(u + v), 3 * w});
}

// [U V T W] -> [u v w] = [U - T, V - T, W], smallest whole numbers; no value when T != -(U + V).
inline std::optional<Uvw> fromFourIndex(const Uvtw& d) {
    if (d[2] != -(d[0] + d[1])) return std::nullopt;
    const auto r = reducedIndices<3>({d[0] - d[2], d[1] - d[2], d[3]});
    return Uvw{r[0], r[1], r[2]};
}

// Indices written with blanks between them, as labels show them: "2 -1 -1 0".
template <typename Index, std::size_t N>
std::string indexText(const std::array<Index, N>& v) {
    std::string text;
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0) text += ' ';
        text += std::to_string(v[i]);
    }
    return text;
}

}  // namespace saed::core
