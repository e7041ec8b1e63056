// SPDX-License-Identifier: BSD-3-Clause
// Synthetic spot patterns with known spot centres.
#include "tools/patterngenerator.h"

#include <algorithm>
#include <cmath>    // for exp, cos, sin, hypot
#include <random>

namespace saed::tools {

namespace {
constexpr double kPi = 3.14159265358979323846;
}

Pattern makePattern(const PatternSpec& spec) {
    Pattern p;
    const double rot = spec.rotationDeg * kPi / 180.0;
    const double lengthPx = spec.basisLengthInvNm * spec.pixelsPerInvNm;
    const double angle = spec.basisAngleDeg * kPi / 180.0;
    p.gaX = lengthPx * std::cos(rot);
    p.gaY = lengthPx * std::sin(rot);
    p.gbX = lengthPx * std::cos(rot + angle);
    p.gbY = lengthPx * std::sin(rot + angle);

    const int reach = static_cast<int>(std::hypot(spec.width, spec.height) / lengthPx) * 3 + 3;
    for (int m = -reach; m <= reach; ++m)
        for (int n = -reach; n <= reach; ++n) {
            if (m == 0 && n == 0) continue;
            const double x = spec.centreX + m * p.gaX + n * p.gbX, y = spec.centreY + m * p.gaY + n * p.gbY;
            if (x < spec.marginPx || y < spec.marginPx || x > spec.width - 1 - spec.marginPx ||
                y > spec.height - 1 - spec.marginPx)
                continue;
            const double gInvNm = std::hypot(x - spec.centreX, y - spec.centreY) / spec.pixelsPerInvNm;
            const double peak = spec.peak * std::exp(-gInvNm * gInvNm / (2.0 * spec.falloffInvNm * spec.falloffInvNm));
            p.spots.push_back({x, y, peak, m, n});
        }

    std::vector<double> image(static_cast<std::size_t>(spec.width) * spec.height, spec.background);
    const auto addGaussian = [&](double cx, double cy, double height, double sigma) {
        const int r = static_cast<int>(std::ceil(5.0 * sigma));
        for (int y = std::max(0, static_cast<int>(cy) - r); y <= std::min(spec.height - 1, static_cast<int>(cy) + r); ++y)
            for (int x = std::max(0, static_cast<int>(cx) - r); x <= std::min(spec.width - 1, static_cast<int>(cx) + r); ++x) {
                const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                image[static_cast<std::size_t>(y) * spec.width + x] += height * std::exp(-d2 / (2.0 * sigma * sigma));
            }
    };
    for (const TrueSpot& s : p.spots) addGaussian(s.x, s.y, s.peak, spec.spotSigmaPx);
    addGaussian(spec.centreX, spec.centreY, spec.directPeak, 2.5 * spec.spotSigmaPx);

    std::mt19937 random(spec.seed);
    std::normal_distribution<double> noise(0.0, spec.noiseSigma > 0.0 ? spec.noiseSigma : 1.0);
    p.raster = core::Raster(spec.width, spec.height, spec.type);
    for (int y = 0; y < spec.height; ++y)
        for (int x = 0; x < spec.width; ++x) {
            double v = image[static_cast<std::size_t>(y) * spec.width + x];
            if (spec.noiseSigma > 0.0) v += noise(random);
            if (spec.beamStopRadiusPx > 0.0 && std::hypot(x - spec.centreX, y - spec.centreY) < spec.beamStopRadiusPx)
                v = 0.0;
            p.raster.setValue(x, y, std::clamp(v, 0.0, spec.saturation));
        }
    core::Calibration c;
    c.perPixel = 1.0 / spec.pixelsPerInvNm;
    c.reciprocal = true;
    c.originX = spec.centreX;
    c.originY = spec.centreY;
    p.raster.calibration = c;
    return p;
}

core::Raster recordedUnder(const core::Raster& in, const core::EllipticDistortion& distortion, double cx,
                           double cy) {
    core::Raster out(in.width(), in.height(), in.pixelType());
    for (int y = 0; y < in.height(); ++y)
        for (int x = 0; x < in.width(); ++x) {
            double dx = x - cx, dy = y - cy;
            distortion.correct(dx, dy);
            const double sx = cx + dx, sy = cy + dy;
            const int x0 = static_cast<int>(std::floor(sx)), y0 = static_cast<int>(std::floor(sy));
            if (x0 < 0 || y0 < 0 || x0 + 1 >= in.width() || y0 + 1 >= in.height()) continue;
            const double fx = sx - x0, fy = sy - y0;
            out.setValue(x, y, (1 - fy) * ((1 - fx) * in.value(x0, y0) + fx * in.value(x0 + 1, y0)) +
                                   fy * ((1 - fx) * in.value(x0, y0 + 1) + fx * in.value(x0 + 1, y0 + 1)));
        }
    out.calibration = in.calibration;
    return out;
}

}  // namespace saed::tools
