// SPDX-License-Identifier: BSD-3-Clause
// Draws a synthetic ring pattern as a 16-bit TIFF and prints what it holds:
//   saed_makerings OUT.tif [--phase Au[,Cu]] [--size 1024] [--per-pixel 0.025] [--ratio 1.03]
//                  [--angle 30] [--grain 30] [--seed 7] [--no-calibration]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "library/builtinphases.h"
#include "tools/ringgenerator.h"

int main(int argc, char** argv) {
    using namespace saed;
    if (argc < 2) {
        std::fprintf(stderr, "usage: saed_makerings OUT.tif [--phase NAME[,NAME]] [--size N] [--per-pixel K] "
                             "[--ratio R] [--angle DEG] [--grain NM] [--seed S] [--no-calibration]\n");
        return 2;
    }
    tools::RingSpec spec;
    std::string phases = "Au";
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        const auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (a == "--phase") phases = next();
        else if (a == "--size") spec.width = spec.height = std::atoi(next().c_str());
        else if (a == "--per-pixel") spec.perPixel = std::atof(next().c_str());
        else if (a == "--ratio") spec.distortion.ratio = std::atof(next().c_str());
        else if (a == "--angle") spec.distortion.angleDeg = std::atof(next().c_str());
        else if (a == "--grain") spec.grainSizeNm = std::atof(next().c_str());
        else if (a == "--seed") spec.seed = static_cast<std::uint32_t>(std::atoi(next().c_str()));
        else if (a == "--no-calibration") spec.writeCalibration = false;
        else {
            std::fprintf(stderr, "saed_makerings: unknown option %s\n", a.c_str());
            return 2;
        }
    }
    if (spec.width < 64 || spec.perPixel <= 0 || spec.distortion.ratio < 1) {
        std::fprintf(stderr, "saed_makerings: bad size, camera constant or ratio\n");
        return 2;
    }
    spec.centreX = spec.width / 2.0 - 0.7;
    spec.centreY = spec.height / 2.0 + 0.4;
    std::vector<std::vector<analysis::PowderLine>> lines;
    std::vector<double> weights;
    std::size_t start = 0;
    while (start <= phases.size()) {
        const std::size_t comma = std::min(phases.find(',', start), phases.size());
        const std::string name = phases.substr(start, comma - start);
        bool found = false;
        for (const auto& p : library::builtInPhases())
            if (p.name == name) {
                lines.push_back(analysis::powderLines(p, spec.perPixel * spec.width));
                weights.push_back(1.0);
                found = true;
            }
        if (!found) {
            std::fprintf(stderr, "saed_makerings: no built-in phase %s\n", name.c_str());
            return 2;
        }
        start = comma + 1;
    }
    const tools::RingImage image = tools::makeRings(spec, lines, weights);
    std::string error;
    if (!core::writeTiff(argv[1], image.raster, error)) {
        std::fprintf(stderr, "saed_makerings: %s\n", error.c_str());
        return 1;
    }
    std::printf("centre %.3f %.3f\nper-pixel %.6g 1/nm\nratio %.5f angle %.2f\n", spec.centreX, spec.centreY,
                spec.perPixel, spec.distortion.ratio, spec.distortion.angleDeg);
    return 0;
}
