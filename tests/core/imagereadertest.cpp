// SPDX-License-Identifier: BSD-3-Clause
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/imagedisplay.h"
#include "core/raster.h"
#include "tools/imagewriters.h"

using namespace saed::core;
using saed::testing::Bytes;
using saed::testing::operator+;
using saed::testing::operator+=;

namespace {

const PixelType kAllTypes[] = {PixelType::UInt8,  PixelType::Int8,    PixelType::UInt16,
                               PixelType::Int16,  PixelType::UInt32,  PixelType::Int32,
                               PixelType::Float32, PixelType::Float64, PixelType::Rgb8};

bool isSigned(PixelType t) {
    return t == PixelType::Int8 || t == PixelType::Int16 || t == PixelType::Int32 || t == PixelType::Float32 ||
           t == PixelType::Float64;
}

// A 7 x 5 image whose every pixel differs; negative where the type allows, a fraction for floats,
// and values past 8 bits for the wider types, so a swapped byte, row or column shows.
Raster pattern(PixelType t) {
    Raster r(7, 5, t);
    const bool wide = t != PixelType::UInt8 && t != PixelType::Int8 && t != PixelType::Rgb8;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            double v = x + 10 * y + (isSigned(t) ? -20 : 0) + (wide ? 300 * y : 0);
            if (t == PixelType::Float32 || t == PixelType::Float64) v += 0.25;
            r.setValue(x, y, v);
        }
    if (t == PixelType::Rgb8) r.bytes()[3 * 8 + 2] = 200;   // one pixel not grey
    return r;
}

void expectSamePixels(const Raster& want, const ReadResult& got) {
    ASSERT_TRUE(got.raster) << got.error;
    const Raster& r = *got.raster;
    EXPECT_EQ(r.pixelType(), want.pixelType());
    ASSERT_EQ(r.width(), want.width());
    ASSERT_EQ(r.height(), want.height());
    EXPECT_EQ(r.bytes(), want.bytes());
}

std::string tempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("saed_imagetest_" + name)).string();
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

TEST(DmReaderTest, everyPixelTypeInBothVersionsAndByteOrdersSkippingTheThumbnail) {
    for (int version : {3, 4}) {
        for (bool little : {true, false}) {
            for (PixelType t : kAllTypes) {
                SCOPED_TRACE(std::string(pixelTypeName(t)) + " DM" + std::to_string(version) +
                             (little ? " little" : " big"));
                saed::testing::DmOptions o;
                o.version = version;
                o.little = little;
                o.thumbnailListed = version == 4;   // DM3 here: the thumbnail only by its place
                const Raster want = pattern(t);
                const Bytes file = saed::testing::DmWriter(o).write(want);
                expectSamePixels(want, readDm(file.data(), file.size()));
            }
        }
    }
}

TEST(DmReaderTest, calibrationIsConvertedToInverseNanometres) {
    struct Case {
        std::u16string units;
        float scale;
        double perPixel;
        bool reciprocal;
    };
    const Case cases[] = {{u"1/nm", 0.05f, 0.05, true},
                          {u"1/\u00c5", 0.004f, 0.04, true},   // 1/Å per pixel is ten times 1/nm
                          {u"nm", 0.5f, 0.5, false},
                          {u"\u00b5m", 0.002f, 2.0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.perPixel);
        saed::testing::DmOptions o;
        o.version = 4;
        o.calibration = saed::testing::DmCalibration{c.scale, c.units, 3.5f, -2.0f};
        const Bytes file = saed::testing::DmWriter(o).write(pattern(PixelType::UInt16));
        const ReadResult got = readDm(file.data(), file.size());
        ASSERT_TRUE(got.raster && got.raster->calibration) << got.error;
        const Calibration& cal = *got.raster->calibration;
        EXPECT_NEAR(cal.perPixel, c.perPixel, c.perPixel * 1e-6);
        EXPECT_EQ(cal.reciprocal, c.reciprocal);
        EXPECT_EQ(cal.originX, 3.5);
        EXPECT_EQ(cal.originY, -2.0);
    }
    // An unknown unit is no calibration rather than a wrong one.
    saed::testing::DmOptions o;
    o.calibration = saed::testing::DmCalibration{1.0f, u"eV", 0, 0};
    const Bytes file = saed::testing::DmWriter(o).write(pattern(PixelType::UInt16));
    const ReadResult got = readDm(file.data(), file.size());
    ASSERT_TRUE(got.raster);
    EXPECT_FALSE(got.raster->calibration);
}

TEST(DmReaderTest, damagedAndOversizedFilesGiveAMessage) {
    saed::testing::DmOptions o;
    o.calibration = saed::testing::DmCalibration{0.05f, u"1/nm", 0, 0};
    const Bytes file = saed::testing::DmWriter(o).write(pattern(PixelType::Float32));
    for (std::size_t n = 0; n < file.size(); ++n) {
        const ReadResult got = readDm(file.data(), n);
        EXPECT_FALSE(got.raster) << "cut at " << n;
        EXPECT_FALSE(got.error.empty());
    }
    // A 100000 x 100000 image is refused before anything is allocated for it.
    saed::testing::DmWriter w(o);
    const Bytes dims = w.group("Dimensions", w.number("", 3, 100000) + w.number("", 3, 100000), 2);
    const Bytes image = w.group("ImageData", w.data("Data", {20, 4, 4}, Bytes(8)) + w.number("DataType", 3, 10) + dims, 3);
    Bytes huge{0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1};
    huge += w.group("ImageList", w.group("", image, 1), 1);
    const ReadResult got = readDm(huge.data(), huge.size());
    EXPECT_FALSE(got.raster);
    EXPECT_NE(got.error.find("100000 x 100000 pixels, beyond the limit"), std::string::npos) << got.error;
}

TEST(MrcReaderTest, modesByteOrdersFirstSectionAndPixelSize) {
    const struct {
        int mode;
        PixelType type;
    } modes[] = {{0, PixelType::Int8}, {1, PixelType::Int16}, {2, PixelType::Float32},
                 {6, PixelType::UInt16}, {12, PixelType::Float32}};
    Raster values(7, 5, PixelType::Float64);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) values.setValue(x, y, x - 3 * y + (x == 2 ? 0.5 : 0.0));
    for (const auto& m : modes) {
        for (bool little : {true, false}) {
            SCOPED_TRACE(std::to_string(m.mode) + (little ? " little" : " big"));
            const Bytes file = saed::testing::writeMrc(values, m.mode, little, 1.5, 3);
            const ReadResult got = readMrc(file.data(), file.size());
            ASSERT_TRUE(got.raster) << got.error;
            EXPECT_EQ(got.raster->pixelType(), m.type);
            ASSERT_EQ(got.raster->width(), 7);
            ASSERT_EQ(got.raster->height(), 5);
            const bool fraction = m.mode == 2 || m.mode == 12;
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 7; ++x) {
                    double want = values.value(x, y);
                    if (!fraction) want = std::trunc(want);
                    if (m.mode == 6) want = static_cast<std::uint16_t>(static_cast<int>(want));
                    EXPECT_EQ(got.raster->value(x, y), want) << x << "," << y;
                }
            ASSERT_TRUE(got.raster->calibration);
            EXPECT_FALSE(got.raster->calibration->reciprocal);
            EXPECT_NEAR(got.raster->calibration->perPixel, 0.15, 1e-7);   // 1.5 Å
        }
    }
    const Bytes file = saed::testing::writeMrc(values, 2, true, 0.0);
    for (std::size_t n : {std::size_t{0}, std::size_t{1023}, file.size() - 1}) {
        const ReadResult got = readMrc(file.data(), n);
        EXPECT_FALSE(got.raster);
        EXPECT_FALSE(got.error.empty());
    }
    Bytes complex = file;
    complex[12] = 4;   // complex mode
    EXPECT_NE(readMrc(complex.data(), complex.size()).error.find("mode 4"), std::string::npos);
}

TEST(TiffReaderTest, stripsAndTilesOfEverySingleChannelTypeWithCalibration) {
    for (PixelType t : kAllTypes) {
        if (t == PixelType::Rgb8) continue;
        for (int tile : {0, 16}) {
            SCOPED_TRACE(std::string(pixelTypeName(t)) + (tile ? " tiled" : " strips"));
            Raster want(37, 21, t);   // not a multiple of the tile size
            for (int y = 0; y < 21; ++y)
                for (int x = 0; x < 37; ++x) want.setValue(x, y, (x * 7 + y * 3) % 100 + (isSigned(t) ? -50 : 0));
            want.calibration = calibrationFromUnit(0.025, "1/nm");
            want.calibration->originX = 18.5;
            const std::string path = tempPath("tiff.tif");
            std::string error;
            ASSERT_TRUE(writeTiff(path, want, error, tile)) << error;
            const ReadResult got = readImageFile(path);
            expectSamePixels(want, got);
            ASSERT_TRUE(got.raster->calibration);
            EXPECT_TRUE(got.raster->calibration->reciprocal);
            EXPECT_NEAR(got.raster->calibration->perPixel, 0.025, 1e-8);
            EXPECT_EQ(got.raster->calibration->originX, 18.5);
            std::remove(path.c_str());
        }
    }
}

TEST(ImageFileTest, choosesTheReaderByContentAndNamesTheFileOnFailure) {
    const Bytes dm = saed::testing::DmWriter({}).write(pattern(PixelType::Int16));
    const std::string path = tempPath("image.dat");   // the extension says nothing
    writeFile(path, dm);
    expectSamePixels(pattern(PixelType::Int16), readImageFile(path));

    writeFile(path, Bytes{'h', 'e', 'l', 'l', 'o'});
    ReadResult got = readImageFile(path);
    EXPECT_FALSE(got.raster);
    EXPECT_NE(got.error.find(path), std::string::npos);
    Bytes tiff{'I', 'I', 42, 0, 8, 0, 0, 0, 0xFF, 0xFF};   // a directory that is not there
    writeFile(path, tiff);
    got = readImageFile(path);
    EXPECT_FALSE(got.raster);
    EXPECT_NE(got.error.find(path), std::string::npos);
    std::remove(path.c_str());
    EXPECT_FALSE(readImageFile(tempPath("missing.dm3")).raster);
}

TEST(CalibrationTest, unitsOfFiles) {
    EXPECT_NEAR(calibrationFromUnit(0.1, "1/A")->perPixel, 1.0, 1e-12);
    EXPECT_NEAR(calibrationFromUnit(1e8, "1/m")->perPixel, 0.1, 1e-12);
    EXPECT_NEAR(calibrationFromUnit(2.0, "A^-1")->perPixel, 20.0, 1e-12);
    EXPECT_NEAR(calibrationFromUnit(2.0, "\xc3\x85")->perPixel, 0.2, 1e-12);   // Å, real space
    EXPECT_FALSE(calibrationFromUnit(2.0, "\xc3\x85")->reciprocal);
    EXPECT_FALSE(calibrationFromUnit(0.0, "1/nm"));
    EXPECT_FALSE(calibrationFromUnit(NAN, "1/nm"));
    EXPECT_FALSE(calibrationFromUnit(1.0, "pixel"));
}

TEST(ImageDisplayTest, percentileRangeMappingsAndNan) {
    // 1000 values 0..999 and one hot pixel: the 0.1 %..99.9 % range ignores the hot pixel.
    Raster r(1001, 1, PixelType::Float32);
    for (int x = 0; x < 1000; ++x) r.setValue(x, 0, x);
    r.setValue(1000, 0, 1e9);
    const DisplaySettings linear = defaultDisplaySettings(r);
    const auto shown = makeDisplay(r, linear);
    const ValueRange range = percentileRange(r, linear.lowPercent, linear.highPercent);
    EXPECT_EQ(range.low, 1.0);
    EXPECT_EQ(range.high, 999.0);
    EXPECT_EQ(shown[0], 0);
    EXPECT_EQ(shown[500], 128);   // (500 - 1) / 998 of 255
    EXPECT_EQ(shown[999], 255);
    EXPECT_EQ(shown[1000], 255);

    DisplaySettings log = linear;
    log.mapping = DisplayMapping::Logarithmic;
    log.low = 0;
    log.high = 1000;
    EXPECT_EQ(makeDisplay(r, log)[100], std::lround(255 * std::log1p(100.0) / std::log1p(1000.0)));
    DisplaySettings gamma = log;
    gamma.mapping = DisplayMapping::Gamma;
    gamma.gamma = 0.5;
    EXPECT_EQ(makeDisplay(r, gamma)[250], 128);   // sqrt(0.25) of 255

    r.setValue(0, 0, NAN);
    EXPECT_EQ(makeDisplay(r, linear)[0], 0);

    // 8-bit data keep their 0..255 range; signed 16-bit data go through the offset table.
    Raster bytes(2, 1, PixelType::UInt8);
    bytes.setValue(1, 0, 100);
    EXPECT_EQ(makeDisplay(bytes, defaultDisplaySettings(bytes))[1], 100);
    Raster shorts(3, 1, PixelType::Int16);
    shorts.setValue(0, 0, -1000);
    shorts.setValue(2, 0, 1000);
    DisplaySettings full;
    full.low = -1000;
    full.high = 1000;
    const auto s = makeDisplay(shorts, full);
    EXPECT_EQ(s[0], 0);
    EXPECT_EQ(s[1], 128);
    EXPECT_EQ(s[2], 255);
}
