// SPDX-License-Identifier: BSD-3-Clause
// TIFF through libtiff: single-channel 8/16/32-bit integer and 32/64-bit float images in strips
// or tiles (the first page), and the writer that the tests and the pattern tool use.
//
// Calibration read from the file: the description (tag 270) in the key=value form that
// scientific image programs write ("unit=1/nm", "xorigin=", "yorigin="), with the pixels per
// unit in XResolution (tag 282). Resolution in inches or centimetres alone is a printing size,
// not a calibration, and is ignored.
#include "core/raster.h"

#include <tiffio.h>

#include <cstdarg>   // for va_list
#include <cstdio>    // for vsnprintf
#include <cstring>   // for memcpy
#include <memory>
#include <sstream>

namespace saed::core {

namespace {

struct MemoryFile {
    const unsigned char* data;
    std::size_t size;
    std::size_t pos = 0;
    std::string error;
};

tmsize_t memRead(thandle_t h, void* buf, tmsize_t n) {
    auto* f = static_cast<MemoryFile*>(h);
    if (n < 0 || f->pos >= f->size) return 0;
    const std::size_t take = std::min(static_cast<std::size_t>(n), f->size - f->pos);
    std::memcpy(buf, f->data + f->pos, take);
    f->pos += take;
    return static_cast<tmsize_t>(take);
}
tmsize_t memWrite(thandle_t, void*, tmsize_t) { return -1; }
toff_t memSeek(thandle_t h, toff_t off, int whence) {
    auto* f = static_cast<MemoryFile*>(h);
    std::uint64_t base = whence == SEEK_CUR ? f->pos : whence == SEEK_END ? f->size : 0;
    const std::uint64_t target = base + off;   // toff_t is unsigned; wrap-around is caught below
    if (target > f->size) return static_cast<toff_t>(-1);
    f->pos = static_cast<std::size_t>(target);
    return target;
}
int memClose(thandle_t) { return 0; }
toff_t memSize(thandle_t h) { return static_cast<MemoryFile*>(h)->size; }
int memMap(thandle_t, void**, toff_t*) { return 0; }
void memUnmap(thandle_t, void*, toff_t) {}

int keepError(TIFF*, void* user, const char*, const char* fmt, va_list ap) {
    auto* f = static_cast<MemoryFile*>(user);
    if (f->error.empty()) {
        char text[256];
        std::vsnprintf(text, sizeof text, fmt, ap);
        f->error = text;
    }
    return 1;
}
int ignoreWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};

// The value after "key=" on a line of the description, or "".
std::string descriptionValue(const std::string& description, const std::string& key) {
    std::istringstream lines(description);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(key + "=", 0) == 0) {
            std::string v = line.substr(key.size() + 1);
            while (!v.empty() && (v.back() == '\r' || v.back() == ' ')) v.pop_back();
            return v;
        }
    }
    return {};
}

std::optional<Calibration> tiffCalibration(TIFF* tif) {
    char* text = nullptr;
    float xResolution = 0.0f;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEDESCRIPTION, &text) || !text) return std::nullopt;
    if (!TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xResolution) || !(xResolution > 0.0f)) return std::nullopt;
    const std::string description(text);
    std::string unit = descriptionValue(description, "unit");
    if (unit.empty()) return std::nullopt;
    // Some writers escape a backslash-u before a micro sign; unquote simple quoting.
    if (unit.size() >= 2 && unit.front() == '"' && unit.back() == '"') unit = unit.substr(1, unit.size() - 2);
    auto c = calibrationFromUnit(1.0 / static_cast<double>(xResolution), unit);
    if (!c) return std::nullopt;
    try {
        if (auto x = descriptionValue(description, "xorigin"); !x.empty()) c->originX = std::stod(x);
        if (auto y = descriptionValue(description, "yorigin"); !y.empty()) c->originY = std::stod(y);
    } catch (const std::exception&) {
        // An unreadable origin leaves it at the top-left pixel.
    }
    return c;
}

}  // namespace

ReadResult readTiff(const unsigned char* data, std::size_t size) {
    MemoryFile file{data, size, 0, {}};
    std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(),
                                                                        TIFFOpenOptionsFree);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), keepError, &file);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), ignoreWarning, nullptr);
    // No single allocation inside libtiff beyond one strip or tile of the largest image.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t{1} << 30);
    std::unique_ptr<TIFF, TiffCloser> tif(TIFFClientOpenExt("memory", "rm", &file, memRead, memWrite, memSeek,
                                                            memClose, memSize, memMap, memUnmap, options.get()));
    const auto failure = [&](const std::string& what) {
        return ReadResult{std::nullopt, file.error.empty() ? what : what + " (" + file.error + ")"};
    };
    if (!tif) return failure("not a readable TIFF file.");

    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 0, samples = 1, format = SAMPLEFORMAT_UINT, planar = PLANARCONFIG_CONTIG;
    TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_PLANARCONFIG, &planar);
    if (!imageSizeAllowed(width, height)) {
        ReadResult refused = failure(imageSizeProblem(width, height));
        refused.tooLarge = width >= 1 && height >= 1;
        return refused;
    }
    if (samples != 1)
        return failure("the TIFF image has " + std::to_string(samples) +
                       " channels; single-channel images are read here.");

    PixelType type;
    if (format == SAMPLEFORMAT_IEEEFP && bits == 32) type = PixelType::Float32;
    else if (format == SAMPLEFORMAT_IEEEFP && bits == 64) type = PixelType::Float64;
    else if (format == SAMPLEFORMAT_UINT && bits == 8) type = PixelType::UInt8;
    else if (format == SAMPLEFORMAT_INT && bits == 8) type = PixelType::Int8;
    else if (format == SAMPLEFORMAT_UINT && bits == 16) type = PixelType::UInt16;
    else if (format == SAMPLEFORMAT_INT && bits == 16) type = PixelType::Int16;
    else if (format == SAMPLEFORMAT_UINT && bits == 32) type = PixelType::UInt32;
    else if (format == SAMPLEFORMAT_INT && bits == 32) type = PixelType::Int32;
    else
        return failure("TIFF images of " + std::to_string(bits) + "-bit samples in format " +
                       std::to_string(format) + " are not supported.");
    const std::size_t pixelBytes = bytesPerPixel(type);
    const std::size_t rowBytes = pixelBytes * width;

    // The data cannot unpack to more than a few thousand times their stored size: refuse a
    // small file that claims a huge image before allocating it.
    const bool tiled = TIFFIsTiled(tif.get()) != 0;
    const std::uint32_t chunks = tiled ? TIFFNumberOfTiles(tif.get()) : TIFFNumberOfStrips(tif.get());
    std::uint64_t stored = 0;
    for (std::uint32_t i = 0; i < chunks; ++i)
        stored += TIFFGetStrileByteCount(tif.get(), i);
    const std::uint64_t expected = static_cast<std::uint64_t>(rowBytes) * height;
    if (stored > size || expected > stored * 8192 + 65536)
        return failure("the TIFF file is too short for its image.");

    Raster raster(static_cast<int>(width), static_cast<int>(height), type);
    unsigned char* dst = raster.bytes().data();
    if (tiled) {
        std::uint32_t tw = 0, th = 0;
        TIFFGetField(tif.get(), TIFFTAG_TILEWIDTH, &tw);
        TIFFGetField(tif.get(), TIFFTAG_TILELENGTH, &th);
        const tmsize_t tileBytes = TIFFTileSize(tif.get());
        if (tw == 0 || th == 0 || tileBytes <= 0 ||
            static_cast<std::uint64_t>(tileBytes) < std::uint64_t{tw} * th * pixelBytes)
            return failure("the TIFF file's tiles are malformed.");
        std::vector<unsigned char> tile(static_cast<std::size_t>(tileBytes));
        for (std::uint32_t y0 = 0; y0 < height; y0 += th) {
            for (std::uint32_t x0 = 0; x0 < width; x0 += tw) {
                if (TIFFReadTile(tif.get(), tile.data(), x0, y0, 0, 0) < 0)
                    return failure("a tile of the TIFF file cannot be read.");
                const std::uint32_t w = std::min(tw, width - x0), h = std::min(th, height - y0);
                for (std::uint32_t r = 0; r < h; ++r)
                    std::memcpy(dst + (std::size_t{y0} + r) * rowBytes + std::size_t{x0} * pixelBytes,
                                tile.data() + std::size_t{r} * tw * pixelBytes, std::size_t{w} * pixelBytes);
            }
        }
    } else {
        if (planar != PLANARCONFIG_CONTIG && samples != 1) return failure("planar TIFF data are not supported.");
        if (static_cast<std::uint64_t>(TIFFScanlineSize64(tif.get())) != rowBytes)
            return failure("the TIFF file's rows are malformed.");
        for (std::uint32_t y = 0; y < height; ++y)
            if (TIFFReadScanline(tif.get(), dst + std::size_t{y} * rowBytes, y, 0) < 0)
                return failure("row " + std::to_string(y) + " of the TIFF file cannot be read.");
    }
    raster.calibration = tiffCalibration(tif.get());
    return {std::move(raster), {}};
}

bool writeTiff(const std::string& path, const Raster& raster, std::string& error, int tileSize) {
    if (raster.empty() || raster.pixelType() == PixelType::Rgb8) {
        error = "only single-channel images are written as TIFF";
        return false;
    }
    std::unique_ptr<TIFF, TiffCloser> tif(TIFFOpen(path.c_str(), "w"));
    if (!tif) {
        error = "cannot write " + path;
        return false;
    }
    const PixelType type = raster.pixelType();
    const auto bits = static_cast<std::uint16_t>(8 * bytesPerPixel(type));
    const std::uint16_t format = (type == PixelType::Float32 || type == PixelType::Float64) ? SAMPLEFORMAT_IEEEFP
                                 : (type == PixelType::Int8 || type == PixelType::Int16 || type == PixelType::Int32)
                                     ? SAMPLEFORMAT_INT
                                     : SAMPLEFORMAT_UINT;
    const auto width = static_cast<std::uint32_t>(raster.width());
    const auto height = static_cast<std::uint32_t>(raster.height());
    TIFFSetField(tif.get(), TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif.get(), TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif.get(), TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tif.get(), TIFFTAG_SAMPLESPERPIXEL, std::uint16_t{1});
    TIFFSetField(tif.get(), TIFFTAG_SAMPLEFORMAT, format);
    TIFFSetField(tif.get(), TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif.get(), TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif.get(), TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    if (raster.calibration) {
        const Calibration& c = *raster.calibration;
        std::ostringstream description;
        description.precision(17);
        description << "unit=" << c.unit() << "\nxorigin=" << c.originX << "\nyorigin=" << c.originY << "\n";
        TIFFSetField(tif.get(), TIFFTAG_IMAGEDESCRIPTION, description.str().c_str());
        TIFFSetField(tif.get(), TIFFTAG_XRESOLUTION, static_cast<float>(1.0 / c.perPixel));
        TIFFSetField(tif.get(), TIFFTAG_YRESOLUTION, static_cast<float>(1.0 / c.perPixel));
        TIFFSetField(tif.get(), TIFFTAG_RESOLUTIONUNIT, RESUNIT_NONE);
    }
    const std::size_t pixelBytes = bytesPerPixel(type);
    const std::size_t rowBytes = pixelBytes * width;
    const unsigned char* src = raster.bytes().data();
    if (tileSize > 0) {
        const auto ts = static_cast<std::uint32_t>(tileSize);
        TIFFSetField(tif.get(), TIFFTAG_TILEWIDTH, ts);
        TIFFSetField(tif.get(), TIFFTAG_TILELENGTH, ts);
        std::vector<unsigned char> tile(std::size_t{ts} * ts * pixelBytes);
        for (std::uint32_t y0 = 0; y0 < height; y0 += ts) {
            for (std::uint32_t x0 = 0; x0 < width; x0 += ts) {
                std::fill(tile.begin(), tile.end(), 0);
                const std::uint32_t w = std::min(ts, width - x0), h = std::min(ts, height - y0);
                for (std::uint32_t r = 0; r < h; ++r)
                    std::memcpy(tile.data() + std::size_t{r} * ts * pixelBytes,
                                src + (std::size_t{y0} + r) * rowBytes + std::size_t{x0} * pixelBytes,
                                std::size_t{w} * pixelBytes);
                if (TIFFWriteTile(tif.get(), tile.data(), x0, y0, 0, 0) < 0) {
                    error = "cannot write " + path;
                    return false;
                }
            }
        }
    } else {
        TIFFSetField(tif.get(), TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif.get(), 0));
        std::vector<unsigned char> row(rowBytes);
        for (std::uint32_t y = 0; y < height; ++y) {
            std::memcpy(row.data(), src + std::size_t{y} * rowBytes, rowBytes);
            if (TIFFWriteScanline(tif.get(), row.data(), y, 0) < 0) {
                error = "cannot write " + path;
                return false;
            }
        }
    }
    if (!TIFFWriteDirectory(tif.get())) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

void silenceTiffLibraryMessages() {
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
}

std::string tiffLibraryVersion() {
    const std::string text = TIFFGetVersion();
    return text.substr(0, text.find('\n'));
}

}  // namespace saed::core
