// SPDX-License-Identifier: BSD-3-Clause
// A microscope image as read from its file: the original pixel values and the calibration.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace saed::core {

enum class PixelType { UInt8, Int8, UInt16, Int16, UInt32, Int32, Float32, Float64, Rgb8 };

// "uint8", "int8", "uint16", "int16", "uint32", "int32", "float32", "float64" or "rgb8".
std::string_view pixelTypeName(PixelType type);
// Bytes of one pixel: 1 to 8; three for rgb8 (red, green, blue).
std::size_t bytesPerPixel(PixelType type);

// Images larger than this on either side, or with more pixels in all, are refused before
// anything is allocated: 8192 x 8192 fits, and the largest image takes at most half a gigabyte
// as 64-bit values.
inline constexpr std::int64_t kMaxImageSide = 65536;
inline constexpr std::int64_t kMaxImagePixels = std::int64_t{1} << 26;

// True when a width x height image is within the limits above (both sides at least 1).
bool imageSizeAllowed(std::int64_t width, std::int64_t height);
// Why a width x height image is refused, naming the limit it exceeds; empty when it is allowed.
std::string imageSizeProblem(std::int64_t width, std::int64_t height);

// The spatial scale a file carries. A reciprocal scale is always in 1/nm per pixel; a real
// scale in nm per pixel.
struct Calibration {
    double perPixel = 0.0;      // 1/nm per pixel (reciprocal) or nm per pixel (real)
    bool reciprocal = false;
    double originX = 0.0;       // the pixel (x, y) where the calibrated coordinate is zero
    double originY = 0.0;

    // "1/nm" or "nm".
    std::string_view unit() const { return reciprocal ? "1/nm" : "nm"; }
};

// Turns a scale in the unit a file names ("1/nm", "1/A", "1/Å", "1/m", "nm", "A", "µm", ...)
// into a calibration; nullopt for an unknown unit or a scale that is not finite and positive.
std::optional<Calibration> calibrationFromUnit(double scalePerPixel, std::string_view unit);

// Pixels row by row from the top-left; (0, 0) is the centre of the top-left pixel, x to the
// right, y down. The values are kept as the file holds them, in the machine's byte order.
class Raster {
public:
    Raster() = default;
    // A zero-filled image; the caller has checked imageSizeAllowed().
    Raster(int width, int height, PixelType type);

    int width() const { return m_width; }
    int height() const { return m_height; }
    PixelType pixelType() const { return m_type; }
    bool empty() const { return m_width == 0 || m_height == 0; }

    // The raw bytes, width * height * bytesPerPixel.
    std::vector<unsigned char>& bytes() { return m_bytes; }
    const std::vector<unsigned char>& bytes() const { return m_bytes; }

    // The value at a pixel as a double; for rgb8 the luminance 0.299 R + 0.587 G + 0.114 B.
    double value(int x, int y) const { return valueAt(static_cast<std::size_t>(y) * m_width + x); }
    double valueAt(std::size_t index) const;
    // Writes a value, converted to the pixel type (rounded and clamped for integers; grey for rgb8).
    void setValue(int x, int y, double v);

    // Every pixel as a float, row by row (for whole-image work such as spot detection).
    std::vector<float> toFloats() const;

    std::optional<Calibration> calibration;

private:
    int m_width = 0;
    int m_height = 0;
    PixelType m_type = PixelType::UInt8;
    std::vector<unsigned char> m_bytes;
};

// A reader's answer: the image, or a message saying what is wrong with the file.
struct ReadResult {
    std::optional<Raster> raster;
    std::string error;
    bool tooLarge = false;  // an image beyond the size limits, refused before it was read
};

// Readers from a whole file held in memory; they never read outside `data`.
ReadResult readDm(const unsigned char* data, std::size_t size);
ReadResult readMrc(const unsigned char* data, std::size_t size);
ReadResult readTiff(const unsigned char* data, std::size_t size);

// Reads a .dm3/.dm4, .tif/.tiff or .mrc/.map/.st/.ccp4 file, choosing the reader by the
// file's first bytes (the extension only where the bytes say nothing); the message names the
// file when it cannot be read.
ReadResult readImageFile(const std::string& path);
// Stops the TIFF library from printing its warnings and errors on stderr for readers that use its
// process-wide handlers (Qt's TIFF plugin); the program tells the reason itself. The reader here
// keeps its own handlers per file.
void silenceTiffLibraryMessages();
// The first line of the TIFF library's own version text ("LIBTIFF, Version 4.5.0").
std::string tiffLibraryVersion();

// Writes a single-channel image (any pixel type but rgb8) as an uncompressed TIFF, with the
// calibration as pixels per unit in the resolution tags and unit=... in the description;
// `tileSize` > 0 writes tiles of that size instead of strips. False with `error` set on failure.
bool writeTiff(const std::string& path, const Raster& raster, std::string& error, int tileSize = 0);

}  // namespace saed::core
