// SPDX-License-Identifier: BSD-3-Clause
// Synthetic ring patterns.
#include "tools/ringgenerator.h"

#include <algorithm>
#include <cmath>  // for exp, sqrt, hypot, floor
#include <random>

namespace saed::tools {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Poisson counts with mean `mean`: Knuth's product of uniforms for small means, the normal
// approximation above 30 where it is within a count.
double poisson(std::mt19937_64& random, double mean) {
    if (mean <= 0) return 0;
    if (mean > 30) {
        std::normal_distribution<double> n(mean, std::sqrt(mean));
        return std::max(0.0, std::round(n(random)));
    }
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const double limit = std::exp(-mean);
    double p = 1;
    int k = 0;
    do {
        ++k;
        p *= u(random);
    } while (p > limit);
    return k - 1;
}

}  // namespace

RingImage makeRings(const RingSpec& spec, std::span<const std::vector<analysis::PowderLine>> lines,
                    std::span<const double> weights) {
    RingImage out;
    const double maxR = std::hypot(std::max(spec.centreX, spec.width - spec.centreX),
                                   std::max(spec.centreY, spec.height - spec.centreY)) *
                            std::sqrt(spec.distortion.ratio) + 10;
    constexpr double kStep = 0.02;
    const std::size_t steps = static_cast<std::size_t>(maxR / kStep) + 2;
    // The rings' counts per pixel along the corrected radius.
    std::vector<double> profile(steps, 0.0);
    for (std::size_t p = 0; p < lines.size(); ++p) {
        double total = 0;
        for (const auto& l : lines[p]) total += l.intensity;
        if (total <= 0) continue;
        const double share = p < weights.size() ? weights[p] : 1.0;
        for (const auto& l : lines[p]) {
            const double r = l.gInvNm / spec.perPixel;
            if (r > maxR) continue;
            out.radiiPx.push_back(r);
            const double grain = 0.9 / spec.grainSizeNm / spec.perPixel;  // FWHM, pixels
            const double sigma = std::sqrt(grain * grain + spec.instrumentFwhmPx * spec.instrumentFwhmPx) / 2.3548;
            const double counts = spec.ringCounts * share * l.intensity / total;
            const double amplitude = counts / (2 * kPi * r * sigma * std::sqrt(2 * kPi));
            const std::size_t lo = static_cast<std::size_t>(std::max(0.0, (r - 6 * sigma) / kStep));
            const std::size_t hi = std::min(steps - 1, static_cast<std::size_t>((r + 6 * sigma) / kStep));
            for (std::size_t i = lo; i <= hi; ++i) {
                const double z = (i * kStep - r) / sigma;
                profile[i] += amplitude * std::exp(-0.5 * z * z);
            }
        }
    }
    std::sort(out.radiiPx.begin(), out.radiiPx.end());
    for (std::size_t i = 0; i < steps; ++i) {
        const double r = i * kStep;
        profile[i] += spec.background + spec.diffuse * std::exp(-r / spec.diffuseRadiusPx) +
                      spec.directPeak * std::exp(-0.5 * r * r / 9.0);
    }

    std::mt19937_64 random(spec.seed);
    out.raster = core::Raster(spec.width, spec.height, spec.type);
    const double arm = spec.beamStopArmDeg * kPi / 180;
    const double ax = std::cos(arm), ay = std::sin(arm);
    for (int y = 0; y < spec.height; ++y)
        for (int x = 0; x < spec.width; ++x) {
            double dx = x - spec.centreX, dy = y - spec.centreY;
            // The stop hides a disc and an arm from the centre to the edge.
            bool stopped = false;
            if (spec.beamStopRadiusPx > 0) {
                const double along = dx * ax + dy * ay, across = std::abs(-dx * ay + dy * ax);
                stopped = std::hypot(dx, dy) < spec.beamStopRadiusPx ||
                          (along > 0 && across < 0.5 * spec.beamStopRadiusPx);
            }
            spec.distortion.correct(dx, dy);
            const double r = std::hypot(dx, dy) / kStep;
            const std::size_t i = std::min(steps - 2, static_cast<std::size_t>(r));
            const double f = r - i;
            double mean = profile[i] * (1 - f) + profile[i + 1] * f;
            if (stopped) mean = 2.0;
            double v = spec.poisson ? poisson(random, mean) : mean;
            v = std::min(v, spec.ceiling);
            out.raster.setValue(x, y, v);
        }
    if (spec.writeCalibration) {
        core::Calibration c;
        c.perPixel = spec.perPixel;
        c.reciprocal = true;
        c.originX = spec.centreX;
        c.originY = spec.centreY;
        out.raster.calibration = c;
    }
    return out;
}

}  // namespace saed::tools
