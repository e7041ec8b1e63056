// SPDX-License-Identifier: BSD-3-Clause
#include "simulation/spotmatch.h"

#include <algorithm>  // for min, any_of
#include <cmath>      // for hypot

namespace saed::simulation {

namespace {

using Vec = std::array<long long, 3>;

Vec cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
long long dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec wide(const Hkl& p) { return {p[0], p[1], p[2]}; }

bool near(const PixelPoint& a, const PixelPoint& b, double radius) {
    return std::hypot(a.x - b.x, a.y - b.y) <= radius;
}

}  // namespace

std::optional<std::vector<PixelPoint>> spotsOnImage(const std::vector<Spot>& spots, const Hkl& g1,
                                                    const Hkl& g2, const ImageFrame& frame) {
    const Vec n = cross(wide(g1), wide(g2));
    const long long nn = dot(n, n);
    if (nn == 0 || frame.r1Segments <= 0 || frame.r2Segments <= 0) return std::nullopt;
    const double r1x = (frame.r1End.x - frame.centre.x) / frame.r1Segments;
    const double r1y = (frame.r1End.y - frame.centre.y) / frame.r1Segments;
    const double r2x = (frame.r2End.x - frame.centre.x) / frame.r2Segments;
    const double r2y = (frame.r2End.y - frame.centre.y) / frame.r2Segments;
    std::vector<PixelPoint> out;
    out.reserve(spots.size());
    for (const Spot& s : spots) {
        const Vec p = wide(s.hkl);
        if (dot(p, n) != 0) continue;
        // p = a g1 + b g2: p x g2 = a (g1 x g2) and g1 x p = b (g1 x g2).
        const double a = static_cast<double>(dot(cross(p, wide(g2)), n)) / static_cast<double>(nn);
        const double b = static_cast<double>(dot(cross(wide(g1), p), n)) / static_cast<double>(nn);
        out.push_back({frame.centre.x + a * r1x + b * r2x, frame.centre.y + a * r1y + b * r2y});
    }
    return out;
}

double defaultMatchRadius(const ImageFrame& frame) {
    const double r1 = std::hypot(frame.r1End.x - frame.centre.x, frame.r1End.y - frame.centre.y) /
                      std::max(frame.r1Segments, 1);
    const double r2 = std::hypot(frame.r2End.x - frame.centre.x, frame.r2End.y - frame.centre.y) /
                      std::max(frame.r2Segments, 1);
    return 0.25 * std::min(r1, r2);
}

double SpotMatch::score() const {
    const double sum = predictedShare + detectedShare;
    return sum > 0 ? 2 * predictedShare * detectedShare / sum : 0.0;
}

SpotMatch matchSpots(const std::vector<PixelPoint>& predicted,
                     const std::vector<PixelPoint>& detected, const ImageFrame& frame,
                     double radiusPx) {
    const auto inside = [&frame](const PixelPoint& p) {
        return p.x >= 0 && p.y >= 0 && p.x < frame.widthPx && p.y < frame.heightPx;
    };
    std::vector<PixelPoint> shown;
    for (const PixelPoint& p : predicted)
        if (inside(p) && !near(p, frame.centre, radiusPx)) shown.push_back(p);
    std::vector<PixelPoint> found;
    for (const PixelPoint& d : detected)
        if (!near(d, frame.centre, radiusPx)) found.push_back(d);

    SpotMatch m;
    m.predictedInside = static_cast<int>(shown.size());
    m.detected = static_cast<int>(found.size());
    for (const PixelPoint& p : shown)
        m.predictedFound += std::any_of(found.begin(), found.end(),
                                        [&](const PixelPoint& d) { return near(p, d, radiusPx); });
    for (const PixelPoint& d : found)
        m.detectedExplained += std::any_of(
            shown.begin(), shown.end(), [&](const PixelPoint& p) { return near(p, d, radiusPx); });
    if (m.predictedInside > 0)
        m.predictedShare = static_cast<double>(m.predictedFound) / m.predictedInside;
    if (m.detected > 0) m.detectedShare = static_cast<double>(m.detectedExplained) / m.detected;
    return m;
}

}  // namespace saed::simulation
