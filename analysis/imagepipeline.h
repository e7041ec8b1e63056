// SPDX-License-Identifier: BSD-3-Clause
// The analysis pipeline on plain data: an image's raw values -> detected spots -> the direct
// beam and the measured R1, R2 on the image -> the match of each solution family of a run.
// The window and the command line both call it, so they give the same answer on the same input.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <utility>  // for pair
#include <vector>

#include "core/lattice.h"
#include "core/raster.h"
#include "indexing/indexingengine.h"
#include "indexing/solutionfamilies.h"
#include "measure/autopattern.h"
#include "measure/spots.h"
#include "simulation/spotmatch.h"
#include "simulation/zonepattern.h"

namespace saed::analysis {

using simulation::ImageFrame;
using simulation::PixelPoint;

// The centres of detected spots as image pixel points (Spot::centre each).
std::vector<PixelPoint> toPixelPoints(std::span<const measure::Spot> spots);

// The spots of `raster` found on its raw values (never on a display picture), direct beam
// included, in the order detectSpots gives them.
std::vector<PixelPoint> detectedSpots(const core::Raster& raster);

// The number of spot spacings a measured line spans: an integer from 1 to kMaxSegments; no value
// for anything else (0, negative, a fraction, not finite), which the callers refuse.
inline constexpr int kMaxSegments = 1'000'000;
std::optional<int> segmentCount(double n);

// The measured pattern on an image of `widthPx` x `heightPx`: R1 from the direct beam `centre`
// to `r1End` over `r1Segments` spacings, R2 to `r2End` over `r2Segments`. No value when a segment
// count is not one segmentCount() takes.
std::optional<ImageFrame> imageFrame(PixelPoint centre, PixelPoint r1End, double r1Segments, PixelPoint r2End,
                                     double r2Segments, int widthPx, int heightPx);

// The frame of an automatic measurement: R1 and R2 from the found centre, one spacing each.
ImageFrame imageFrame(const measure::AutoPattern& pattern, int widthPx, int heightPx);

// The most distinct (g1, g2) simulated to match one run against an image: the work stays
// bounded whatever the number of rows.
inline constexpr std::size_t kMatchedPairs = 400;

// The row of group g + 1 of a run (g = 0, 1, ...); no value where the rows are not at hand.
using RowOfGroup = std::function<std::optional<indexing::ResultRow>(std::size_t group)>;

struct RunMatch {
    std::vector<float> rowMatch;                     // by group - 1; NaN where not matched
    std::vector<std::optional<double>> familyMatch;  // by family id - 1: its representative's
};

// The match (0..1) of a run's rows against the detected spots of an image. The families'
// representatives come first (in the families' order), then the rows of least misfit, until
// kMatchedPairs distinct (g1, g2) are simulated; later rows stay unmatched. `groups` rows,
// `misfits` by group - 1, `allowed` the reflections of the run.
RunMatch matchRun(const core::Cell& cell, const simulation::ExtinctionRule& allowed, std::size_t groups,
                  const RowOfGroup& rowOfGroup, std::span<const double> misfits,
                  const indexing::FamilyGrouping& families, const ImageFrame& frame,
                  const std::vector<PixelPoint>& detected);

// A row of a run with its group - 1.
using LeadingRow = std::pair<std::size_t, indexing::ResultRow>;

// matchRun on the rows it would try, given in that order (`leading`: the families'
// representatives, then the rows of least misfit): the work does not grow with the run's
// `groups`, except for the result's one value per group.
RunMatch matchLeadingRows(const core::Cell& cell, const simulation::ExtinctionRule& allowed, std::size_t groups,
                          std::span<const LeadingRow> leading, std::span<const indexing::SolutionFamily> families,
                          const ImageFrame& frame, const std::vector<PixelPoint>& detected);

}  // namespace saed::analysis
