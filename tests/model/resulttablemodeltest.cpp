// SPDX-License-Identifier: BSD-3-Clause
#include "model/resulttablemodel.h"

#include <gtest/gtest.h>

#include <cmath>  // for isnan
#include <limits>

using saed::model::ResultTableModel;

namespace {

using saed::core::ResultRow;

// A row of a run whose d1 is `d1` nm; the other numbers do not matter here.
ResultRow row(double d1) {
    return ResultRow{{1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {d1, 0.5, 0.35}, {90, 45, 45}};
}

QStringList labels(const ResultTableModel& table) {
    QStringList out;
    for (int r = 0; r < table.rowCount(); ++r) out << table.cell(r, 0);
    return out;
}

QStringList groups(std::initializer_list<const char*> numbers) {
    QStringList out;
    for (const char* n : numbers) out << QStringLiteral("第%1组").arg(QLatin1String(n));
    return out;
}

}  // namespace

TEST(ResultTableModelTest, headerClicksToggleOneDirectionForTheWholeTable) {
    ResultTableModel table;
    EXPECT_EQ(table.columnCount(), 0);  // no columns before the first run
    table.buildResults({row(0.5), row(0.7), row(0.6)}, QColor(225, 0, 0));
    EXPECT_EQ(table.columnCount(), ResultTableModel::kAllColumns);
    EXPECT_FALSE(table.isSorted());
    table.sortBy(0, Qt::AscendingOrder);  // as after a run
    table.headerClicked(13);              // first click after a run: descending
    EXPECT_EQ(labels(table), groups({"002", "003", "001"}));
    table.headerClicked(13);
    EXPECT_EQ(table.sortDirection(), Qt::AscendingOrder);
    EXPECT_EQ(labels(table), groups({"001", "003", "002"}));
    table.headerClicked(0);  // another column continues the same toggle
    EXPECT_EQ(table.sortDirection(), Qt::DescendingOrder);
    EXPECT_EQ(labels(table), groups({"003", "002", "001"}));

    // Spacings compare as their texts ("10.0000000" before "9.0000000"), and equal texts keep
    // their order (here the descending labels the new run came in with).
    table.buildResults({row(10), row(9), row(10)}, QColor(225, 0, 0));
    EXPECT_EQ(labels(table), groups({"003", "002", "001"}));
    table.sortBy(13, Qt::AscendingOrder);
    EXPECT_EQ(labels(table), groups({"003", "001", "002"}));
    EXPECT_DOUBLE_EQ(table.shownNumber(2, 13), 9.0);

    // A new run while sorting is on comes in sorted by the current setting.
    table.buildResults({row(3), row(1), row(2)}, QColor(225, 0, 0));
    EXPECT_EQ(labels(table), groups({"002", "003", "001"}));
    table.sortBy(0, Qt::DescendingOrder);
    table.buildResults({row(1), row(2), row(3)}, QColor(225, 0, 0));
    EXPECT_EQ(labels(table), groups({"003", "002", "001"}));
    EXPECT_EQ(table.rowOfGroup(3), 0);
    EXPECT_EQ(table.rowOfGroup(4), -1);
}

TEST(ResultTableModelTest, labelColoursAndClear) {
    ResultTableModel table;
    table.buildResults({row(1), row(2)}, QColor(0, 128, 0));
    EXPECT_EQ(table.labelColor(1), QColor(0, 128, 0));
    table.setAllLabelColors(QColor(225, 0, 0));
    table.setLabelColor(1, QColor(0, 0, 255));
    EXPECT_EQ(table.data(table.index(0, 0), Qt::ForegroundRole).value<QColor>(), QColor(225, 0, 0));
    EXPECT_EQ(table.data(table.index(1, 0), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    EXPECT_FALSE(table.data(table.index(1, 1), Qt::ForegroundRole).isValid());
    EXPECT_EQ(table.setLabelColorWhere([](int r) { return r == 0; }, QColor(0, 0, 255)), 1);
    EXPECT_EQ(table.labelColor(0), QColor(0, 0, 255));
    table.clearRows();
    EXPECT_EQ(table.rowCount(), 0);
    EXPECT_FALSE(table.resultRow(0));
    EXPECT_EQ(table.columnCount(), ResultTableModel::kAllColumns);  // the headers stay
}

// The zone, misfit and match columns of a run: the zone is g1 x g2 reduced, the misfit shown with three
// decimals once set, and both sort as numbers; a new run starts without them.
TEST(ResultTableModelTest, zoneAndMisfitColumns) {
    ResultRow a{{1, 1, -1}, {2, 0, 0}, {3, 1, -1}, {0.2338, 0.2025, 0.1221}, {54.7, 25.2, 29.5}};
    ResultRow b{{0, 2, 0}, {0, 0, 2}, {0, 2, 2}, {0.2025, 0.2025, 0.1432}, {90, 45, 45}};
    ResultTableModel table;
    table.buildResults({a, b}, QColor(225, 0, 0));
    ASSERT_EQ(table.columnCount(), ResultTableModel::kAllColumns);
    EXPECT_EQ(ResultTableModel::headerText(ResultTableModel::kZoneColumn), QStringLiteral("晶带轴"));
    EXPECT_TRUE(table.headerData(ResultTableModel::kMisfitColumn, Qt::Horizontal, Qt::ToolTipRole)
                    .toString().contains(QStringLiteral("/ 6")));
    // (1 1 -1) x (2 0 0) = (0 -2 -2) -> [0 -1 -1]; (0 2 0) x (0 0 2) = (4 0 0) -> [1 0 0].
    EXPECT_EQ(table.cell(0, ResultTableModel::kZoneColumn), QStringLiteral("[0 -1 -1]"));
    EXPECT_EQ(table.cell(1, ResultTableModel::kZoneColumn), QStringLiteral("[1 0 0]"));
    EXPECT_EQ(table.cell(0, ResultTableModel::kMisfitColumn), QString());
    EXPECT_EQ(table.family(0), 0);

    table.setSolutionData({0.8125, 0.0625}, {2, 1});
    EXPECT_EQ(table.cell(0, ResultTableModel::kMisfitColumn), QStringLiteral("0.813"));
    EXPECT_EQ(table.family(1), 1);
    table.sortBy(ResultTableModel::kMisfitColumn, Qt::AscendingOrder);
    EXPECT_EQ(labels(table), (QStringList{QStringLiteral("第002组"), QStringLiteral("第001组")}));
    EXPECT_EQ(table.rowOfGroup(1), 1);
    EXPECT_DOUBLE_EQ(table.misfit(1), 0.8125);  // the misfit goes with its row
    table.sortBy(ResultTableModel::kZoneColumn, Qt::AscendingOrder);
    EXPECT_EQ(table.cell(0, ResultTableModel::kZoneColumn), QStringLiteral("[0 -1 -1]"));
    // A wrong-sized list is ignored rather than shifting misfits onto other rows.
    table.setSolutionData({1.0}, {1});
    EXPECT_DOUBLE_EQ(table.misfit(table.rowOfGroup(2)), 0.0625);

    // The match: empty until set, three decimals, rows without one last in both directions,
    // re-sorted when new matches come while the table is sorted by them.
    EXPECT_EQ(table.cell(0, ResultTableModel::kMatchColumn), QString());
    table.sortBy(ResultTableModel::kMatchColumn, Qt::AscendingOrder);
    table.setMatchData({std::numeric_limits<float>::quiet_NaN(), 0.4375f});
    EXPECT_EQ(labels(table), (QStringList{QStringLiteral("第002组"), QStringLiteral("第001组")}));
    EXPECT_EQ(table.cell(0, ResultTableModel::kMatchColumn), QStringLiteral("0.438"));
    EXPECT_EQ(table.cell(1, ResultTableModel::kMatchColumn), QString());
    table.headerClicked(ResultTableModel::kMatchColumn);
    EXPECT_EQ(labels(table), (QStringList{QStringLiteral("第002组"), QStringLiteral("第001组")}));
    table.setMatchData({0.875f, 0.4375f});
    EXPECT_EQ(labels(table), (QStringList{QStringLiteral("第001组"), QStringLiteral("第002组")}));
    table.setMatchData({0.5f});  // wrong size: ignored
    EXPECT_DOUBLE_EQ(table.match(0), 0.875);
    table.setMatchData({});
    EXPECT_EQ(table.cell(0, ResultTableModel::kMatchColumn), QString());

    table.buildResults({b}, QColor(225, 0, 0));
    EXPECT_EQ(table.cell(0, ResultTableModel::kMatchColumn), QString());
    EXPECT_TRUE(std::isnan(table.misfit(0)));
    EXPECT_EQ(table.family(0), 0);
}

// The four-index column comes and goes with the setting, also when set before the first run,
// and sorts by R1's indices as numbers.
TEST(ResultTableModelTest, fourIndexColumnShowsHexagonalRowsAndSorts) {
    ResultTableModel table;
    table.setFourIndex(true);
    EXPECT_EQ(table.columnCount(), 0);
    saed::core::ResultRow a, b;
    a.g1 = {1, 0, 0};
    a.g2 = {0, 0, 2};
    a.g3 = {1, 0, 2};
    b.g1 = {-1, 1, 0};
    b.g2 = {0, 0, 2};
    b.g3 = {-1, 1, 2};
    for (auto* row : {&a, &b}) {
        row->spacingNm = {0.27794, 0.26054, 0.19008};
        row->angleDeg = {90, 43.15, 46.85};
    }
    table.buildResults({a, b}, Qt::red);
    ASSERT_EQ(table.columnCount(), ResultTableModel::kAllColumns + 1);
    EXPECT_EQ(table.data(table.index(0, ResultTableModel::kFourIndexColumn)).toString(),
              QStringLiteral("(1 0 -1 0)  (0 0 0 2)  (1 0 -1 2)"));
    EXPECT_EQ(table.data(table.index(1, ResultTableModel::kZoneColumn)).toString(), QStringLiteral("[1 1 -2 0]"));
    EXPECT_EQ(table.cell(1, ResultTableModel::kZoneColumn), QStringLiteral("[1 1 0]"));
    table.sortBy(ResultTableModel::kFourIndexColumn, Qt::AscendingOrder);
    EXPECT_EQ(table.group(0), 2);  // h = -1 before h = 1
    table.setFourIndex(false);
    EXPECT_EQ(table.columnCount(), ResultTableModel::kAllColumns);
    EXPECT_EQ(table.data(table.index(1, ResultTableModel::kZoneColumn)).toString(), QStringLiteral("[0 -1 0]"));
}

// Rows prepared away from the table (as a run on the worker does) show as buildResults and
// setSolutionData show them, in the order of the sort setting they were prepared for; a setting
// changed in the meantime sorts them again.
TEST(ResultTableModelTest, preparedRowsAreTheBuiltRowsInTheirPlaces) {
    const std::vector<ResultRow> rows{row(0.5), row(0.7), row(0.6), row(0.7)};
    const std::vector<double> misfits{0.25, 2.5, 0.125, 1.0};
    const std::vector<int> families{1, 2, 1, 2};
    ResultTableModel built, adopted;
    for (ResultTableModel* t : {&built, &adopted}) t->sortBy(ResultTableModel::kMisfitColumn, Qt::DescendingOrder);
    built.buildResults(rows, QColor(225, 0, 0));
    built.setSolutionData(misfits, families);
    adopted.adoptRows(ResultTableModel::prepareRows(rows, adopted.sortSetting(), misfits, families), QColor(225, 0, 0));
    EXPECT_EQ(labels(adopted), groups({"002", "004", "001", "003"}));
    EXPECT_EQ(labels(adopted), labels(built));
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < ResultTableModel::kAllColumns; ++c) EXPECT_EQ(adopted.cell(r, c), built.cell(r, c));
        EXPECT_EQ(adopted.family(r), built.family(r));
        EXPECT_EQ(adopted.labelColor(r), QColor(225, 0, 0));
    }

    // Prepared for the label order, taken in while the table is sorted by d1 ascending.
    ResultTableModel::PreparedRows byLabel =
        ResultTableModel::prepareRows(rows, {true, 0, Qt::AscendingOrder}, misfits, families);
    adopted.sortBy(13, Qt::AscendingOrder);
    adopted.adoptRows(std::move(byLabel), QColor(225, 0, 0));
    EXPECT_EQ(labels(adopted), groups({"001", "003", "002", "004"}));
    EXPECT_DOUBLE_EQ(adopted.misfit(2), 2.5);
    // Misfits of another size are dropped, not shifted onto other rows.
    adopted.adoptRows(ResultTableModel::prepareRows(rows, adopted.sortSetting(), {1.0}, {1}), QColor(225, 0, 0));
    EXPECT_TRUE(std::isnan(adopted.misfit(0)));
}
