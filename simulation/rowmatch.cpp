// SPDX-License-Identifier: BSD-3-Clause
#include "simulation/rowmatch.h"

#include <algorithm>  // for max
#include <array>
#include <cmath>      // for hypot
#include <limits>
#include <map>

namespace saed::simulation {

std::optional<ZonePattern> rowPatternForImage(const core::Cell& cell, const ExtinctionRule& allowed,
                                              const Hkl& g1, const Hkl& g2, const ImageFrame& frame) {
    const core::Uvw zone = core::ZoneAxis(g1, g2);
    if (zone == core::Uvw{0, 0, 0} || frame.r1Segments <= 0 || frame.widthPx <= 0 || frame.heightPx <= 0)
        return std::nullopt;
    const double r1Px = std::hypot(frame.r1End.x - frame.centre.x, frame.r1End.y - frame.centre.y) / frame.r1Segments;
    const std::optional<double> d1 = core::Spacing(core::ReciprocalMetric(cell), g1);
    if (!(r1Px > 0) || !d1) return std::nullopt;
    // The farthest corner from the centre, in 1/nm through the scale of R1, with room for the
    // distortion the image's own R2 brings.
    double farPx = 0;
    for (double x : {0.0, double(frame.widthPx)})
        for (double y : {0.0, double(frame.heightPx)})
            farPx = std::max(farPx, std::hypot(x - frame.centre.x, y - frame.centre.y));
    // A large cell or a wide image can ask for more index triples than a pattern examines: the
    // pattern then reaches as far as it may, and spots beyond it are not predicted.
    double gMax = 1.2 * farPx / r1Px / *d1;
    const auto triples = [&cell](double g) {
        return (2 * g * cell.aNm + 1) * (2 * g * cell.bNm + 1) * (2 * g * cell.cNm + 1);
    };
    while (gMax > 0 && triples(gMax) > kMaxIndexTriples) gMax *= 0.9;
    ZonePatternRequest request{cell, allowed, zone, gMax, g1, g2, {}};
    ZonePatternResult result = simulateZone(request);
    if (result.error != PatternError::None) return std::nullopt;
    return std::move(result.pattern);
}

std::optional<SpotMatch> matchRow(const core::Cell& cell, const ExtinctionRule& allowed, const Hkl& g1,
                                  const Hkl& g2, const ImageFrame& frame,
                                  const std::vector<PixelPoint>& detected) {
    const std::optional<ZonePattern> pattern = rowPatternForImage(cell, allowed, g1, g2, frame);
    if (!pattern) return std::nullopt;
    const auto predicted = spotsOnImage(pattern->spots, g1, g2, frame);
    if (!predicted) return std::nullopt;
    return matchSpots(*predicted, detected, frame, defaultMatchRadius(frame));
}

std::vector<float> matchRows(const core::Cell& cell, const ExtinctionRule& allowed, const std::vector<RowPlanes>& rows,
                             const ImageFrame& frame, const std::vector<PixelPoint>& detected,
                             std::size_t maxSimulated) {
    constexpr float kNone = std::numeric_limits<float>::quiet_NaN();
    std::vector<float> scores(rows.size(), kNone);
    std::map<std::array<int, 6>, float> done;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RowPlanes& row = rows[i];
        const std::array<int, 6> key{row.g1[0], row.g1[1], row.g1[2], row.g2[0], row.g2[1], row.g2[2]};
        auto found = done.find(key);
        if (found == done.end()) {
            if (done.size() >= maxSimulated) continue;
            const std::optional<SpotMatch> m = matchRow(cell, allowed, row.g1, row.g2, frame, detected);
            found = done.emplace(key, m ? static_cast<float>(m->score()) : kNone).first;
        }
        scores[i] = found->second;
    }
    return scores;
}

}  // namespace saed::simulation
