#include "model/resulttablemodel.h"

#include <gtest/gtest.h>

#include <cmath>  // for isnan
#include <limits>

using saed::model::ResultTableModel;

namespace {

ResultTableModel::Row row(const char* label, const char* d1) {
    ResultTableModel::Row r;
    r.cells[0] = QString::fromUtf8(label);
    r.cells[13] = QString::fromUtf8(d1);
    return r;
}

QStringList labels(const ResultTableModel& table) {
    QStringList out;
    for (int r = 0; r < table.rowCount(); ++r) out << table.cell(r, 0);
    return out;
}

}  // namespace

TEST(ResultTableModelTest, headerClicksToggleOneDirectionForTheWholeTable) {
    ResultTableModel table;
    table.build({row("第001组", "0.5000000"), row("第002组", "0.7000000"), row("第003组", "0.6000000")});
    EXPECT_EQ(table.columnCount(), ResultTableModel::kAllColumns);
    EXPECT_FALSE(table.isSorted());
    table.sortBy(0, Qt::AscendingOrder);  // as after a run
    table.headerClicked(13);              // first click after a run: descending
    EXPECT_EQ(labels(table), (QStringList{QStringLiteral("第002组"), QStringLiteral("第003组"), QStringLiteral("第001组")}));
    table.headerClicked(13);
    EXPECT_EQ(table.sortDirection(), Qt::AscendingOrder);
    EXPECT_EQ(labels(table), (QStringList{QStringLiteral("第001组"), QStringLiteral("第003组"), QStringLiteral("第002组")}));
    table.headerClicked(0);  // another column continues the same toggle
    EXPECT_EQ(table.sortDirection(), Qt::DescendingOrder);
    EXPECT_EQ(labels(table).first(), QStringLiteral("第003组"));

    // Cell texts compare as text, and equal texts keep their order.
    ResultTableModel texts;
    texts.build({row("a", "10"), row("b", "9"), row("c", "10")});
    texts.sortBy(13, Qt::AscendingOrder);
    EXPECT_EQ(labels(texts), (QStringList{QStringLiteral("a"), QStringLiteral("c"), QStringLiteral("b")}));

    // A new build while sorting is on comes in sorted by the current setting.
    texts.sortBy(0, Qt::DescendingOrder);
    texts.build({row("x", "1"), row("z", "2"), row("y", "3")});
    EXPECT_EQ(labels(texts), (QStringList{QStringLiteral("z"), QStringLiteral("y"), QStringLiteral("x")}));
}

TEST(ResultTableModelTest, labelColoursAndClear) {
    ResultTableModel table;
    table.build({row("第001组", "1"), row("第002组", "2")});
    table.setAllLabelColors(QColor(225, 0, 0));
    table.setLabelColor(1, QColor(0, 0, 255));
    EXPECT_EQ(table.data(table.index(0, 0), Qt::ForegroundRole).value<QColor>(), QColor(225, 0, 0));
    EXPECT_EQ(table.data(table.index(1, 0), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    EXPECT_FALSE(table.data(table.index(1, 1), Qt::ForegroundRole).isValid());
    table.clearRows();
    EXPECT_EQ(table.rowCount(), 0);
    EXPECT_EQ(table.columnCount(), ResultTableModel::kAllColumns);  // the headers stay
}

// The zone, misfit and match columns of a run: the zone is g1 x g2 reduced, the misfit shown with three
// decimals once set, and both sort as numbers; rows given as texts leave them empty.
TEST(ResultTableModelTest, zoneAndMisfitColumns) {
    using saed::indexing::ResultRow;
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

    table.build({row("第001组", "0.5")});
    EXPECT_EQ(table.cell(0, ResultTableModel::kZoneColumn), QString());
    EXPECT_TRUE(std::isnan(table.misfit(0)));
}
