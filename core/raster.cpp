// SPDX-License-Identifier: BSD-3-Clause
// A microscope image as read from its file: the original pixel values and the calibration.
#include "core/raster.h"

#include <algorithm>
#include <cmath>     // for lround, isfinite
#include <cstring>   // for memcpy
#include <filesystem>
#include <fstream>
#include <limits>

namespace saed::core {

std::string_view pixelTypeName(PixelType type) {
    switch (type) {
    case PixelType::UInt8: return "uint8";
    case PixelType::Int8: return "int8";
    case PixelType::UInt16: return "uint16";
    case PixelType::Int16: return "int16";
    case PixelType::UInt32: return "uint32";
    case PixelType::Int32: return "int32";
    case PixelType::Float32: return "float32";
    case PixelType::Float64: return "float64";
    case PixelType::Rgb8: return "rgb8";
    }
    return "uint8";
}

std::size_t bytesPerPixel(PixelType type) {
    switch (type) {
    case PixelType::UInt8:
    case PixelType::Int8: return 1;
    case PixelType::UInt16:
    case PixelType::Int16: return 2;
    case PixelType::UInt32:
    case PixelType::Int32:
    case PixelType::Float32: return 4;
    case PixelType::Float64: return 8;
    case PixelType::Rgb8: return 3;
    }
    return 1;
}

bool imageSizeAllowed(std::int64_t width, std::int64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

std::string imageSizeProblem(std::int64_t width, std::int64_t height) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width < 1 || height < 1) return "the image's size " + size + " describes no image.";
    if (imageSizeAllowed(width, height)) return {};
    return "the image is " + size + " pixels, beyond the limit of " + std::to_string(kMaxImagePixels) +
           " pixels (8192 x 8192) and " + std::to_string(kMaxImageSide) + " pixels a side.";
}

namespace {

std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

template <typename T>
T load(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T>
void store(unsigned char* p, double v) {
    T t;
    if constexpr (std::is_floating_point_v<T>) {
        t = static_cast<T>(v);
    } else {
        const double lo = static_cast<double>(std::numeric_limits<T>::min());
        const double hi = static_cast<double>(std::numeric_limits<T>::max());
        t = std::isnan(v) ? T{0} : static_cast<T>(std::clamp(std::round(v), lo, hi));
    }
    std::memcpy(p, &t, sizeof t);
}

}  // namespace

std::optional<Calibration> calibrationFromUnit(double scalePerPixel, std::string_view unit) {
    if (!std::isfinite(scalePerPixel) || scalePerPixel <= 0.0) return std::nullopt;
    std::string u = lowerAscii(unit);
    u.erase(std::remove(u.begin(), u.end(), ' '), u.end());
    // Ångström written as the character itself in UTF-8 or Latin-1, or as "a"/"angstrom".
    for (const std::string_view a : {"\xc3\x85", "\xc3\xa5", "\xe2\x84\xab", "\xc5", "\xe5", "angstrom"}) {
        if (const auto pos = u.find(a); pos != std::string::npos) u.replace(pos, a.size(), "a");
    }
    for (const std::string_view mu : {"\xc2\xb5", "\xce\xbc", "\xb5", "micron"}) {
        if (const auto pos = u.find(mu); pos != std::string::npos) u.replace(pos, mu.size(), "u");
    }
    if (u == "microns" || u == "micrometer" || u == "micrometre") u = "um";
    bool reciprocal = false;
    if (u.rfind("1/", 0) == 0) {
        reciprocal = true;
        u = u.substr(2);
    } else if (u.size() > 3 && u.compare(u.size() - 3, 3, "^-1") == 0) {
        reciprocal = true;
        u.resize(u.size() - 3);
    }
    // Size of the unit in nm.
    double nm = 0.0;
    if (u == "nm") nm = 1.0;
    else if (u == "a") nm = 0.1;
    else if (u == "pm") nm = 1e-3;
    else if (u == "um") nm = 1e3;
    else if (u == "mm") nm = 1e6;
    else if (u == "m") nm = 1e9;
    else return std::nullopt;
    Calibration c;
    c.reciprocal = reciprocal;
    c.perPixel = reciprocal ? scalePerPixel / nm : scalePerPixel * nm;
    return c;
}

Raster::Raster(int width, int height, PixelType type)
    : m_width(width), m_height(height), m_type(type),
      m_bytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * bytesPerPixel(type)) {}

double Raster::valueAt(std::size_t index) const {
    const unsigned char* p = m_bytes.data() + index * bytesPerPixel(m_type);
    switch (m_type) {
    case PixelType::UInt8: return *p;
    case PixelType::Int8: return static_cast<signed char>(*p);
    case PixelType::UInt16: return load<std::uint16_t>(p);
    case PixelType::Int16: return load<std::int16_t>(p);
    case PixelType::UInt32: return load<std::uint32_t>(p);
    case PixelType::Int32: return load<std::int32_t>(p);
    case PixelType::Float32: return load<float>(p);
    case PixelType::Float64: return load<double>(p);
    case PixelType::Rgb8: return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
    }
    return 0.0;
}

void Raster::setValue(int x, int y, double v) {
    const std::size_t index = static_cast<std::size_t>(y) * m_width + x;
    unsigned char* p = m_bytes.data() + index * bytesPerPixel(m_type);
    switch (m_type) {
    case PixelType::UInt8: store<std::uint8_t>(p, v); break;
    case PixelType::Int8: store<std::int8_t>(p, v); break;
    case PixelType::UInt16: store<std::uint16_t>(p, v); break;
    case PixelType::Int16: store<std::int16_t>(p, v); break;
    case PixelType::UInt32: store<std::uint32_t>(p, v); break;
    case PixelType::Int32: store<std::int32_t>(p, v); break;
    case PixelType::Float32: store<float>(p, v); break;
    case PixelType::Float64: store<double>(p, v); break;
    case PixelType::Rgb8:
        store<std::uint8_t>(p, v);
        p[1] = p[2] = p[0];
        break;
    }
}

std::vector<float> Raster::toFloats() const {
    const std::size_t n = static_cast<std::size_t>(m_width) * m_height;
    std::vector<float> out(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<float>(valueAt(i));
    return out;
}

namespace {

bool startsWith(const std::vector<unsigned char>& d, std::initializer_list<unsigned char> magic) {
    return d.size() >= magic.size() && std::equal(magic.begin(), magic.end(), d.begin());
}

std::string extensionOf(const std::string& path) {
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return lowerAscii(std::string_view(path).substr(dot + 1));
}

}  // namespace

ReadResult readImageFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return {std::nullopt, std::filesystem::exists(path, ec) ? path + " is not a file."
                                                                  : path + " does not exist.", false};
    }
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return {std::nullopt, "Cannot open " + path + ".", false};
    const std::streamoff size = in.tellg();
    if (size < 0) return {std::nullopt, "Cannot read " + path + ".", false};

    // The format is told from the first bytes, before anything of a large file is read.
    std::vector<unsigned char> data(static_cast<std::size_t>(std::min<std::streamoff>(size, 1024)));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size())))
        return {std::nullopt, "Cannot read " + path + ".", false};
    const std::string ext = extensionOf(path);
    ReadResult (*reader)(const unsigned char*, std::size_t) = nullptr;
    if (startsWith(data, {'I', 'I', 42, 0}) || startsWith(data, {'M', 'M', 0, 42}) ||
        startsWith(data, {'I', 'I', 43, 0}) || startsWith(data, {'M', 'M', 0, 43}))
        reader = readTiff;
    else if (startsWith(data, {0, 0, 0, 3}) || startsWith(data, {0, 0, 0, 4}))
        reader = readDm;
    else if ((data.size() > 211 && data[208] == 'M' && data[209] == 'A' && data[210] == 'P') ||
             ext == "mrc" || ext == "mrcs" || ext == "map" || ext == "ccp4" || ext == "st")
        reader = readMrc;
    else
        return {std::nullopt, path + " is not a Digital Micrograph, TIFF or MRC file.", false};

    // The largest image allowed, as float64, plus room for headers and tags.
    const std::streamoff limit = kMaxImagePixels * 8 + (std::streamoff{64} << 20);
    if (size > limit)
        return {std::nullopt,
                path + ": the file is " + std::to_string(size) + " bytes, beyond the " + std::to_string(limit) +
                    " bytes that an image within the limit of " + std::to_string(kMaxImagePixels) + " pixels takes.",
                true};
    data.resize(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(data.data()), size)) return {std::nullopt, "Cannot read " + path + ".", false};

    ReadResult result = reader(data.data(), data.size());
    if (!result.raster) result.error = path + ": " + result.error;
    return result;
}

}  // namespace saed::core
