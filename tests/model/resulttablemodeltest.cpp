#include "model/resulttablemodel.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(table.columnCount(), 20);
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
    EXPECT_EQ(table.columnCount(), 20);  // the headers stay
}
