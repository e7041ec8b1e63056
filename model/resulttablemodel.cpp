// SPDX-License-Identifier: BSD-3-Clause
#include "model/resulttablemodel.h"

#include <algorithm>
#include <bit>      // for bit_cast
#include <cassert>
#include <cmath>    // for isnan, abs
#include <limits>
#include <numeric>  // for iota
#include <string_view>
#include <utility>

#include <QStringList>

#include "core/numbertext.h"
#include "core/resultcells.h"
#include "core/lattice.h"
#include "core/millerbravais.h"

namespace saed::model {

namespace {

struct ColumnSpec {
    const char* header;  // source text, translated where the header is shown
    int widthTwips;
    Qt::Alignment alignment;
};

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr Qt::Alignment kCentre = Qt::AlignCenter;

const ColumnSpec kColumnSpecs[ResultTableModel::kAllColumns] = {
    {QT_TRANSLATE_NOOP("saed::model::ResultTableModel", "组号"), 1020, kLeft},
    {" ", 443, kRight},
    {"R1", 443, kRight},
    {" ", 443, kRight},
    {" ", 353, kCentre},
    {" ", 443, kRight},
    {"R2", 443, kRight},
    {" ", 443, kRight},
    {" ", 353, kCentre},
    {" ", 443, kRight},
    {"R3", 443, kRight},
    {" ", 443, kRight},
    {" ", 353, kCentre},
    {"d1", 1050, kCentre},
    {"d2", 1050, kCentre},
    {"d3", 1050, kCentre},
    {" ", 353, kCentre},
    {"<R1,R2>", 942, kCentre},
    {"<R2,R3>", 942, kCentre},
    {"<R1,R3>", 942, kCentre},
    {QT_TRANSLATE_NOOP("saed::model::ResultTableModel", "晶带轴"), 1100, kCentre},
    {QT_TRANSLATE_NOOP("saed::model::ResultTableModel", "失配度"), 900, kRight},
    {QT_TRANSLATE_NOOP("saed::model::ResultTableModel", "匹配度"), 900, kRight},
};

// The misfit as the tooltip of its header explains it.
const char kMisfitTip[] = QT_TRANSLATE_NOOP(
    "saed::model::ResultTableModel",
    "失配度 = √( ( Σ((DTn − dn) / Δdn)² + Σ((An − Mn) / ΔAn)² ) / 6 )，n = 1..3：\n"
    "DTn、An 为该行的面间距与夹角，dn、Mn 为测量值，Δdn、ΔAn 为标定时的误差。\n"
    "0 为完全吻合；六项都在误差之内的行不大于 1。");

const char kMatchTip[] = QT_TRANSLATE_NOOP(
    "saed::model::ResultTableModel",
    "匹配度：按 R1、R2 "
    "放到图像上的该行晶带预测斑点中有检出斑点的比例，与检出斑点被预测的比例的调和平均（0 到 1）。\n"
    "需先打开图像并测量 R1、R2；每次标定或改变图像、测量线时计算一次。\n"
    "行数很多时只计算失配度最小的若干个不同 (g1, g2)，其余行留空。");

QString zoneText(const std::array<std::int16_t, 3>& z) {
    return QStringLiteral("[%1 %2 %3]").arg(z[0]).arg(z[1]).arg(z[2]);
}

QString fromStd(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The leading-number reading of a cell text; number cells hold ASCII.
double cellValue(const QString& text) {
    char buffer[64];
    std::size_t length = 0;
    for (QChar c : text) {
        if (length == sizeof buffer || c.unicode() > 0x7f) break;
        buffer[length++] = static_cast<char>(c.unicode());
    }
    return core::leadingNumber(std::string_view(buffer, length));
}

// A key whose order is the text order of the label "第" + digits + "组": digit by digit, and a
// shorter number before any digit is outranked by its closing "组", which sorts after every
// digit (so "第1000组" comes before "第999组", as the texts do).
std::uint64_t labelKey(std::int32_t group) {
    const std::string digits = core::formatThreeDigits(group);
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < 12; ++i)
        key = key * 11 + (i < digits.size() ? static_cast<std::uint64_t>(digits[i] - '0') : 10);
    return key;
}

// Groups 1..n in the text order of their labels, without comparing texts. The digits of the labels
// form a tree; since "组" sorts after every digit, a label comes after every longer label it is a
// prefix of, so the tree is walked children first ("第1000组" < "第100组" < "第1010组"). Labels have at
// least three digits ("第001组"); longer ones have no leading zero.
class LabelOrder {
public:
    explicit LabelOrder(std::uint32_t n) : m_n(n) { m_order.reserve(n); }

    std::vector<std::uint32_t> take() && {
        for (std::uint32_t v = 0; v < 1000; ++v) visit(v, 3);
        return std::move(m_order);
    }

private:
    // The label of `value` written with `digits` digits, then every longer one beginning with it.
    void visit(std::uint64_t value, int digits) {
        if (value > m_n) return;
        // Only a three-digit label without a leading zero goes on to four digits.
        if (digits > 3 || value >= 100)
            for (std::uint64_t d = 0; d < 10 && value * 10 + d <= m_n; ++d) visit(value * 10 + d, digits + 1);
        if (value >= 1) m_order.push_back(static_cast<std::uint32_t>(value));
    }

    std::uint64_t m_n;
    std::vector<std::uint32_t> m_order;
};

// The place of group g (at g - 1) among groups 1..n put in label order.
std::vector<std::uint32_t> labelPlaces(std::uint32_t n, bool ascending) {
    const std::vector<std::uint32_t> groups = LabelOrder(n).take();
    std::vector<std::uint32_t> place(n);
    for (std::uint32_t i = 0; i < n; ++i) place[groups[i] - 1] = ascending ? i : n - 1 - i;
    return place;
}

// Ids of distinct doubles by their bits: open addressing with linear probing, grown at half
// full, because a large run looks up six values per row.
class ValueIds {
public:
    // The id of `v` in `values`, appending it when new.
    std::uint32_t intern(double v, std::vector<double>& values) {
        if ((m_used + 1) * 2 > m_slots.size()) grow();
        const std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
        std::size_t i = hash(bits) & (m_slots.size() - 1);
        while (m_slots[i].id != kEmpty) {
            if (m_slots[i].bits == bits) return m_slots[i].id;
            i = (i + 1) & (m_slots.size() - 1);
        }
        m_slots[i] = {bits, static_cast<std::uint32_t>(values.size())};
        ++m_used;
        values.push_back(v);
        return m_slots[i].id;
    }

private:
    static constexpr std::uint32_t kEmpty = 0xffffffffu;
    struct Slot {
        std::uint64_t bits = 0;
        std::uint32_t id = kEmpty;
    };

    static std::size_t hash(std::uint64_t x) {
        x ^= x >> 33;
        x *= 0xff51afd7ed558ccdULL;
        x ^= x >> 33;
        return static_cast<std::size_t>(x);
    }

    void grow() {
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(old.empty() ? 1024 : old.size() * 2, Slot{});
        for (const Slot& s : old) {
            if (s.id == kEmpty) continue;
            std::size_t i = hash(s.bits) & (m_slots.size() - 1);
            while (m_slots[i].id != kEmpty) i = (i + 1) & (m_slots.size() - 1);
            m_slots[i] = s;
        }
    }

    std::vector<Slot> m_slots;
    std::size_t m_used = 0;
};

std::string spacingText(double v) { return core::formatSpacing(v); }
std::string angleText(double v) { return core::formatAngle(v); }

constexpr bool isIndexColumn(int c) { return c >= 1 && c <= 11 && c % 4 != 0; }
constexpr std::size_t indexSlot(int c) { return static_cast<std::size_t>((c - 1) / 4 * 3 + (c - 1) % 4); }

}  // namespace

const QString& ResultTableModel::ValueColumn::text(std::uint32_t id) const {
    if (texts.size() != values.size()) texts.resize(values.size());
    QString& t = texts[id];
    if (t.isNull()) t = fromStd(format(values[id]));
    return t;
}

double ResultTableModel::ValueColumn::shownNumber(std::uint32_t id) const {
    if (shown.size() != values.size()) {
        shown.resize(values.size());
        for (std::size_t i = 0; i < values.size(); ++i) shown[i] = core::leadingNumber(format(values[i]));
    }
    return shown[id];
}

void ResultTableModel::ValueColumn::clear() {
    values.clear();
    texts.clear();
    shown.clear();
}

QString ResultTableModel::headerText(int c) {
    assert(c >= 0 && c < kAllColumns);
    return QString::fromUtf8(kColumnSpecs[c].header);
}

int ResultTableModel::columnWidthTwips(int c) {
    assert(c >= 0 && c < kAllColumns);
    return kColumnSpecs[c].widthTwips;
}

Qt::Alignment ResultTableModel::columnAlignment(int c) {
    assert(c >= 0 && c < kAllColumns);
    return kColumnSpecs[c].alignment;
}

ResultTableModel::ResultTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int ResultTableModel::size() const {
    return static_cast<int>(m_results.size());
}

int ResultTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : size(); }

int ResultTableModel::columnCount(const QModelIndex& parent) const {
    return (parent.isValid() || !m_hasColumns) ? 0 : kAllColumns + (m_fourIndex ? 1 : 0);
}

void ResultTableModel::setFourIndex(bool on) {
    if (on == m_fourIndex) return;
    if (!m_hasColumns) {
        m_fourIndex = on;
        return;
    }
    if (on)
        beginInsertColumns(QModelIndex(), kFourIndexColumn, kFourIndexColumn);
    else
        beginRemoveColumns(QModelIndex(), kFourIndexColumn, kFourIndexColumn);
    m_fourIndex = on;
    if (on)
        endInsertColumns();
    else
        endRemoveColumns();
    if (size() > 0) emit dataChanged(index(0, kZoneColumn), index(size() - 1, kZoneColumn), {Qt::DisplayRole});
}

QString ResultTableModel::fourIndexPlanes(int r) const {
    const NumericRow& row = m_results[static_cast<std::size_t>(r)];
    QStringList planes;
    for (std::size_t g = 0; g < 3; ++g) {
        const core::Hkl hkl{row.hkl[3 * g], row.hkl[3 * g + 1], row.hkl[3 * g + 2]};
        planes << QLatin1Char('(') + QString::fromStdString(core::indexText(core::toFourIndex(hkl))) + QLatin1Char(')');
    }
    return planes.join(QStringLiteral("  "));
}

QString ResultTableModel::fourIndexZone(int r) const {
    return QLatin1Char('[') + QString::fromStdString(core::indexText(core::toFourIndex(zone(r)))) + QLatin1Char(']');
}

void ResultTableModel::setSolutionData(const std::vector<double>& misfitOfGroup, const std::vector<int>& familyOfGroup) {
    if (misfitOfGroup.size() != m_results.size() || familyOfGroup.size() != m_results.size()) return;
    m_misfitOfGroup.assign(misfitOfGroup.begin(), misfitOfGroup.end());
    m_familyOfGroup = familyOfGroup;
    if (m_sorted && m_sortKey == kMisfitColumn) {
        beginResetModel();
        applySort();
        endResetModel();
    } else if (!m_results.empty()) {
        emit dataChanged(index(0, kMisfitColumn), index(size() - 1, kMisfitColumn), {Qt::DisplayRole});
    }
}

void ResultTableModel::setMatchData(std::vector<float> matchOfGroup) {
    if (!matchOfGroup.empty() && matchOfGroup.size() != m_results.size()) return;
    if (matchOfGroup.empty() && m_matchOfGroup.empty()) return;
    m_matchOfGroup = std::move(matchOfGroup);
    if (m_sorted && m_sortKey == kMatchColumn) {
        beginResetModel();
        applySort();
        endResetModel();
    } else if (size() > 0) {
        emit dataChanged(index(0, kMatchColumn), index(size() - 1, kMatchColumn), {Qt::DisplayRole});
    }
}

double ResultTableModel::match(int r) const {
    const auto g = static_cast<std::size_t>(group(r) - 1);
    return g < m_matchOfGroup.size() ? double{m_matchOfGroup[g]} : std::numeric_limits<double>::quiet_NaN();
}

int ResultTableModel::group(int r) const {
    return m_results[static_cast<std::size_t>(r)].group;
}

core::Uvw ResultTableModel::zone(int r) const {
    const auto& z = m_results[static_cast<std::size_t>(r)].zone;
    return {z[0], z[1], z[2]};
}

double ResultTableModel::misfit(int r) const {
    const auto g = static_cast<std::size_t>(group(r) - 1);
    return g < m_misfitOfGroup.size() ? double{m_misfitOfGroup[g]} : std::numeric_limits<double>::quiet_NaN();
}

int ResultTableModel::family(int r) const {
    const auto g = static_cast<std::size_t>(group(r) - 1);
    return g < m_familyOfGroup.size() ? m_familyOfGroup[g] : 0;
}

std::optional<core::ResultRow> ResultTableModel::resultRow(int r) const {
    if (r < 0 || r >= size()) return std::nullopt;
    const NumericRow& in = m_results[static_cast<std::size_t>(r)];
    core::ResultRow out;
    core::Hkl* planes[3] = {&out.g1, &out.g2, &out.g3};
    for (std::size_t g = 0; g < 3; ++g)
        for (std::size_t a = 0; a < 3; ++a) (*planes[g])[a] = in.hkl[3 * g + a];
    for (std::size_t i = 0; i < 3; ++i) {
        out.spacingNm[i] = m_spacings.values[in.value[i]];
        out.angleDeg[i] = m_angles.values[in.value[3 + i]];
    }
    out.doubleDiffraction = in.doubleDiffraction;
    return out;
}

int ResultTableModel::rowOfGroup(int groupNumber) const {
    for (std::size_t r = 0; r < m_results.size(); ++r)
        if (m_results[r].group == groupNumber) return static_cast<int>(r);
    return -1;
}

QString ResultTableModel::cell(int r, int subItem) const {
    assert(r >= 0 && r < size() && subItem >= 0 && subItem < kAllColumns);
    const NumericRow& row = m_results[static_cast<std::size_t>(r)];
    if (subItem == kZoneColumn) return zoneText(row.zone);
    if (subItem == kMisfitColumn) {
        const double m = misfit(r);
        return std::isnan(m) ? QString() : fromStd(core::formatFixed(m, 3, false));
    }
    if (subItem == kMatchColumn) {
        const double m = match(r);
        return std::isnan(m) ? QString() : fromStd(core::formatFixed(m, 3, false));
    }
    if (subItem == 0) return fromStd(core::groupLabel(row.group));
    if (isIndexColumn(subItem)) return QString::number(row.hkl[indexSlot(subItem)]);
    switch (subItem) {
    case 4: return fromStd(core::kPlusText);
    case 8: return fromStd(core::kEqualsText);
    case 12:
    case 16: return fromStd(core::kDiamondText);
    default: break;
    }
    if (subItem >= 13 && subItem <= 15) return m_spacings.text(row.value[static_cast<std::size_t>(subItem - 13)]);
    return m_angles.text(row.value[static_cast<std::size_t>(subItem - 17 + 3)]);
}

bool ResultTableModel::usesDoubleDiffraction(int r) const {
    return r >= 0 && r < size() && m_results[static_cast<std::size_t>(r)].doubleDiffraction;
}

double ResultTableModel::shownNumber(int r, int subItem) const {
    const NumericRow& row = m_results[static_cast<std::size_t>(r)];
    if (subItem >= 13 && subItem <= 15) return m_spacings.shownNumber(row.value[static_cast<std::size_t>(subItem - 13)]);
    if (subItem >= 17 && subItem < kColumns)
        return m_angles.shownNumber(row.value[static_cast<std::size_t>(subItem - 17 + 3)]);
    if (isIndexColumn(subItem)) return row.hkl[indexSlot(subItem)];
    return cellValue(cell(r, subItem));
}

QColor ResultTableModel::labelColor(int r) const {
    return m_palette[m_results[static_cast<std::size_t>(r)].color];
}

QString ResultTableModel::shownGroupLabel(const QString& cellText) {
    // The cell keeps "第001组" for the reports; the table shows it in the reader's language.
    if (cellText.size() > 2 && cellText.startsWith(u'第') && cellText.endsWith(u'组'))
        return QCoreApplication::translate("saed::model::ResultTableModel", "第%1组")
            .arg(cellText.mid(1, cellText.size() - 2));
    return cellText;
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    switch (role) {
    case Qt::DisplayRole:
    case kFileTextRole:
        if (index.column() == 0) {
            const QString label =
                role == kFileTextRole ? cell(index.row(), 0) : shownGroupLabel(cell(index.row(), 0));
            return usesDoubleDiffraction(index.row()) ? label + doubleDiffractionMark() : label;
        }
        if (index.column() == kFourIndexColumn) return fourIndexPlanes(index.row());
        if (index.column() == kZoneColumn && m_fourIndex && role == Qt::DisplayRole) return fourIndexZone(index.row());
        return cell(index.row(), index.column());
    case Qt::ToolTipRole:
        if (usesDoubleDiffraction(index.row())) return doubleDiffractionTip();
        return {};
    case Qt::ForegroundRole: {
        if (index.column() != 0) return {};
        const QColor color = labelColor(index.row());
        if (color.isValid()) return color;
        return {};
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(index.column() == kFourIndexColumn ? kLeft : columnAlignment(index.column()));
    default:
        return {};
    }
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (section == kFourIndexColumn) {
        if (role == Qt::DisplayRole)
            return QCoreApplication::translate("saed::model::ResultTableModel", "四指数 (hkil)");
        if (role == Qt::ToolTipRole)
            return QCoreApplication::translate("saed::model::ResultTableModel",
                                               "六方晶胞的四指数 (h k i l)，i = -(h + k)；报告和导出的文件仍为三指数");
        if (role == Qt::TextAlignmentRole) return QVariant::fromValue(kLeft);
        return {};
    }
    if (role == Qt::DisplayRole)
        return QCoreApplication::translate("saed::model::ResultTableModel",
                                           kColumnSpecs[section].header);
    if (role == Qt::ToolTipRole && section == kMisfitColumn)
        return QCoreApplication::translate("saed::model::ResultTableModel", kMisfitTip);
    if (role == Qt::ToolTipRole && section == kMatchColumn)
        return QCoreApplication::translate("saed::model::ResultTableModel", kMatchTip);
    if (role == Qt::ToolTipRole && section == kZoneColumn)
        return QCoreApplication::translate("saed::model::ResultTableModel",
                                           "晶带轴 [uvw] = g1 × g2，约去公因数");
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(columnAlignment(section));
    return {};
}

void ResultTableModel::clearRows() {
    beginResetModel();
    m_results.clear();
    m_results.shrink_to_fit();
    m_spacings.clear();
    m_angles.clear();
    m_palette.clear();
    m_misfitOfGroup.clear();
    m_familyOfGroup.clear();
    m_matchOfGroup.clear();
    endResetModel();
}

void ResultTableModel::buildResults(const std::vector<core::ResultRow>& rows, const QColor& labelColor) {
    adoptRows(prepareRows(rows, sortSetting()), labelColor);
}

ResultTableModel::PreparedRows ResultTableModel::prepareRows(const std::vector<core::ResultRow>& rows,
                                                             SortSetting sort,
                                                             const std::vector<double>& misfitOfGroup,
                                                             const std::vector<int>& familyOfGroup) {
    PreparedRows out;
    out.m_sorted = sort.sorted;
    out.m_sortKey = sort.key;
    out.m_sortOrder = sort.order;
    // Equal values share one entry, so that a large run formats each distinct value once.
    ValueIds spacingIds, angleIds;
    // Sorted by label, each row goes straight to its place: group r + 1 is row r of the run.
    const bool byLabel = sort.sorted && sort.key == 0 && rows.size() < std::numeric_limits<std::int32_t>::max();
    const std::vector<std::uint32_t> place =
        byLabel ? labelPlaces(static_cast<std::uint32_t>(rows.size()), sort.order == Qt::AscendingOrder)
                : std::vector<std::uint32_t>();
    if (byLabel)
        out.m_results.resize(rows.size());
    else
        out.m_results.reserve(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const core::ResultRow& in = rows[r];
        NumericRow row{};
        const core::Hkl* planes[3] = {&in.g1, &in.g2, &in.g3};
        for (std::size_t g = 0; g < 3; ++g)
            for (std::size_t a = 0; a < 3; ++a) row.hkl[3 * g + a] = static_cast<std::int16_t>((*planes[g])[a]);
        row.color = 0;
        row.doubleDiffraction = in.doubleDiffraction;
        row.group = static_cast<std::int32_t>(r + 1);
        for (std::size_t i = 0; i < 3; ++i) {
            row.value[i] = spacingIds.intern(in.spacingNm[i], out.m_spacings);
            row.value[3 + i] = angleIds.intern(in.angleDeg[i], out.m_angles);
        }
        const core::Uvw z = core::ZoneAxis(in.g1, in.g2);
        for (std::size_t a = 0; a < 3; ++a) row.zone[a] = static_cast<std::int16_t>(z[a]);
        if (byLabel)
            out.m_results[place[r]] = row;
        else
            out.m_results.push_back(row);
    }
    if (misfitOfGroup.size() == rows.size() && familyOfGroup.size() == rows.size()) {
        out.m_misfitOfGroup.assign(misfitOfGroup.begin(), misfitOfGroup.end());
        out.m_familyOfGroup = familyOfGroup;
    }
    // Another sort key: the keys may need the misfits, so the rows are ordered by adoptRows'
    // applySort on this same storage, off the table as well.
    if (sort.sorted && !byLabel) {
        ResultTableModel sorter;
        sorter.m_sorted = true;
        sorter.m_sortKey = sort.key;
        sorter.m_sortOrder = sort.order;
        sorter.m_results = std::move(out.m_results);
        sorter.m_spacings.values = std::move(out.m_spacings);
        sorter.m_spacings.format = &spacingText;
        sorter.m_angles.values = std::move(out.m_angles);
        sorter.m_angles.format = &angleText;
        sorter.m_misfitOfGroup = std::move(out.m_misfitOfGroup);
        sorter.applySort();
        out.m_results = std::move(sorter.m_results);
        out.m_spacings = std::move(sorter.m_spacings.values);
        out.m_angles = std::move(sorter.m_angles.values);
        out.m_misfitOfGroup = std::move(sorter.m_misfitOfGroup);
    }
    return out;
}

void ResultTableModel::adoptRows(PreparedRows&& rows, const QColor& labelColor) {
    beginResetModel();
    m_hasColumns = true;
    m_results = std::move(rows.m_results);
    m_palette.assign(1, labelColor);
    m_misfitOfGroup = std::move(rows.m_misfitOfGroup);
    m_familyOfGroup = std::move(rows.m_familyOfGroup);
    m_matchOfGroup.clear();
    m_spacings.clear();
    m_spacings.values = std::move(rows.m_spacings);
    m_spacings.format = &spacingText;
    m_angles.clear();
    m_angles.values = std::move(rows.m_angles);
    m_angles.format = &angleText;
    if (m_sorted && (!rows.m_sorted || rows.m_sortKey != m_sortKey || rows.m_sortOrder != m_sortOrder)) applySort();
    endResetModel();
}

std::uint8_t ResultTableModel::paletteIndex(const QColor& color) {
    for (std::size_t i = 0; i < m_palette.size(); ++i)
        if (m_palette[i] == color) return static_cast<std::uint8_t>(i);
    // A run uses three colours; a palette that would overflow starts again from this one.
    if (m_palette.size() >= 255) {
        for (NumericRow& row : m_results) row.color = 0;
        m_palette.assign(1, m_palette[0]);
        if (m_palette[0] == color) return 0;
    }
    m_palette.push_back(color);
    return static_cast<std::uint8_t>(m_palette.size() - 1);
}

void ResultTableModel::setLabelColor(int r, const QColor& color) {
    if (labelColor(r) == color) return;
    m_results[static_cast<std::size_t>(r)].color = paletteIndex(color);
    const QModelIndex cellIndex = index(r, 0);
    emit dataChanged(cellIndex, cellIndex, {Qt::ForegroundRole});
}

void ResultTableModel::setAllLabelColors(const QColor& color) {
    setLabelColorWhere([](int) { return true; }, color);
}

int ResultTableModel::setLabelColorWhere(const std::function<bool(int)>& pass, const QColor& color) {
    const int rows = size();
    if (rows == 0) return 0;
    int count = 0, first = rows, last = -1;
    const std::uint8_t entry = paletteIndex(color);
    for (int r = 0; r < rows; ++r) {
        if (!pass(r)) continue;
        ++count;
        std::uint8_t& c = m_results[static_cast<std::size_t>(r)].color;
        if (c == entry) continue;
        c = entry;
        first = std::min(first, r);
        last = r;
    }
    if (last >= 0) emit dataChanged(index(first, 0), index(last, 0), {Qt::ForegroundRole});
    return count;
}

void ResultTableModel::sortBy(int column, Qt::SortOrder order) {
    assert(column >= 0 && column <= kFourIndexColumn);
    // A sorted table is always in the order of its setting: the same setting changes nothing.
    if (m_sorted && column == m_sortKey && order == m_sortOrder) return;
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

// For rows of a run, one number per row whose order is the text order of the key column: the
// label's own key, or the rank of the cell's text among the distinct texts of the column.
std::vector<std::uint64_t> ResultTableModel::sortKeys() const {
    std::vector<std::uint64_t> keys(m_results.size(), 0);
    const int c = m_sortKey;
    if (c == 0) {
        for (std::size_t r = 0; r < keys.size(); ++r) keys[r] = labelKey(m_results[r].group);
    } else if (c == kZoneColumn) {
        // By u, then v, then w, as numbers.
        for (std::size_t r = 0; r < keys.size(); ++r) {
            std::uint64_t key = 0;
            for (std::int16_t v : m_results[r].zone) key = (key << 16) | static_cast<std::uint16_t>(v + 32768);
            keys[r] = key;
        }
    } else if (c == kFourIndexColumn) {
        // By R1's h, k and l as numbers (i follows from h and k).
        for (std::size_t r = 0; r < keys.size(); ++r) {
            std::uint64_t key = 0;
            for (std::size_t a = 0; a < 3; ++a)
                key = (key << 16) | static_cast<std::uint16_t>(m_results[r].hkl[a] + 32768);
            keys[r] = key;
        }
    } else if (c == kMisfitColumn) {
        // By the number; rows without one last when ascending. A float's bits, sign bit set,
        // order like the non-negative numbers they hold.
        for (std::size_t r = 0; r < keys.size(); ++r) {
            const auto g = static_cast<std::size_t>(m_results[r].group - 1);
            const float m = g < m_misfitOfGroup.size() ? m_misfitOfGroup[g] : std::numeric_limits<float>::quiet_NaN();
            keys[r] = std::isnan(m) ? ~std::uint64_t{0} : std::bit_cast<std::uint32_t>(std::abs(m));
        }
    } else if (c == kMatchColumn) {
        // By the number; rows without one last in either direction.
        const bool ascending = m_sortOrder == Qt::AscendingOrder;
        for (std::size_t r = 0; r < keys.size(); ++r) {
            const auto g = static_cast<std::size_t>(m_results[r].group - 1);
            const float m = g < m_matchOfGroup.size() ? m_matchOfGroup[g] : std::numeric_limits<float>::quiet_NaN();
            if (std::isnan(m))
                keys[r] = ascending ? ~std::uint64_t{0} : 0;
            else
                keys[r] = std::uint64_t{std::bit_cast<std::uint32_t>(std::abs(m))} + 1;
        }
    } else if (isIndexColumn(c)) {
        // Index texts: "-1" < "-10" < "-2" < "0" < "1" < "10" < "2" as text.
        std::vector<int> distinct;
        std::vector<bool> seen(65536, false);
        for (const NumericRow& row : m_results) {
            const int v = row.hkl[indexSlot(c)];
            if (!seen[static_cast<std::size_t>(v + 32768)]) {
                seen[static_cast<std::size_t>(v + 32768)] = true;
                distinct.push_back(v);
            }
        }
        std::sort(distinct.begin(), distinct.end(),
                  [](int x, int y) { return QString::compare(QString::number(x), QString::number(y)) < 0; });
        std::vector<std::uint32_t> rank(65536, 0);
        for (std::size_t i = 0; i < distinct.size(); ++i) rank[static_cast<std::size_t>(distinct[i] + 32768)] = static_cast<std::uint32_t>(i);
        for (std::size_t r = 0; r < keys.size(); ++r) keys[r] = rank[static_cast<std::size_t>(m_results[r].hkl[indexSlot(c)] + 32768)];
    } else if ((c >= 13 && c <= 15) || (c >= 17 && c < kColumns)) {
        const bool spacing = c <= 15;
        const ValueColumn& values = spacing ? m_spacings : m_angles;
        const std::size_t slot = spacing ? static_cast<std::size_t>(c - 13) : static_cast<std::size_t>(c - 17 + 3);
        std::vector<std::uint32_t> order(values.values.size());
        std::iota(order.begin(), order.end(), 0u);
        for (std::uint32_t id : order) values.text(id);
        std::sort(order.begin(), order.end(), [&values](std::uint32_t x, std::uint32_t y) {
            return QString::compare(values.texts[x], values.texts[y]) < 0;
        });
        // Equal texts (two values that print alike) share a rank.
        std::vector<std::uint32_t> rank(order.size(), 0);
        for (std::size_t i = 1; i < order.size(); ++i)
            rank[order[i]] = rank[order[i - 1]] + (values.texts[order[i]] == values.texts[order[i - 1]] ? 0u : 1u);
        for (std::size_t r = 0; r < keys.size(); ++r) keys[r] = rank[m_results[r].value[slot]];
    }
    return keys;  // the separator columns: one text, every key equal
}

// Rows of a run hold the groups 1..n once each, whose label order is known: each row goes straight
// to its place. False (nothing moved) when the groups are not 1..n.
bool ResultTableModel::sortByLabelOrder(bool ascending) {
    const std::size_t n = m_results.size();
    constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
    if (n >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return false;
    std::vector<std::uint32_t> place(n, kNone);
    for (const NumericRow& row : m_results) {
        const auto g = static_cast<std::size_t>(row.group) - 1;
        if (g >= n || place[g] != kNone) return false;
        place[g] = 0;
    }
    const std::vector<std::uint32_t> placeOfGroup = labelPlaces(static_cast<std::uint32_t>(n), ascending);
    for (std::size_t r = 0; r < n; ++r) place[r] = placeOfGroup[static_cast<std::size_t>(m_results[r].group) - 1];
    moveRows(std::move(place));
    return true;
}

// Moves row r to place[r] in the table's own storage: a large table gets no second copy.
void ResultTableModel::moveRows(std::vector<std::uint32_t> place) {
    for (std::size_t r = 0; r < place.size(); ++r) {
        while (place[r] != r) {
            const std::size_t to = place[r];
            std::swap(m_results[r], m_results[to]);
            std::swap(place[r], place[to]);
        }
    }
}

// Stable: equal texts keep their order. Rows already in order are left alone; otherwise an
// index permutation is sorted and each row moved once.
void ResultTableModel::applySort() {
    const bool ascending = m_sortOrder == Qt::AscendingOrder;
    if (m_results.empty()) return;
    if (m_sortKey == 0 && sortByLabelOrder(ascending)) return;
    const std::vector<std::uint64_t> keys = sortKeys();
    const auto inOrder = [ascending](std::uint64_t x, std::uint64_t y) { return ascending ? x < y : x > y; };
    if (std::is_sorted(keys.begin(), keys.end(), inOrder)) return;
    const std::uint64_t maxKey = *std::max_element(keys.begin(), keys.end());
    if (maxKey <= keys.size() + 65536) {
        // Ranks: a counting sort, stable, each row moved once.
        std::vector<std::uint32_t> start(static_cast<std::size_t>(maxKey) + 2, 0);
        const auto slot = [ascending, maxKey](std::uint64_t k) {
            return static_cast<std::size_t>(ascending ? k : maxKey - k);
        };
        for (std::uint64_t k : keys) ++start[slot(k) + 1];
        for (std::size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
        std::vector<std::uint32_t> place(keys.size());
        for (std::size_t r = 0; r < keys.size(); ++r) place[r] = start[slot(keys[r])]++;
        moveRows(std::move(place));
        return;
    }
    // Keys and positions side by side, so that the sort walks memory in order.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> keyed(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) keyed[i] = {keys[i], static_cast<std::uint32_t>(i)};
    std::stable_sort(keyed.begin(), keyed.end(),
                     [&inOrder](const auto& x, const auto& y) { return inOrder(x.first, y.first); });
    std::vector<std::uint32_t> place(keyed.size());
    for (std::size_t i = 0; i < keyed.size(); ++i) place[keyed[i].second] = static_cast<std::uint32_t>(i);
    moveRows(std::move(place));
}

}  // namespace saed::model
