// SPDX-License-Identifier: BSD-3-Clause
// Synthetic camera images of a crystal phase along a zone.
#include "tools/cameraimage.h"

#include <algorithm>  // for clamp, max, min, sort
#include <cmath>      // for cos, sin, exp, hypot, sqrt
#include <random>

#include "library/spacegroup.h"
#include "simulation/zonepattern.h"

namespace saed::tools {

namespace {
constexpr double kPi = 3.14159265358979323846;
}

CameraSpec randomCameraSpec(const core::Uvw& zone, std::uint32_t seed, int side) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    CameraSpec spec;
    spec.width = spec.height = side;
    spec.zone = zone;
    spec.seed = seed;
    spec.centreX = side * (0.42 + 0.16 * unit(random));
    spec.centreY = side * (0.42 + 0.16 * unit(random));
    spec.shortestPx = side * (0.05 + 0.05 * unit(random));
    spec.rotationDeg = 360 * unit(random);
    spec.calibrationError = 0.04 * unit(random) - 0.02;
    spec.ellipticity = 0.03 * unit(random);
    spec.ellipseAxisDeg = 180 * unit(random);
    spec.positionNoisePx = 1.0;
    spec.weakMissing = 0.2;
    spec.spurious = 0.1;
    spec.beamStop = unit(random) < 0.25;
    spec.peakCounts = spec.saturation * (0.8 + 1.2 * unit(random));
    return spec;
}

std::optional<CameraImage> makeCameraImage(const library::CrystalPhase& phase, const CameraSpec& spec) {
    std::mt19937 random(spec.seed * 2654435761u + 17);
    std::uniform_real_distribution<double> unit(0, 1);
    std::normal_distribution<double> gauss(0, 1);

    const double cx = spec.centreX > 0 ? spec.centreX : spec.width / 2.0 + 0.37;
    const double cy = spec.centreY > 0 ? spec.centreY : spec.height / 2.0 - 0.21;
    const auto rule = library::phaseRule(phase);
    simulation::ZonePatternRequest request;
    request.cell = phase.cell;
    request.allowed = simulation::runRule(core::LatticeType::SpaceGroup, rule);
    request.intensity = simulation::structureIntensity(rule);
    request.zone = spec.zone;
    request.maxGInvNm = 30;
    while (request.maxGInvNm > 1 &&
           (2 * request.maxGInvNm * phase.cell.aNm + 1) * (2 * request.maxGInvNm * phase.cell.bNm + 1) *
                   (2 * request.maxGInvNm * phase.cell.cNm + 1) >
               simulation::kMaxIndexTriples)
        request.maxGInvNm *= 0.8;
    const simulation::ZonePatternResult made = simulation::simulateZone(request);
    if (made.error != simulation::PatternError::None || made.pattern.spots.empty()) return std::nullopt;
    const std::vector<simulation::Spot>& spots = made.pattern.spots;
    const double shortest = std::hypot(spots.front().xInvNm, spots.front().yInvNm);
    const double pxPerInvNm = spec.shortestPx / shortest;

    // Pattern plane to image: rotation, then the ellipse (a stretch along one axis).
    const double rot = spec.rotationDeg * kPi / 180, axis = spec.ellipseAxisDeg * kPi / 180;
    const auto place = [&](double gx, double gy) {
        double x = pxPerInvNm * (gx * std::cos(rot) - gy * std::sin(rot));
        double y = pxPerInvNm * (gx * std::sin(rot) + gy * std::cos(rot));
        const double along = x * std::cos(axis) + y * std::sin(axis);
        x += spec.ellipticity * along * std::cos(axis);
        y += spec.ellipticity * along * std::sin(axis);
        return std::pair{cx + x, cy + y};
    };

    struct Drawn {
        double x, y, peak;
    };
    std::vector<Drawn> drawn;
    double strongest = 0;
    for (const simulation::Spot& s : spots) {
        const double g2 = s.xInvNm * s.xInvNm + s.yInvNm * s.yInvNm;
        strongest = std::max(strongest, s.intensity * std::exp(-g2 / (2 * spec.falloffInvNm * spec.falloffInvNm)));
    }
    std::vector<double> peaks;
    for (const simulation::Spot& s : spots) {
        const auto [x, y] = place(s.xInvNm, s.yInvNm);
        if (x < 6 || y < 6 || x > spec.width - 7 || y > spec.height - 7) continue;
        const double g2 = s.xInvNm * s.xInvNm + s.yInvNm * s.yInvNm;
        const double peak = spec.peakCounts * s.intensity *
                            std::exp(-g2 / (2 * spec.falloffInvNm * spec.falloffInvNm)) / std::max(strongest, 1e-300);
        if (peak < 3 * std::sqrt(spec.background)) continue;  // too weak to record
        drawn.push_back({x + spec.positionNoisePx * gauss(random), y + spec.positionNoisePx * gauss(random), peak});
        peaks.push_back(peak);
    }
    if (drawn.empty()) return std::nullopt;
    std::sort(peaks.begin(), peaks.end());
    const double median = peaks[peaks.size() / 2];
    std::vector<Drawn> kept;
    for (const Drawn& d : drawn)
        if (!(d.peak < median && unit(random) < spec.weakMissing)) kept.push_back(d);
    CameraImage image;
    image.spotsDrawn = kept.size();
    const std::size_t extra = static_cast<std::size_t>(spec.spurious * kept.size() + unit(random));
    for (std::size_t k = 0; k < extra; ++k)
        kept.push_back({8 + unit(random) * (spec.width - 16), 8 + unit(random) * (spec.height - 16),
                        median * (0.5 + unit(random))});

    std::vector<double> counts(static_cast<std::size_t>(spec.width) * spec.height, spec.background);
    const auto addGaussian = [&](double x0, double y0, double height, double sigma) {
        const int r = static_cast<int>(std::ceil(5 * sigma));
        for (int y = std::max(0, static_cast<int>(y0) - r); y <= std::min(spec.height - 1, static_cast<int>(y0) + r); ++y)
            for (int x = std::max(0, static_cast<int>(x0) - r); x <= std::min(spec.width - 1, static_cast<int>(x0) + r); ++x) {
                const double d2 = (x - x0) * (x - x0) + (y - y0) * (y - y0);
                counts[static_cast<std::size_t>(y) * spec.width + x] += height * std::exp(-d2 / (2 * sigma * sigma));
            }
    };
    for (const Drawn& d : kept) addGaussian(d.x, d.y, d.peak, spec.spotSigmaPx);
    // The direct beam: far above saturation, a flat top some pixels wide, with a halo.
    addGaussian(cx, cy, 40 * spec.saturation, 2.2 * spec.spotSigmaPx);
    addGaussian(cx, cy, 0.05 * spec.saturation, 8 * spec.spotSigmaPx);

    const double rodAngle = 2 * kPi * unit(random);
    const double stopRadius = 0.45 * spec.shortestPx;
    image.raster = core::Raster(spec.width, spec.height, core::PixelType::UInt16);
    for (int y = 0; y < spec.height; ++y)
        for (int x = 0; x < spec.width; ++x) {
            const double mean = counts[static_cast<std::size_t>(y) * spec.width + x];
            double v = mean > 50 ? mean + std::sqrt(mean) * gauss(random)
                                 : static_cast<double>(std::poisson_distribution<int>(mean)(random));
            if (spec.beamStop) {
                const double dx = x - cx, dy = y - cy;
                const double along = dx * std::cos(rodAngle) + dy * std::sin(rodAngle);
                const double across = -dx * std::sin(rodAngle) + dy * std::cos(rodAngle);
                if (std::hypot(dx, dy) < stopRadius || (along > 0 && std::abs(across) < 0.2 * stopRadius))
                    v = 0.3 * spec.background + std::sqrt(spec.background) * gauss(random) * 0.3;
            }
            image.raster.setValue(x, y, std::clamp(v, 0.0, spec.saturation));
        }
    image.centreX = cx;
    image.centreY = cy;
    // The stretch changes lengths along its axis; the mean scale is the true calibration.
    image.trueCalibration = 1 / (pxPerInvNm * (1 + spec.ellipticity / 2));
    core::Calibration c;
    c.perPixel = image.trueCalibration * (1 + spec.calibrationError);
    c.reciprocal = true;
    c.originX = cx;
    c.originY = cy;
    image.raster.calibration = c;
    return image;
}

}  // namespace saed::tools
