// SPDX-License-Identifier: BSD-3-Clause
// The 8-bit picture shown for a raster: a clipped value range mapped linearly,
// logarithmically or with a gamma; the raster itself is never changed.
#pragma once

#include <cstdint>
#include <vector>

#include "core/raster.h"

namespace saed::core {

enum class DisplayMapping { Linear, Logarithmic, Gamma };

struct DisplaySettings {
    DisplayMapping mapping = DisplayMapping::Linear;
    double gamma = 0.5;            // output = t^gamma for Gamma, t in 0..1 within the range
    // Percentiles of the values that become black and white (0.1 and 99.9 suit 16/32-bit
    // patterns); used when `low` >= `high`.
    double lowPercent = 0.1;
    double highPercent = 99.9;
    double low = 0.0;              // an explicit range, used when low < high
    double high = 0.0;
};

// The settings a newly opened raster gets: the full 0..255 range for 8-bit data, the
// 0.1 %..99.9 % percentiles otherwise.
DisplaySettings defaultDisplaySettings(const Raster& raster);

// The values at two percentiles (0..100) of the finite pixels, estimated from at most about a
// million evenly spread samples; {0, 0} for an image without finite values.
struct ValueRange {
    double low = 0.0;
    double high = 0.0;
};
ValueRange percentileRange(const Raster& raster, double lowPercent, double highPercent);

// The smallest and largest finite values; {0, 0} when there are none.
ValueRange valueExtremes(const Raster& raster);

// One grey byte per pixel, row by row: below the range black, above it white, NaN black.
std::vector<std::uint8_t> makeDisplay(const Raster& raster, const DisplaySettings& settings);

}  // namespace saed::core
