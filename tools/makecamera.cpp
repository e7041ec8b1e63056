// SPDX-License-Identifier: BSD-3-Clause
// Writes a synthetic camera image of a built-in phase along a zone as a 16-bit TIFF with its
// calibration, and prints the truth:
//   saed_makecamera OUTPUT.tif PHASE U,V,W [SEED] [SIDE]
// SEED draws the image's faults (rotation, calibration error, distortion, beam stop, ...).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "library/builtinphases.h"
#include "tools/cameraimage.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: saed_makecamera OUTPUT.tif PHASE U,V,W [SEED] [SIDE]\n");
        return 2;
    }
    const saed::library::CrystalPhase* phase = nullptr;
    for (const auto& p : saed::library::builtInPhases())
        if (p.name == argv[2]) phase = &p;
    long long u = 0, v = 0, w = 0;
    if (!phase || std::sscanf(argv[3], "%lld,%lld,%lld", &u, &v, &w) != 3) {
        std::fprintf(stderr, "saed_makecamera: unknown phase or zone\n");
        return 2;
    }
    const auto seed = static_cast<std::uint32_t>(argc > 4 ? std::strtoul(argv[4], nullptr, 10) : 1);
    const int side = argc > 5 ? std::atoi(argv[5]) : 512;
    const auto image = saed::tools::makeCameraImage(*phase, saed::tools::randomCameraSpec({u, v, w}, seed, side));
    if (!image) {
        std::fprintf(stderr, "saed_makecamera: the zone shows no spot\n");
        return 2;
    }
    std::string error;
    if (!saed::core::writeTiff(argv[1], image->raster, error)) {
        std::fprintf(stderr, "saed_makecamera: %s\n", error.c_str());
        return 1;
    }
    std::printf("centre %.3f %.3f\ncalibration %.6g (written %.6g)\nspots %zu\n", image->centreX, image->centreY,
                image->trueCalibration, image->raster.calibration->perPixel, image->spotsDrawn);
    return 0;
}
