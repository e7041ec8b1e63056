// SPDX-License-Identifier: BSD-3-Clause
// The result table: twenty columns per accepted triple, then the zone axis, the misfit and the
// match against the image, label
// colours and sorting. Rows of a run are kept as numbers and turned into text only for the cells
// asked for.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QAbstractTableModel>
#include <QColor>
#include <QCoreApplication>  // for translate
#include <QString>

#include "core/resultrow.h"

namespace saed::model {

class ResultTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The twenty columns of the table as reports and the re-screening read it.
    static constexpr int kColumns = 20;
    // After them: the zone axis [u v w] = g1 x g2 reduced, the misfit of the row and its match
    // against the image.
    static constexpr int kZoneColumn = 20;
    static constexpr int kMisfitColumn = 21;
    static constexpr int kMatchColumn = 22;
    static constexpr int kAllColumns = 23;
    // With four indices on (a hexagonal cell's run), one more column: R1, R2 and R3 as (h k i l);
    // the zone column then shows [U V T W]. Cells as files carry them keep three indices.
    static constexpr int kFourIndexColumn = 23;
    static QString doubleDiffractionMark() { return QStringLiteral(" ※"); }
    // The cell as files and tsv carry it, in the source language whatever the reader's: the label
    // "第001组" (with the double-diffraction mark) where the table may show "#001".
    static constexpr int kFileTextRole = Qt::UserRole + 1;
    static QString doubleDiffractionTip() {
        return QCoreApplication::translate(
            "saed::model::ResultTableModel",
            "※ 此行含有运动学禁止的衍射，它由同一晶带中两个允许衍射的二次衍射产生");
    }
    // The label cell as the table shows it: "第001组" in the reader's language, others unchanged.
    static QString shownGroupLabel(const QString& cellText);

    // Header text, width (twips) and alignment of column c (0..22).
    static QString headerText(int c);
    static int columnWidthTwips(int c);
    static Qt::Alignment columnAlignment(int c);

    explicit ResultTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Four indices on display for the rows now shown (the caller says whether their cell is
    // hexagonal): adds or removes the four-index column; cell() and files keep three indices.
    void setFourIndex(bool on);
    bool fourIndex() const { return m_fourIndex; }
    // R1, R2 and R3 of row r as "(h k i l)  (h k i l)  (h k i l)".
    QString fourIndexPlanes(int r) const;
    // The zone of row r as "[U V T W]".
    QString fourIndexZone(int r) const;

    // Removes every row; the columns stay as they are.
    void clearRows();
    // Removes columns and rows, adds the columns and then the rows of a run: row r is group r + 1,
    // with the label colour `labelColor`. When sorting is on, the rows are then ordered by the
    // current key and direction, as an inserting list does. Its cells read "第001组", the indices, "+", "＝", "◇", the spacings (7 decimals) and the
    // angles (4 decimals), exactly as the texts of core::resultCells.
    void buildResults(const std::vector<core::ResultRow>& rows, const QColor& labelColor);

    // The table's storage for the rows of a run, made away from the table (on a worker thread, so
    // that a run of millions of rows never holds the window up) and taken in by adoptRows.
    class PreparedRows;
    // The sort setting: on/off, key column and direction.
    struct SortSetting {
        bool sorted = false;
        int key = 0;
        Qt::SortOrder order = Qt::AscendingOrder;
    };
    SortSetting sortSetting() const { return {m_sorted, m_sortKey, m_sortOrder}; }
    // The rows as buildResults stores them, placed for the sort setting `sort` (read from the
    // table on its own thread), with the misfits and families by group as setSolutionData takes
    // them (other sizes are dropped). Touches no table: safe on any thread.
    static PreparedRows prepareRows(const std::vector<core::ResultRow>& rows, SortSetting sort,
                                    const std::vector<double>& misfitOfGroup = {},
                                    const std::vector<int>& familyOfGroup = {});
    // Removes columns and rows and shows the prepared rows with the label colour `labelColor`, in
    // one model reset without work per row (unless the sort setting changed since they were
    // prepared, when they are sorted again).
    void adoptRows(PreparedRows&& rows, const QColor& labelColor);
    bool hasColumns() const { return m_hasColumns; }

    // The misfit and family id of each row of the last buildResults, by group - 1; shown in the
    // misfit column and read by the families view. Sizes other than the row count are ignored.
    void setSolutionData(const std::vector<double>& misfitOfGroup, const std::vector<int>& familyOfGroup);
    // The match (0..1) of each row of the last buildResults against the image, by group - 1, NaN
    // for a row not matched; an empty list (no image) empties the column. Other sizes are ignored.
    void setMatchData(std::vector<float> matchOfGroup);
    // Match of row r; NaN when none was set.
    double match(int r) const;
    // Group number (1, 2, ...) of row r.
    int group(int r) const;
    // Zone axis of row r (g1 x g2 reduced).
    core::Uvw zone(int r) const;
    // Misfit of row r; NaN when none was set.
    double misfit(int r) const;
    // Family id of row r; 0 when none was set.
    int family(int r) const;
    // The row showing group `group`, -1 when there is none.
    int rowOfGroup(int group) const;
    // The planes, spacings (nm) and angles (degrees) of row r as the run computed them; none for
    // a row that does not exist.
    std::optional<core::ResultRow> resultRow(int r) const;

    // Text of sub-item `subItem` (0 is the label) of row r.
    QString cell(int r, int subItem) const;
    // True when row r uses a forbidden plane that appears by double diffraction; the
    // window marks its label (doubleDiffractionMark()) and explains it in a tooltip, while the
    // cell texts, and so the reports, stay as they are.
    bool usesDoubleDiffraction(int r) const;
    // The leading-number reading of that text (spacings and angles as shown, not as computed).
    double shownNumber(int r, int subItem) const;
    QColor labelColor(int r) const;
    void setLabelColor(int r, const QColor& color);
    void setAllLabelColors(const QColor& color);
    // Gives `color` to every row r for which pass(r) holds and returns their number; one
    // dataChanged for the label column.
    int setLabelColorWhere(const std::function<bool(int)>& pass, const QColor& color);

    // Sorting, one setting for the whole table: on/off, key column and direction.
    bool isSorted() const { return m_sorted; }
    int sortKey() const { return m_sortKey; }
    Qt::SortOrder sortDirection() const { return m_sortOrder; }
    // Turns sorting on with key `column` and direction `order`, and sorts by cell text.
    void sortBy(int column, Qt::SortOrder order);
    // A click on the header of `column`: sorting on, key `column`, the direction reversed.
    void headerClicked(int column);

private:
    // A row of a run: the nine indices, the group number, the label colour (an entry of
    // m_palette) and the spacings and angles as entries of the value tables.
    struct NumericRow {
        std::array<std::int16_t, 9> hkl;
        std::uint8_t color;
        bool doubleDiffraction;  // a plane of the row appears only by double diffraction
        std::int32_t group;
        std::array<std::uint32_t, 6> value;  // d1, d2, d3 in m_spacings; angles in m_angles
        std::array<std::int16_t, 3> zone;
    };
    // The distinct spacings or angles of a run; their texts and the numbers those texts read
    // back as are made when first asked for.
    struct ValueColumn {
        std::vector<double> values;
        mutable std::vector<QString> texts;
        mutable std::vector<double> shown;
        std::string (*format)(double) = nullptr;

        const QString& text(std::uint32_t id) const;
        double shownNumber(std::uint32_t id) const;
        void clear();
    };

    int size() const;
    std::uint8_t paletteIndex(const QColor& color);
    void applySort();
    bool sortByLabelOrder(bool ascending);
    void moveRows(std::vector<std::uint32_t> place);
    std::vector<std::uint64_t> sortKeys() const;

    std::vector<NumericRow> m_results;   // rows of the run, in table order
    ValueColumn m_spacings;
    ValueColumn m_angles;
    std::vector<QColor> m_palette;
    std::vector<float> m_misfitOfGroup;  // by group - 1
    std::vector<int> m_familyOfGroup;
    std::vector<float> m_matchOfGroup;   // by group - 1; empty without an image
    bool m_hasColumns = false;
    bool m_fourIndex = false;
    bool m_sorted = false;
    int m_sortKey = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;

public:
    class PreparedRows {
    public:
        std::size_t size() const { return m_results.size(); }

    private:
        friend class ResultTableModel;
        std::vector<NumericRow> m_results;
        std::vector<double> m_spacings;
        std::vector<double> m_angles;
        std::vector<float> m_misfitOfGroup;
        std::vector<int> m_familyOfGroup;
        bool m_sorted = false;
        int m_sortKey = 0;
        Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    };
};

}  // namespace saed::model
