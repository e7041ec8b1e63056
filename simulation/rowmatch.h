// SPDX-License-Identifier: BSD-3-Clause
// The match of a result row against an image: its zone simulated with g1 on R1 and g2 on R2 and
// compared with the detected spots.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "simulation/spotmatch.h"
#include "simulation/zonepattern.h"

namespace saed::simulation {

// The zone pattern of the row (g1, g2) out to the farthest corner of the image, with g1 and g2
// as its first two spots. No value when g1 and g2 are parallel, the frame has no R1 length or
// image size, or the pattern cannot be made (see simulateZone).
std::optional<ZonePattern> rowPatternForImage(const core::Cell& cell, const ExtinctionRule& allowed,
                                              const Hkl& g1, const Hkl& g2, const ImageFrame& frame);

// The row's predicted spots on the image, matched against `detected` within the default radius.
std::optional<SpotMatch> matchRow(const core::Cell& cell, const ExtinctionRule& allowed, const Hkl& g1,
                                  const Hkl& g2, const ImageFrame& frame,
                                  const std::vector<PixelPoint>& detected);

// The planes of a result row: g1 goes on R1, g2 on R2.
struct RowPlanes {
    Hkl g1;
    Hkl g2;
};

// The match score (0..1) of each of `rows`, given best first, against one image; NaN where there
// is none. Each distinct (g1, g2) is simulated once, and only the first `maxSimulated` distinct
// pairs are: the work is bounded whatever the number of rows, and later rows get NaN.
std::vector<float> matchRows(const core::Cell& cell, const ExtinctionRule& allowed, const std::vector<RowPlanes>& rows,
                             const ImageFrame& frame, const std::vector<PixelPoint>& detected,
                             std::size_t maxSimulated);

}  // namespace saed::simulation
