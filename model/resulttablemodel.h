// The result table: twenty columns of cell texts per accepted triple, label colours and sorting.
#pragma once

#include <array>
#include <vector>

#include <QAbstractTableModel>
#include <QColor>
#include <QString>

namespace saed::model {

class ResultTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kColumns = 20;

    // One row: the label cell (column 0) and sub-items 1 to 19, as shown.
    struct Row {
        std::array<QString, kColumns> cells;
        QColor labelColor;
    };

    // Header text, width (twips) and alignment of column c (0..19).
    static QString headerText(int c);
    static int columnWidthTwips(int c);
    static Qt::Alignment columnAlignment(int c);

    explicit ResultTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Removes every row; the columns stay as they are.
    void clearRows();
    // Removes columns and rows, adds the twenty columns and then `rows` in order. When sorting is
    // on, the rows are then ordered by the current key and direction, as an inserting list does.
    void build(std::vector<Row> rows);
    bool hasColumns() const { return m_hasColumns; }

    const Row& row(int r) const { return m_rows[static_cast<std::size_t>(r)]; }
    // Text of sub-item `subItem` (0 is the label) of row r.
    const QString& cell(int r, int subItem) const { return row(r).cells[static_cast<std::size_t>(subItem)]; }
    QColor labelColor(int r) const { return row(r).labelColor; }
    void setLabelColor(int r, const QColor& color);
    void setAllLabelColors(const QColor& color);

    // Sorting, one setting for the whole table: on/off, key column and direction.
    bool isSorted() const { return m_sorted; }
    int sortKey() const { return m_sortKey; }
    Qt::SortOrder sortDirection() const { return m_sortOrder; }
    // Turns sorting on with key `column` and direction `order`, and sorts by cell text.
    void sortBy(int column, Qt::SortOrder order);
    // A click on the header of `column`: sorting on, key `column`, the direction reversed.
    void headerClicked(int column);

private:
    void applySort();

    std::vector<Row> m_rows;
    bool m_hasColumns = false;
    bool m_sorted = false;
    int m_sortKey = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

}  // namespace saed::model
