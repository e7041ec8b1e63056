// SPDX-License-Identifier: BSD-3-Clause
// A pattern for the tilt check read from an image file: the image identified against one phase,
// its candidates the solutions, with where the net's a and b (g1 and g2) point in the image.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QString>

#include "analysis/identifyrun.h"
#include "calculator/tiltcheck.h"
#include "core/raster.h"

namespace saed::app {

// The phase an image is identified against (see analysis::PatternPhase).
using analysis::PatternPhase;

struct ImagePattern {
    std::vector<calculator::IndexedSolution> rows;  // group: the candidate's rank
    std::array<double, 2> directionsDeg{};  // g1 and g2 in the image, degrees ccw from the right
};

// What identifying an image against one phase takes: the image read, the phase as a search
// wants it, and the calibration (the file's own, else the phase's).
struct ImagePatternRequest {
    core::Raster raster;
    analysis::IdentifyPhases phases;
    analysis::IdentifySettings settings;
};

// Reads the image at `path` to be identified against `phase`; no value, with `error` saying
// why, when the file gives no image.
std::optional<ImagePatternRequest> imagePatternRequest(const QString& path, const PatternPhase& phase, QString& error);

// The pattern that the identification `found` of the image at `path` against `phase` gives: no
// value, with `error` saying why (the spots, no zone of the phase fitting them), when it gives no
// solution.
std::optional<ImagePattern> imagePatternFrom(const analysis::ImageIdentification& found, const QString& path,
                                             const PatternPhase& phase, QString& error);

}  // namespace saed::app
