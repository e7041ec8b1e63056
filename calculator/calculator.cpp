// SPDX-License-Identifier: BSD-3-Clause
// Spacings, angles and zone axis of three typed planes, on a given cell.
#include "calculator/calculator.h"

#include <cmath>    // for fabs, floor, fmod, isfinite, nearbyint, sqrt
#include <cstdint>  // for uint64_t

namespace saed::calculator {

namespace {

// Greatest common divisor of two whole, non-negative doubles; fmod is exact, so Euclid's steps
// are too, for any magnitude.
double gcdWhole(double a, double b) {
    while (b != 0) {
        const double r = std::fmod(a, b);
        a = b;
        b = r;
    }
    return a;
}

// The largest divisor of the whole number g (>= 1) that is not above `limit`.
double largestDivisorUpTo(double g, double limit) {
    if (g <= limit) return g;
    // Here g exceeds the sum of the components it divides only through rounding, so it is at
    // most limit + 1 and below 2^53: its largest proper divisor is g over its smallest factor.
    const auto n = static_cast<std::uint64_t>(g);
    std::uint64_t smallest = n;
    if (n % 2 == 0) {
        smallest = 2;
    } else {
        for (std::uint64_t f = 3; f <= n / f; f += 2) {
            if (n % f == 0) {
                smallest = f;
                break;
            }
        }
    }
    const double divisor = static_cast<double>(n / smallest);
    return divisor <= limit ? divisor : 1.0;
}

}  // namespace

std::array<double, 3> crossProduct(const Plane& p, const Plane& q) {
    const double h1 = p[0], k1 = p[1], l1 = p[2];
    const double h2 = q[0], k2 = q[1], l2 = q[2];
    // Adding +0 turns a negative zero (from -1 x 0) into a plain zero.
    return {k1 * l2 - l1 * k2 + 0.0, l1 * h2 - h1 * l2 + 0.0, h1 * k2 - k1 * h2 + 0.0};
}

std::array<double, 3> reduceZoneAxis(const std::array<double, 3>& uvw) {
    const double s = std::fabs(uvw[0]) + std::fabs(uvw[1]) + std::fabs(uvw[2]);
    if (!std::isfinite(s) || !(s >= 2)) return uvw;
    const double limit = std::floor(s);
    // Every i that divides the three rounded components divides their gcd, and every divisor
    // of the gcd divides them: the last such i up to the limit is the largest divisor of the
    // gcd that does not exceed it. Three zeros are divided by every i, so the last is the limit.
    double g = 0;
    for (double x : uvw) g = gcdWhole(g, std::fabs(std::nearbyint(x)));
    const double divisor = g == 0 ? limit : largestDivisorUpTo(g, limit);
    if (divisor < 2) return uvw;
    return {uvw[0] / divisor + 0.0, uvw[1] / divisor + 0.0, uvw[2] / divisor + 0.0};
}

CalculatorResult calculate(const std::array<Plane, 3>& planes, const core::Cell& cell) {
    CalculatorResult result;
    result.zoneAxis = reduceZoneAxis(crossProduct(planes[0], planes[1]));
    result.cellValid = core::isCell(cell);
    if (!result.cellValid) return result;
    const core::SquareMatrix gs = core::ReciprocalMetric(cell);
    constexpr std::array<std::array<int, 2>, 3> pairs{{{0, 1}, {1, 2}, {0, 2}}};
    for (std::size_t i = 0; i < 3; ++i)
        result.anglesDeg[i] = core::PlaneAngleOf(gs, planes[static_cast<std::size_t>(pairs[i][0])],
                                         planes[static_cast<std::size_t>(pairs[i][1])]);
    for (std::size_t j = 0; j < 3; ++j) result.spacingsNm[j] = core::SpacingOf(gs, planes[j]);
    return result;
}

}  // namespace saed::calculator
