// SPDX-License-Identifier: BSD-3-Clause
// Reader of MRC / CCP4 maps and image stacks (.mrc, .map, .st): the first section.
//
// Layout, from the MRC2014 description: a 1024-byte header of 32-bit words (NX, NY, NZ, MODE,
// ..., MX at word 8, the cell length in Å at word 11, NSYMBT at word 24, "MAP " at byte 208,
// the machine stamp at byte 212: 0x44 little-endian, 0x11 big-endian), then NSYMBT bytes of
// extended header, then the sections.
#include "core/raster.h"

#include <bit>       // for endian, bit_cast
#include <cmath>     // for ldexp, isfinite
#include <cstring>   // for memcpy
#include <utility>   // for swap

namespace saed::core {

namespace {

std::uint32_t word(const unsigned char* p, bool little) {
    return little ? (std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                     std::uint32_t{p[3]} << 24)
                  : (std::uint32_t{p[3]} | std::uint32_t{p[2]} << 8 | std::uint32_t{p[1]} << 16 |
                     std::uint32_t{p[0]} << 24);
}

// IEEE half precision to single (mode 12).
float halfToFloat(std::uint16_t h) {
    const int sign = h >> 15;
    const int exponent = (h >> 10) & 0x1F;
    const int mantissa = h & 0x3FF;
    float v;
    if (exponent == 0) v = std::ldexp(static_cast<float>(mantissa), -24);
    else if (exponent == 31) v = mantissa ? NAN : INFINITY;
    else v = std::ldexp(static_cast<float>(mantissa | 0x400), exponent - 25);
    return sign ? -v : v;
}

}  // namespace

ReadResult readMrc(const unsigned char* data, std::size_t size) {
    if (size < 1024) return {std::nullopt, "not an MRC file: shorter than its 1024-byte header."};
    // The machine stamp names the byte order; old files without one are taken as the order in
    // which the mode reads as one of the known modes.
    bool little = true;
    if (data[212] == 0x11) little = false;
    else if (data[212] != 0x44 && word(data + 12, true) > 0xFFFF) little = false;

    const auto header = [&](int i) { return static_cast<std::int32_t>(word(data + 4 * i, little)); };
    const std::int64_t nx = header(0), ny = header(1), nz = header(2);
    const int mode = header(3);
    const std::int64_t extended = header(23);
    if (!imageSizeAllowed(nx, ny) || nz < 1)
        return {std::nullopt,
                nz < 1 || nx < 1 || ny < 1
                    ? "the MRC header gives a size of " + std::to_string(nx) + " x " + std::to_string(ny) + " x " +
                          std::to_string(nz) + ", which describes no image."
                    : imageSizeProblem(nx, ny),
                nx >= 1 && ny >= 1 && nz >= 1};
    PixelType type;
    std::size_t fileBytes;
    switch (mode) {
    case 0: type = PixelType::Int8; fileBytes = 1; break;
    case 1: type = PixelType::Int16; fileBytes = 2; break;
    case 2: type = PixelType::Float32; fileBytes = 4; break;
    case 6: type = PixelType::UInt16; fileBytes = 2; break;
    case 12: type = PixelType::Float32; fileBytes = 2; break;
    default:
        return {std::nullopt, "MRC mode " + std::to_string(mode) + " is not supported (0, 1, 2, 6 and 12 are)."};
    }
    const std::size_t pixels = static_cast<std::size_t>(nx * ny);
    if (extended < 0 || static_cast<std::uint64_t>(extended) > size - 1024 ||
        pixels * fileBytes > size - 1024 - static_cast<std::size_t>(extended))
        return {std::nullopt, "the MRC file ends before its first section."};

    Raster raster(static_cast<int>(nx), static_cast<int>(ny), type);
    const unsigned char* src = data + 1024 + extended;
    unsigned char* dst = raster.bytes().data();
    constexpr bool hostLittle = std::endian::native == std::endian::little;
    if (mode == 12) {
        for (std::size_t i = 0; i < pixels; ++i, src += 2) {
            const auto h = static_cast<std::uint16_t>(little ? (src[0] | src[1] << 8) : (src[1] | src[0] << 8));
            const float f = halfToFloat(h);
            std::memcpy(dst + 4 * i, &f, 4);
        }
    } else {
        std::memcpy(dst, src, pixels * fileBytes);
        if (fileBytes > 1 && little != hostLittle) {
            for (std::size_t i = 0; i < pixels; ++i) {
                unsigned char* p = dst + i * fileBytes;
                for (std::size_t a = 0, b = fileBytes - 1; a < b; ++a, --b) std::swap(p[a], p[b]);
            }
        }
    }

    // Pixel size: the cell length (Å) over the sampling MX.
    const std::int32_t mx = header(7);
    const float cellX = std::bit_cast<float>(word(data + 40, little));
    if (mx > 0 && std::isfinite(cellX) && cellX > 0.0f) {
        if (auto c = calibrationFromUnit(static_cast<double>(cellX) / mx, "A")) raster.calibration = c;
    }
    return {std::move(raster), {}};
}

}  // namespace saed::core
