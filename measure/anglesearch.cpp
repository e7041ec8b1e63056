// SPDX-License-Identifier: BSD-3-Clause
// Line lengths and the angles between the three measured spot vectors.
#include "measure/anglesearch.h"

#include <cmath>  // for sqrt, atan, fabs

#include "measure/viewport.h"

namespace saed::measure {

double lengthInPixels(Vector2 start, Vector2 end) {
    const double dx = end.x - start.x;
    const double dy = end.y - start.y;
    const float twips = static_cast<float>(std::sqrt(dy * dy + dx * dx));
    const float pixels = twips / kTwipsPerPixel;
    return static_cast<double>(pixels);
}

std::optional<std::array<double, 2>> angleCandidates(Vector2 u, Vector2 w) {
    const double lengthU = std::sqrt(u.x * u.x + u.y * u.y);
    const double lengthW = std::sqrt(w.x * w.x + w.y * w.y);
    if (lengthU == 0.0 || lengthW == 0.0) return std::nullopt;
    // Exactly parallel or antiparallel; |c| >= 1 would also make the arctangent quotient below
    // divide by zero or take a negative root.
    if (u.x * w.y - u.y * w.x == 0.0) return std::nullopt;
    const double c = (u.x * w.x + u.y * w.y) / lengthU / lengthW;
    if (!(std::fabs(c) < 1.0)) return std::nullopt;
    const double pi = 4.0 * std::atan(1.0);
    // arccos written as an arctangent; the same value in 0..π.
    double theta = std::atan(-c / std::sqrt(1.0 - c * c)) + 2.0 * std::atan(1.0);
    theta = theta / pi * 180.0;
    return std::array<double, 2>{theta, 180.0 - theta};
}

std::optional<AngleCandidates> pairCandidates(Vector2 r1, Vector2 r2, Vector2 r3) {
    const auto a12 = angleCandidates(r1, r2);
    const auto a23 = angleCandidates(r2, r3);
    const auto a13 = angleCandidates(r1, r3);
    if (!a12 || !a23 || !a13) return std::nullopt;
    return AngleCandidates{*a12, *a23, *a13};
}

std::optional<std::array<double, 3>> searchOrientation(const AngleCandidates& a) {
    std::optional<std::array<double, 3>> written;
    for (std::size_t i = 0; i < 2; ++i)
        for (std::size_t j = 0; j < 2; ++j)
            for (std::size_t k = 0; k < 2; ++k)
                if (std::fabs(a[2][k] + a[1][j] - a[0][i]) <= 1.0) written = {a[0][i], a[1][j], a[2][k]};
    return written;
}

}  // namespace saed::measure
