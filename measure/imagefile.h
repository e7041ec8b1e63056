// SPDX-License-Identifier: BSD-3-Clause
// Opening an image for measuring: the original values from the microscope readers or from
// Qt's own formats, the 8-bit picture shown for them, and the calibration written to the fields.
#pragma once

#include <optional>

#include <QImage>
#include <QString>

#include "core/imagedisplay.h"
#include "core/raster.h"
#include "measure/autopattern.h"

namespace saed::model {
class MainModel;
}  // namespace saed::model

namespace saed::measure {

struct LoadedImage {
    std::optional<core::Raster> raster;  // the values measured on
    QImage picture;                      // what is shown
    bool tooLarge = false;               // the file is an image, but too large to hold
    QString error;                       // why nothing was read (English, for the command line)
};

// Reads .dm3/.dm4, every TIFF and MRC through the program's readers, and everything else
// through Qt (whose pictures are shown as Qt decodes them). Images up to 16384 x 16384 and
// more are held; a null raster with `tooLarge` or `error` otherwise.
LoadedImage loadImage(const QString& path);

// A grey raster (8 or 16 bits) or an rgb8 raster of a picture Qt has decoded.
core::Raster rasterFromImage(const QImage& image);

// The 8-bit grey picture of `raster` under `settings`.
QImage displayImage(const core::Raster& raster, const core::DisplaySettings& settings);

// The scale bar that a reciprocal calibration stands for: 10 1/nm over its length in pixels.
// Writes "标尺示数" Text1(22) and "标尺测量" Text1(23); false (nothing written) for a
// real-space or unusable calibration.
bool writeCalibration(model::MainModel& model, const core::Calibration& calibration);

// A file's own camera constant further than this (relative) from a saved calibration's was
// recorded at another camera length or binning: the difference is told.
inline constexpr double kLargeCalibrationDifference = 0.02;

// How a report names the saved calibration that gave the scale bar and the distortion: its
// name, camera constant (1/nm per pixel) and distortion (axis ratio, major axis angle).
QString calibrationNote(const QString& name, double perPixel, const core::EllipticDistortion& distortion);

// Writes R1, R2, R3 of an automatic measurement: lengths in pixels to Text1(24..26), one
// segment each to Text1(30..32) and the angles to Text1(33..35).
void writeAutoPattern(model::MainModel& model, const AutoPattern& pattern);

}  // namespace saed::measure
