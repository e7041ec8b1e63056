#include "model/resulttablemodel.h"

#include <algorithm>
#include <numeric>  // for iota
#include <cassert>

namespace saed::model {

namespace {

struct ColumnSpec {
    const char16_t* header;
    int widthTwips;
    Qt::Alignment alignment;
};

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr Qt::Alignment kCentre = Qt::AlignCenter;

const ColumnSpec kColumnSpecs[ResultTableModel::kColumns] = {
    {u"组号", 1020, kLeft},     {u" ", 443, kRight},     {u"R1", 443, kRight},
    {u" ", 443, kRight},        {u" ", 353, kCentre},    {u" ", 443, kRight},
    {u"R2", 443, kRight},       {u" ", 443, kRight},     {u" ", 353, kCentre},
    {u" ", 443, kRight},        {u"R3", 443, kRight},    {u" ", 443, kRight},
    {u" ", 353, kCentre},       {u"d1", 1050, kCentre},  {u"d2", 1050, kCentre},
    {u"d3", 1050, kCentre},     {u" ", 353, kCentre},    {u"<R1,R2>", 942, kCentre},
    {u"<R2,R3>", 942, kCentre}, {u"<R1,R3>", 942, kCentre},
};

}  // namespace

QString ResultTableModel::headerText(int c) {
    assert(c >= 0 && c < kColumns);
    return QString::fromUtf16(kColumnSpecs[c].header);
}

int ResultTableModel::columnWidthTwips(int c) {
    assert(c >= 0 && c < kColumns);
    return kColumnSpecs[c].widthTwips;
}

Qt::Alignment ResultTableModel::columnAlignment(int c) {
    assert(c >= 0 && c < kColumns);
    return kColumnSpecs[c].alignment;
}

ResultTableModel::ResultTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int ResultTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
    return (parent.isValid() || !m_hasColumns) ? 0 : kColumns;
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Row& r = m_rows[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return r.cells[static_cast<std::size_t>(index.column())];
    case Qt::ForegroundRole:
        if (index.column() == 0 && r.labelColor.isValid()) return r.labelColor;
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columnAlignment(index.column()));
    default:
        return {};
    }
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return headerText(section);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(columnAlignment(section));
    return {};
}

void ResultTableModel::clearRows() {
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void ResultTableModel::build(std::vector<Row> rows) {
    beginResetModel();
    m_hasColumns = true;
    m_rows = std::move(rows);
    if (m_sorted) applySort();
    endResetModel();
}

void ResultTableModel::setLabelColor(int r, const QColor& color) {
    Row& target = m_rows[static_cast<std::size_t>(r)];
    if (target.labelColor == color) return;
    target.labelColor = color;
    const QModelIndex cellIndex = index(r, 0);
    emit dataChanged(cellIndex, cellIndex, {Qt::ForegroundRole});
}

void ResultTableModel::setAllLabelColors(const QColor& color) {
    if (m_rows.empty()) return;
    for (Row& r : m_rows) r.labelColor = color;
    emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::ForegroundRole});
}

void ResultTableModel::sortBy(int column, Qt::SortOrder order) {
    assert(column >= 0 && column < kColumns);
    m_sorted = true;
    m_sortKey = column;
    m_sortOrder = order;
    beginResetModel();
    applySort();
    endResetModel();
}

void ResultTableModel::headerClicked(int column) {
    sortBy(column, m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
}

// Stable, by cell text as text: equal texts keep their order. Rows already in order are left
// alone; otherwise an index permutation is sorted and each row moved once, so that a large
// table sorts without shuffling its twenty strings per row at every merge step.
void ResultTableModel::applySort() {
    const auto key = static_cast<std::size_t>(m_sortKey);
    const bool ascending = m_sortOrder == Qt::AscendingOrder;
    const auto before = [key, ascending](const Row& x, const Row& y) {
        const int c = QString::compare(x.cells[key], y.cells[key]);
        return ascending ? c < 0 : c > 0;
    };
    if (std::is_sorted(m_rows.begin(), m_rows.end(), before)) return;
    std::vector<std::size_t> order(m_rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t x, std::size_t y) { return before(m_rows[x], m_rows[y]); });
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (std::size_t i : order) sorted.push_back(std::move(m_rows[i]));
    m_rows = std::move(sorted);
}

}  // namespace saed::model
