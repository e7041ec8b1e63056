// SPDX-License-Identifier: BSD-3-Clause
// The image pipeline fed by an indexing run: the match of its rows and families against the
// spots of an image, read from the run's leading rows (never from the table's texts).
#pragma once

#include <cstddef>
#include <vector>

#include "analysis/imagepipeline.h"

namespace saed::indexing {
class IndexingOperations;
}  // namespace saed::indexing

namespace saed::analysis {

// What the match of a run needs, as copies another thread can work on: the cell, the allowed
// reflections, the number of groups, the leading rows and the families. Taking it costs no
// work per row of the run.
struct RunMatchInput {
    core::Cell cell;
    simulation::ExtinctionRule allowed;
    std::size_t groups = 0;
    std::vector<LeadingRow> leading;
    std::vector<indexing::SolutionFamily> families;

    // matchLeadingRows on these against `detected` spots of the image seen through `frame`.
    RunMatch match(const ImageFrame& frame, const std::vector<PixelPoint>& detected) const;
};

// The match input of the last run of `run`.
RunMatchInput lastRunMatchInput(const indexing::IndexingOperations& run);

// The match of the last run of `run` against an image, at once.
RunMatch matchLastRun(const indexing::IndexingOperations& run, const ImageFrame& frame,
                      const std::vector<PixelPoint>& detected);

}  // namespace saed::analysis
