// SPDX-License-Identifier: BSD-3-Clause
#include "analysis/runmatch.h"

#include "indexing/indexingoperations.h"

namespace saed::analysis {

static_assert(2 * kMatchedPairs <= indexing::IndexingOperations::kLeadingRows,
              "the run keeps every row of least misfit a match may try");

RunMatch RunMatchInput::match(const ImageFrame& frame, const std::vector<PixelPoint>& detected) const {
    return matchLeadingRows(cell, allowed, groups, leading, families, frame, detected);
}

RunMatchInput lastRunMatchInput(const indexing::IndexingOperations& run) {
    const indexing::IndexingInput& in = run.lastInput();
    return {in.cell, simulation::runRule(in.latticeType, in.rule), run.lastMisfits().size(), run.lastLeadingRows(),
            run.lastFamilies().families};
}

RunMatch matchLastRun(const indexing::IndexingOperations& run, const ImageFrame& frame,
                      const std::vector<PixelPoint>& detected) {
    return lastRunMatchInput(run).match(frame, detected);
}

}  // namespace saed::analysis
