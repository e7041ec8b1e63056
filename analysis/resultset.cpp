// SPDX-License-Identifier: BSD-3-Clause
#include "analysis/resultset.h"

#include "indexing/indexingoperations.h"
#include "model/mainmodel.h"
#include "model/resulttablemodel.h"

namespace saed::analysis {

CurrentResults currentResults(const model::MainModel& model, const indexing::IndexingOperations& run, int shownGroup) {
    using model::Field;
    CurrentResults current;
    ResultSet& set = current.set;
    set.cell = {model.value(Field::A),     model.value(Field::B),    model.value(Field::C),
                model.value(Field::Alpha), model.value(Field::Beta), model.value(Field::Gamma)};
    set.type = model.Combo1();
    set.phase = model.Text6().trimmed();
    if (!model.spaceGroupText().isEmpty()) set.phase += QStringLiteral(" (%1)").arg(model.spaceGroupText());
    if (core::isLatticeCentring(set.type))
        set.rule = std::make_shared<core::LatticeTypeRule>(set.type);
    else if (set.type == core::LatticeType::SpaceGroup)
        set.rule = model.spaceGroupRule();
    const model::ResultTableModel& table = *model.resultTable();
    const std::vector<int>& familyOfRow = run.lastFamilies().familyOfRow;
    for (int r = 0; r < table.rowCount(); ++r) {
        const std::optional<core::ResultRow> row = table.resultRow(r);
        if (!row) continue;
        const int group = table.group(r);
        const auto g = static_cast<std::size_t>(group - 1);
        if (group == shownGroup) current.selected = set.rows.size();
        set.rows.push_back({group, g < familyOfRow.size() ? familyOfRow[g] : 0, row->g1, row->g2,
                            core::ZoneAxis(row->g1, row->g2), 0});
    }
    return current;
}

}  // namespace saed::analysis
