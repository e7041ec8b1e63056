// SPDX-License-Identifier: BSD-3-Clause
// A zone pattern as an SVG picture: the spots with their (hkl), the direct beam, the zone and a
// scale bar in 1/nm.
#pragma once

#include <string>

#include "simulation/zonepattern.h"

namespace saed::simulation {

struct SvgOptions {
    int sizePx = 600;        // the picture is square
    double extentInvNm = 0;  // |g| at the picture's edge less a margin; 0: the farthest spot
    bool labels = true;      // (hkl) beside each spot, negative indices with a bar
    bool fourIndex = false;  // (h k i l) and [U V T W], for a hexagonal cell
};

// The pattern as a complete SVG document (UTF-8 text): +x to the right, +y up, every number
// written with "." whatever the locale. Brighter spots are larger: the radius grows with the
// square root of the intensity relative to the strongest spot.
std::string patternSvg(const ZonePattern& pattern, const SvgOptions& options = {});

}  // namespace saed::simulation
