// SPDX-License-Identifier: BSD-3-Clause
// Opening an image for measuring: readers, Qt's formats, the shown picture and the calibration.
#include "measure/imagefile.h"

#include <cmath>
#include <cstring>  // for memcpy
#include <new>      // for bad_alloc

#include <QCoreApplication>  // for translate
#include <QFileInfo>
#include <QImageReader>

#include "core/numbertext.h"
#include "model/mainmodel.h"

namespace saed::measure {

namespace {

// Qt refuses images above 128 MB unless told otherwise; 16384 x 16384 colour needs 1 GB as
// decoded, and a little more while converting.
constexpr int kQtAllocationLimitMb = 4096;

QString qs(const std::string& text) { return QString::fromStdString(text); }

LoadedImage readWithQt(const QString& path, const QString& readerError) {
    LoadedImage loaded;
    QImageReader::setAllocationLimit(kQtAllocationLimitMb);
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && !core::imageSizeAllowed(size.width(), size.height())) {
        loaded.tooLarge = size.width() >= 1 && size.height() >= 1;
        loaded.error = path + QStringLiteral(": ") + qs(core::imageSizeProblem(size.width(), size.height()));
        return loaded;
    }
    QImage image = reader.read();
    if (image.isNull()) {
        // Qt says only that it failed; a size it could tell beyond its limit means too large.
        if (size.isValid() && double(size.width()) * size.height() * 8 > kQtAllocationLimitMb * 1048576.0)
            loaded.tooLarge = true;
        loaded.error = readerError.isEmpty() ? reader.errorString() : readerError;
        return loaded;
    }
    loaded.raster = rasterFromImage(image);
    if (image.format() == QImage::Format_Grayscale16) {
        // Deep grey is shown with its own range stretched onto the screen's 8 bits.
        core::DisplaySettings stretch;
        const core::ValueRange range = core::valueExtremes(*loaded.raster);
        stretch.low = range.low;
        stretch.high = range.high > range.low ? range.high : range.low + 1.0;
        loaded.picture = displayImage(*loaded.raster, stretch);
    } else {
        loaded.picture = std::move(image);
    }
    return loaded;
}

}  // namespace

core::Raster rasterFromImage(const QImage& source) {
    const bool wide = source.format() == QImage::Format_Grayscale16;
    const bool grey = wide || source.allGray();
    const QImage image = source.convertToFormat(wide ? QImage::Format_Grayscale16
                                                : grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    const core::PixelType type = wide ? core::PixelType::UInt16 : grey ? core::PixelType::UInt8 : core::PixelType::Rgb8;
    core::Raster raster(image.width(), image.height(), type);
    const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * core::bytesPerPixel(type);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(raster.bytes().data() + rowBytes * static_cast<std::size_t>(y), image.constScanLine(y), rowBytes);
    return raster;
}

QImage displayImage(const core::Raster& raster, const core::DisplaySettings& settings) {
    const std::vector<std::uint8_t> grey = core::makeDisplay(raster, settings);
    QImage image(raster.width(), raster.height(), QImage::Format_Grayscale8);
    if (image.isNull()) throw std::bad_alloc();
    const auto width = static_cast<std::size_t>(raster.width());
    for (int y = 0; y < raster.height(); ++y)
        std::memcpy(image.scanLine(y), grey.data() + width * static_cast<std::size_t>(y), width);
    return image;
}

LoadedImage loadImage(const QString& path) {
    try {
        core::ReadResult read = core::readImageFile(QFileInfo(path).absoluteFilePath().toStdString());
        if (read.tooLarge) {
            // Refused before it was read: Qt is not asked to decode it after all.
            LoadedImage loaded;
            loaded.tooLarge = true;
            loaded.error = qs(read.error);
            return loaded;
        }
        if (!read.raster) {
            // Qt's TIFF plugin would print the TIFF library's own complaints before our message.
            core::silenceTiffLibraryMessages();
            return readWithQt(path, qs(read.error));
        }
        LoadedImage loaded;
        loaded.picture = displayImage(*read.raster, core::defaultDisplaySettings(*read.raster));
        loaded.raster = std::move(read.raster);
        return loaded;
    } catch (const std::bad_alloc&) {
        LoadedImage loaded;
        loaded.tooLarge = true;
        return loaded;
    }
}

bool writeCalibration(model::MainModel& model, const core::Calibration& calibration) {
    if (!calibration.reciprocal || !(calibration.perPixel > 0.0) || !std::isfinite(calibration.perPixel))
        return false;
    constexpr double kReadingPerNm = 10.0;
    model.setText1(model::Field::ScaleReading, qs(core::generalText(kReadingPerNm)));
    model.setText1(model::Field::ScaleLength, qs(core::generalText(kReadingPerNm / calibration.perPixel)));
    return true;
}

QString calibrationNote(const QString& name, double perPixel, const core::EllipticDistortion& distortion) {
    return QStringLiteral("%1（%2 1/nm/px，%3 %4，%5°）")
        .arg(name, qs(core::generalText(perPixel)),
             QCoreApplication::translate("saed::measure::ImageMeasurement", "椭圆畸变"),
             QString::number(distortion.ratio, 'f', 4), QString::number(distortion.angleDeg, 'f', 1));
}

void writeAutoPattern(model::MainModel& model, const AutoPattern& pattern) {
    for (int n = 0; n < 3; ++n) {
        const auto i = static_cast<std::size_t>(n);
        model.setText1(fieldNumber(model::Field::LengthR1, n), qs(core::generalText(pattern.lengthsPx[i])));
        model.setText1(fieldNumber(model::Field::SegmentsR1, n), QStringLiteral("1"));
        model.setText1(fieldNumber(model::Field::AngleR1R2, n), qs(core::generalText(pattern.anglesDeg[i])));
    }
}

}  // namespace saed::measure
