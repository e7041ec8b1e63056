#include "simulation/rowmatch.h"

#include <algorithm>  // for max
#include <cmath>      // for hypot

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

}  // namespace saed::simulation
