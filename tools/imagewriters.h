// SPDX-License-Identifier: BSD-3-Clause
// Small writers of DM3/DM4 and MRC files laid out byte by byte from the format descriptions,
// for the reader tests and the fuzzing seeds.
#pragma once

#include <cmath>     // for frexp
#include <cstdint>
#include <optional>
#include <cstring>
#include <string>
#include <vector>

#include "core/raster.h"

namespace saed::testing {

using Bytes = std::vector<unsigned char>;

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
inline Bytes& operator+=(Bytes& a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline void putBe(Bytes& out, std::uint64_t v, int n) {
    for (int i = n - 1; i >= 0; --i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
inline void putOrdered(Bytes& out, std::uint64_t v, int n, bool little) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * (little ? i : n - 1 - i))));
}

struct DmCalibration {
    float scale = 0.0f;
    std::u16string units;
    float originX = 0.0f;
    float originY = 0.0f;
};

struct DmOptions {
    int version = 3;
    bool little = true;
    bool thumbnail = true;        // a small RGB image first, as the program that writes them does
    bool thumbnailListed = true;  // and named in the root's "Thumbnails" list
    std::optional<DmCalibration> calibration;
};

class DmWriter {
public:
    explicit DmWriter(const DmOptions& o) : m_o(o) {}

    Bytes write(const core::Raster& image) const {
        Bytes imageList;
        int count = 0;
        if (m_o.thumbnail) {
            core::Raster thumb(4, 3, core::PixelType::Rgb8);
            imageList += group("", imageGroup(thumb, std::nullopt), 1);
            ++count;
        }
        imageList += group("", imageGroup(image, m_o.calibration), 1);
        ++count;
        Bytes root = group("ImageList", imageList, count);
        int rootCount = 1;
        if (m_o.thumbnail && m_o.thumbnailListed) {
            root += group("Thumbnails", group("", number("ImageIndex", 3, 0), 1), 1);
            ++rootCount;
        }
        Bytes out;
        putBe(out, static_cast<std::uint64_t>(m_o.version), 4);
        putBe(out, root.size(), dm4() ? 8 : 4);
        putBe(out, m_o.little ? 1 : 0, 4);
        out.push_back(1);
        out.push_back(0);
        putBe(out, static_cast<std::uint64_t>(rootCount), dm4() ? 8 : 4);
        out += root;
        return out;
    }

    // One data tag of a simple type (2 int16 ... 7 float64) holding `value`.
    Bytes number(const std::string& label, int type, double value) const {
        Bytes v;
        switch (type) {
        case 3: putOrdered(v, static_cast<std::uint32_t>(static_cast<std::int32_t>(value)), 4, m_o.little); break;
        case 6: {
            const float f = static_cast<float>(value);
            std::uint32_t u;
            std::memcpy(&u, &f, 4);
            putOrdered(v, u, 4, m_o.little);
            break;
        }
        default: putOrdered(v, static_cast<std::uint64_t>(value), 2, m_o.little); break;
        }
        return data(label, {static_cast<std::uint64_t>(type)}, v);
    }

    Bytes data(const std::string& label, const std::vector<std::uint64_t>& info, const Bytes& value) const {
        Bytes body{'%', '%', '%', '%'};
        putBe(body, info.size(), dm4() ? 8 : 4);
        for (auto i : info) putBe(body, i, dm4() ? 8 : 4);
        body += value;
        return tag(21, label, body);
    }

    Bytes group(const std::string& label, const Bytes& children, int count) const {
        Bytes body{0, 0};
        putBe(body, static_cast<std::uint64_t>(count), dm4() ? 8 : 4);
        body += children;
        return tag(20, label, body);
    }

private:
    bool dm4() const { return m_o.version == 4; }

    Bytes tag(int kind, const std::string& label, const Bytes& body) const {
        Bytes out{static_cast<unsigned char>(kind)};
        putBe(out, label.size(), 2);
        out.insert(out.end(), label.begin(), label.end());
        if (dm4()) putBe(out, body.size(), 8);
        out += body;
        return out;
    }

    Bytes imageGroup(const core::Raster& image, const std::optional<DmCalibration>& cal) const {
        using core::PixelType;
        int code = 0, element = 0, size = 0;
        switch (image.pixelType()) {
        case PixelType::Int16: code = 1; element = 2; size = 2; break;
        case PixelType::Float32: code = 2; element = 6; size = 4; break;
        case PixelType::UInt8: code = 6; element = 10; size = 1; break;
        case PixelType::Int32: code = 7; element = 3; size = 4; break;
        case PixelType::Rgb8: code = 23; element = 5; size = 4; break;
        case PixelType::Int8: code = 9; element = 9; size = 1; break;
        case PixelType::UInt16: code = 10; element = 4; size = 2; break;
        case PixelType::UInt32: code = 11; element = 5; size = 4; break;
        case PixelType::Float64: code = 12; element = 7; size = 8; break;
        }
        Bytes pixels;
        const std::size_t n = static_cast<std::size_t>(image.width()) * image.height();
        const std::size_t bpp = core::bytesPerPixel(image.pixelType());
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned char* p = image.bytes().data() + i * bpp;
            std::uint64_t v = 0;
            if (image.pixelType() == PixelType::Rgb8) v = p[0] | p[1] << 8 | p[2] << 16;
            else std::memcpy(&v, p, bpp);   // the host is little-endian
            putOrdered(pixels, v, size, m_o.little);
        }
        Bytes children;
        int count = 3;
        if (cal) {
            Bytes units;
            for (char16_t c : cal->units) putOrdered(units, c, 2, m_o.little);
            Bytes x = number("Origin", 6, cal->originX) + number("Scale", 6, cal->scale) +
                      data("Units", {20, 4, cal->units.size()}, units);
            Bytes y = number("Origin", 6, cal->originY) + number("Scale", 6, cal->scale) +
                      data("Units", {20, 4, cal->units.size()}, units);
            children += group("Calibrations", group("Dimension", group("", x, 3) + group("", y, 3), 2), 1);
            ++count;
        }
        children += data("Data", {20, static_cast<std::uint64_t>(element), n}, pixels);
        children += number("DataType", 3, code);
        children += group("Dimensions", number("", 3, image.width()) + number("", 3, image.height()), 2);
        return group("ImageData", children, count);
    }

    DmOptions m_o;
};

// An MRC file of one section (or `sections` copies of it) in mode 0, 1, 2, 6 or 12, with the
// cell length giving `pixelA` Å per pixel (0: none).
inline Bytes writeMrc(const core::Raster& image, int mode, bool little, double pixelA, int sections = 1) {
    Bytes out;
    const auto w32 = [&](std::uint32_t v) { putOrdered(out, v, 4, little); };
    const auto f32 = [&](float f) {
        std::uint32_t u;
        std::memcpy(&u, &f, 4);
        w32(u);
    };
    w32(static_cast<std::uint32_t>(image.width()));
    w32(static_cast<std::uint32_t>(image.height()));
    w32(static_cast<std::uint32_t>(sections));
    w32(static_cast<std::uint32_t>(mode));
    for (int i = 0; i < 3; ++i) w32(0);   // start
    w32(static_cast<std::uint32_t>(image.width()));
    w32(static_cast<std::uint32_t>(image.height()));
    w32(static_cast<std::uint32_t>(sections));
    f32(static_cast<float>(pixelA * image.width()));
    f32(static_cast<float>(pixelA * image.height()));
    f32(static_cast<float>(pixelA * sections));
    while (out.size() < 1024) out.push_back(0);
    std::memcpy(out.data() + 208, "MAP ", 4);
    out[212] = out[213] = little ? 0x44 : 0x11;
    for (int s = 0; s < sections; ++s) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const double v = image.value(x, y);
                switch (mode) {
                case 0: out.push_back(static_cast<unsigned char>(static_cast<std::int8_t>(v))); break;
                case 1: putOrdered(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)), 2, little); break;
                case 6: putOrdered(out, static_cast<std::uint16_t>(static_cast<int>(v)), 2, little); break;
                case 2: f32(static_cast<float>(v)); break;
                case 12: {
                    // Half precision of small integers and halves: exact.
                    std::uint16_t h = 0;
                    if (v != 0.0) {
                        int e = 0;
                        const double m = std::frexp(std::abs(v), &e);   // v = m * 2^e, m in [0.5, 1)
                        h = static_cast<std::uint16_t>(((e + 14) << 10) | (static_cast<int>(m * 2048.0) & 0x3FF));
                        if (v < 0) h |= 0x8000;
                    }
                    putOrdered(out, h, 2, little);
                    break;
                }
                }
            }
        }
    }
    return out;
}

}  // namespace saed::testing
