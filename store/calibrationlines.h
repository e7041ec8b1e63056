// SPDX-License-Identifier: BSD-3-Clause
// Saved calibrations: one microscope setting's camera constant and elliptical distortion with
// what it was measured on, and their line layout in the calibration store.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ellipticdistortion.h"

namespace saed::store {

struct SavedCalibration {
    std::string name;              // unique in the store; one line, no [ or ]
    std::string microscope;
    double voltageKv = 0;          // 0: not given
    double cameraLengthMm = 0;     // 0: not given
    double magnification = 0;      // 0: not given
    int binning = 1;
    double perPixel = 0;           // camera constant, 1/nm per (corrected) pixel
    double perPixelSigma = 0;
    core::EllipticDistortion distortion;
    double ratioSigma = 0;
    double angleSigmaDeg = 0;
    std::string date;              // local date and time, "YYYY-MM-DD HH:MM:SS"
    std::string standard;          // the phase the rings were read against
    std::string standardFile;      // the image of the standard

    bool operator==(const SavedCalibration&) const = default;
};

enum class NameProblem { None, Empty, BadCharacter, Blanks };

// Whether `name` can name a calibration: not empty, no line break, [, ] or =, no blanks at
// either end.
NameProblem calibrationNameProblem(std::string_view name);

// The store's lines: for each calibration "[name]" and one "key=value" line per field.
std::vector<std::string> calibrationLines(const std::vector<SavedCalibration>& calibrations);

// Reads the store's lines back; unknown keys are skipped, so that a later version's store still
// reads. No value, with `badLine` (1-based) set, for a line that is neither a section, a key nor
// empty, a number that does not read, a calibration without a positive camera constant or a
// repeated name.
std::optional<std::vector<SavedCalibration>> parseCalibrations(const std::vector<std::string>& lines, int& badLine);

// Removes the calibration's distortion from a vector measured on an image (pixels), in place.
inline void removeDistortion(const SavedCalibration& c, double& dx, double& dy) { c.distortion.correct(dx, dy); }

// Removes it from an image point seen from the pattern's centre: the point where it would lie
// without the distortion.
inline void removeDistortion(const SavedCalibration& c, double centreX, double centreY, double& x, double& y) {
    double dx = x - centreX, dy = y - centreY;
    c.distortion.correct(dx, dy);
    x = centreX + dx;
    y = centreY + dy;
}

}  // namespace saed::store
