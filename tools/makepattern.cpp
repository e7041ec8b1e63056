// SPDX-License-Identifier: BSD-3-Clause
// Writes a synthetic diffraction pattern as a 16-bit (or float) TIFF with its calibration and
// prints its true spot centres:
//   saed_makepattern OUTPUT.tif [--float] [--beam-stop RADIUS]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/patterngenerator.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: saed_makepattern OUTPUT.tif [--float] [--beam-stop RADIUS]\n");
        return 2;
    }
    saed::tools::PatternSpec spec;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--float") spec.type = saed::core::PixelType::Float32;
        else if (a == "--beam-stop" && i + 1 < argc) spec.beamStopRadiusPx = std::atof(argv[++i]);
        else {
            std::fprintf(stderr, "saed_makepattern: unknown option '%s'\n", a.c_str());
            return 2;
        }
    }
    const saed::tools::Pattern p = saed::tools::makePattern(spec);
    std::string error;
    if (!saed::core::writeTiff(argv[1], p.raster, error)) {
        std::fprintf(stderr, "saed_makepattern: %s\n", error.c_str());
        return 1;
    }
    std::printf("centre %.4f %.4f\ng_a %.4f %.4f\ng_b %.4f %.4f\n", spec.centreX, spec.centreY, p.gaX, p.gaY, p.gbX,
                p.gbY);
    for (const auto& s : p.spots) std::printf("spot %d %d %.4f %.4f %.1f\n", s.m, s.n, s.x, s.y, s.peak);
    return 0;
}
