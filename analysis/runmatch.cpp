// SPDX-License-Identifier: BSD-3-Clause
#include "analysis/runmatch.h"

#include "indexing/indexingoperations.h"
#include "model/resulttablemodel.h"

namespace saed::analysis {

RunMatch matchLastRun(const indexing::IndexingOperations& run, const model::ResultTableModel& table,
                      const ImageFrame& frame, const std::vector<PixelPoint>& detected) {
    const indexing::IndexingInput& in = run.lastInput();
    const std::vector<double>& misfits = run.lastMisfits();
    const std::size_t groups = misfits.size();
    const std::vector<indexing::ResultRow>& kept = run.lastRows();
    std::vector<int> tableRowOfGroup;
    if (kept.size() != groups) {
        tableRowOfGroup.assign(groups, -1);
        for (int r = 0; r < table.rowCount(); ++r) {
            const auto g = static_cast<std::size_t>(table.group(r) - 1);
            if (g < groups) tableRowOfGroup[g] = r;
        }
    }
    const RowOfGroup rowOfGroup = [&](std::size_t g) -> std::optional<indexing::ResultRow> {
        if (kept.size() == groups) return kept[g];
        return tableRowOfGroup[g] >= 0 ? table.resultRow(tableRowOfGroup[g]) : std::nullopt;
    };
    return matchRun(in.cell, simulation::runRule(in.latticeType, in.rule), groups, rowOfGroup, misfits,
                    run.lastFamilies(), frame, detected);
}

}  // namespace saed::analysis
