// SPDX-License-Identifier: BSD-3-Clause
// The image pipeline fed by an indexing run: the match of its rows and families against the
// spots of an image, read from the run's numeric rows (never from the table's texts).
#pragma once

#include <vector>

#include "analysis/imagepipeline.h"

namespace saed::indexing {
class IndexingOperations;
}  // namespace saed::indexing
namespace saed::model {
class ResultTableModel;
}  // namespace saed::model

namespace saed::analysis {

// matchRun on the last run of `run`: its cell, reflections, misfits and families, and its rows
// as the run kept them or, when it keeps none, as `table` holds them.
RunMatch matchLastRun(const indexing::IndexingOperations& run, const model::ResultTableModel& table,
                      const ImageFrame& frame, const std::vector<PixelPoint>& detected);

}  // namespace saed::analysis
