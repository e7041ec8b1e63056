// SPDX-License-Identifier: BSD-3-Clause
// Writes the small seed files of the fuzzing corpus: makeseeds FOLDER (dm/, mrc/, tiff/ in it).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/raster.h"
#include "tools/imagewriters.h"

namespace {

void save(const std::filesystem::path& path, const saed::testing::Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

saed::core::Raster ramp(saed::core::PixelType type) {
    saed::core::Raster r(5, 3, type);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) r.setValue(x, y, x + 5 * y - 3);
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    using saed::core::PixelType;
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeseeds FOLDER\n");
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    for (const char* sub : {"dm", "mrc", "tiff"}) std::filesystem::create_directories(root / sub);

    int n = 0;
    for (int version : {3, 4}) {
        for (bool little : {true, false}) {
            for (PixelType t : {PixelType::UInt16, PixelType::Float32, PixelType::Rgb8}) {
                saed::testing::DmOptions o;
                o.version = version;
                o.little = little;
                if (t == PixelType::Float32) o.calibration = saed::testing::DmCalibration{0.05f, u"1/nm", 2, 1};
                save(root / "dm" / ("seed" + std::to_string(n++) + ".dm" + std::to_string(version)),
                     saed::testing::DmWriter(o).write(ramp(t)));
            }
        }
    }
    n = 0;
    for (int mode : {0, 1, 2, 6, 12})
        save(root / "mrc" / ("seed" + std::to_string(n++) + ".mrc"),
             saed::testing::writeMrc(ramp(PixelType::Float32), mode, mode != 6, 1.5, mode == 2 ? 2 : 1));
    n = 0;
    for (PixelType t : {PixelType::UInt8, PixelType::Int16, PixelType::UInt32, PixelType::Float32, PixelType::Float64}) {
        saed::core::Raster r = ramp(t);
        if (t == PixelType::Float32) r.calibration = saed::core::calibrationFromUnit(0.02, "1/nm");
        std::string error;
        saed::core::writeTiff((root / "tiff" / ("seed" + std::to_string(n++) + ".tif")).string(), r, error,
                              t == PixelType::UInt32 ? 16 : 0);
    }
    return 0;
}
