// SPDX-License-Identifier: BSD-3-Clause
#include "analysis/resultset.h"
#include "analysis/identifyrun.h"

#include <gtest/gtest.h>

#include "indexing/indexingoperations.h"
#include "model/mainmodel.h"
#include "model/resulttablemodel.h"
#include "model/scriptedprompts.h"
#include "tests/indexing/indexingtestdata.h"

using saed::core::LatticeType;

TEST(ResultSetTest, theTableRowsWithTheirFamiliesRuleAndShownRow) {
    saed::model::MainModel model;
    saed::model::ScriptedPrompts prompts;
    saed::indexing::IndexingOperations run(model, prompts);
    saed::testdata::fillCubicExample(model);
    model.setText6(QStringLiteral("立方"));
    run.RunIndexing();
    saed::model::ResultTableModel& table = *model.resultTable();
    ASSERT_GT(table.rowCount(), 2);

    // The table sorted by another column: the set follows the table's order, groups and all.
    table.sortBy(1, Qt::DescendingOrder);
    ASSERT_NE(table.group(0), 1);
    const int shown = table.group(2);
    const auto [set, selected] = saed::analysis::currentResults(model, run, shown);
    EXPECT_EQ(set.cell, (saed::core::Cell{0.5, 0.5, 0.5, 90, 90, 90}));
    EXPECT_EQ(set.type, LatticeType::Simple);
    EXPECT_EQ(set.phase, QStringLiteral("立方"));
    ASSERT_EQ(set.rows.size(), static_cast<std::size_t>(table.rowCount()));
    EXPECT_EQ(selected, 2u);
    const std::vector<int>& families = run.lastFamilies().familyOfRow;
    for (int r = 0; r < table.rowCount(); ++r) {
        SCOPED_TRACE(r);
        const auto& row = set.rows[static_cast<std::size_t>(r)];
        const auto tableRow = table.resultRow(r);
        ASSERT_TRUE(tableRow);
        EXPECT_EQ(row.group, table.group(r));
        EXPECT_EQ(row.g1, tableRow->g1);
        EXPECT_EQ(row.g2, tableRow->g2);
        EXPECT_EQ(row.zone, saed::core::ZoneAxis(tableRow->g1, tableRow->g2));
        EXPECT_EQ(row.family, families.at(static_cast<std::size_t>(row.group - 1)));
    }
    ASSERT_TRUE(set.rule);
    EXPECT_TRUE(set.rule->admits({1, 0, 0}));

    // The rule follows the lattice type; the space-group entry takes the phase's group, none
    // without one; no row shown selects none.
    model.setCombo1(LatticeType::FaceCentred);
    const auto faceCentred = saed::analysis::currentResults(model, run, 0);
    ASSERT_TRUE(faceCentred.set.rule);
    EXPECT_FALSE(faceCentred.set.rule->admits({1, 0, 0}));
    EXPECT_TRUE(faceCentred.set.rule->admits({2, 0, 0}));
    EXPECT_FALSE(faceCentred.selected);
    model.setCombo1(LatticeType::SpaceGroup);
    EXPECT_FALSE(saed::analysis::currentResults(model, run, shown).set.rule);
}

TEST(ResultSetTest, theLatticeFieldsPhaseForAnImageOfTheTiltCheck) {
    saed::model::MainModel model;
    saed::testdata::fillCubicExample(model);
    model.setText6(QStringLiteral("立方"));
    model.setCombo1(LatticeType::BodyCentred);
    const auto phase = saed::analysis::latticeFieldsPhase(model);
    ASSERT_TRUE(phase);
    EXPECT_EQ(phase->latticeType, LatticeType::BodyCentred);
    EXPECT_EQ(phase->phase.cell, (saed::core::Cell{0.5, 0.5, 0.5, 90, 90, 90}));
    EXPECT_EQ(phase->phase.name, "立方");
    // 标尺示数 2 over 标尺测量 100 px.
    ASSERT_TRUE(phase->calibration);
    EXPECT_DOUBLE_EQ(*phase->calibration, 0.02);
    model.setText1(saed::model::Field::B, QStringLiteral("0"));
    EXPECT_FALSE(saed::analysis::latticeFieldsPhase(model));
}
