// SPDX-License-Identifier: BSD-3-Clause
// The 8-bit picture shown for a raster.
#include "core/imagedisplay.h"

#include <algorithm>
#include <cmath>   // for log1p, pow, isfinite

namespace saed::core {

DisplaySettings defaultDisplaySettings(const Raster& raster) {
    DisplaySettings s;
    if (raster.pixelType() == PixelType::UInt8 || raster.pixelType() == PixelType::Rgb8) {
        s.low = 0.0;
        s.high = 255.0;
    }
    return s;
}

ValueRange percentileRange(const Raster& raster, double lowPercent, double highPercent) {
    const std::size_t n = static_cast<std::size_t>(raster.width()) * raster.height();
    const std::size_t step = std::max<std::size_t>(1, n / 1'000'000);
    std::vector<double> samples;
    samples.reserve(n / step + 1);
    for (std::size_t i = 0; i < n; i += step) {
        const double v = raster.valueAt(i);
        if (std::isfinite(v)) samples.push_back(v);
    }
    if (samples.empty()) return {};
    const auto at = [&](double percent) {
        const double f = std::clamp(percent, 0.0, 100.0) / 100.0;
        const auto k = static_cast<std::size_t>(std::lround(f * static_cast<double>(samples.size() - 1)));
        std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(k), samples.end());
        return samples[k];
    };
    ValueRange r;
    r.low = at(lowPercent);
    r.high = at(highPercent);
    return r;
}

ValueRange valueExtremes(const Raster& raster) {
    const std::size_t n = static_cast<std::size_t>(raster.width()) * raster.height();
    bool any = false;
    ValueRange r;
    for (std::size_t i = 0; i < n; ++i) {
        const double v = raster.valueAt(i);
        if (!std::isfinite(v)) continue;
        if (!any) r.low = r.high = v;
        r.low = std::min(r.low, v);
        r.high = std::max(r.high, v);
        any = true;
    }
    return r;
}

std::vector<std::uint8_t> makeDisplay(const Raster& raster, const DisplaySettings& settings) {
    ValueRange range{settings.low, settings.high};
    if (!(range.low < range.high)) range = percentileRange(raster, settings.lowPercent, settings.highPercent);
    if (!(range.low < range.high)) {
        // A flat image (or a percentile range that collapsed): show it from its extremes.
        const ValueRange e = valueExtremes(raster);
        range = e.low < e.high ? e : ValueRange{e.low - 1.0, e.low};
    }
    const double span = range.high - range.low;
    const double logScale = 1.0 / std::log1p(1000.0);
    const double gamma = settings.gamma > 0.0 ? settings.gamma : 1.0;
    // Integer data with few levels go through a table; everything else is mapped per pixel.
    const auto map = [&](double v) -> std::uint8_t {
        if (!(v > range.low)) return 0;   // below the range, and NaN
        double t = std::min(1.0, (v - range.low) / span);
        switch (settings.mapping) {
        case DisplayMapping::Linear: break;
        case DisplayMapping::Logarithmic: t = std::log1p(1000.0 * t) * logScale; break;
        case DisplayMapping::Gamma: t = std::pow(t, gamma); break;
        }
        return static_cast<std::uint8_t>(std::lround(255.0 * t));
    };
    const std::size_t n = static_cast<std::size_t>(raster.width()) * raster.height();
    std::vector<std::uint8_t> out(n);
    const PixelType type = raster.pixelType();
    if (type == PixelType::UInt8 || type == PixelType::Int8 || type == PixelType::UInt16 ||
        type == PixelType::Int16) {
        const int offset = (type == PixelType::Int8) ? 128 : (type == PixelType::Int16) ? 32768 : 0;
        std::vector<std::uint8_t> table(type == PixelType::UInt8 || type == PixelType::Int8 ? 256 : 65536);
        for (std::size_t i = 0; i < table.size(); ++i) table[i] = map(static_cast<double>(i) - offset);
        for (std::size_t i = 0; i < n; ++i)
            out[i] = table[static_cast<std::size_t>(static_cast<int>(raster.valueAt(i)) + offset)];
    } else {
        for (std::size_t i = 0; i < n; ++i) out[i] = map(raster.valueAt(i));
    }
    return out;
}

}  // namespace saed::core
