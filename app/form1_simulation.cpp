// The main window's solution families view, simulation tab and overlay on the image.
#include "app/form1.h"

#include <cmath>      // for isfinite

#include <QCheckBox>
#include <QDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTreeWidget>

#include "analysis/imagepipeline.h"
#include "analysis/runmatch.h"
#include "app/imageview.h"
#include "app/simulationpanel.h"
#include "core/numbertext.h"
#include "indexing/indexingoperations.h"
#include "core/resultcells.h"
#include "indexing/resultexport.h"
#include "library/phasetexts.h"
#include "library/spacegroup.h"
#include "library/screeningphase.h"
#include "measure/imagemeasurement.h"
#include "library/phaselibrary.h"
#include "model/resulttablemodel.h"
#include "model/texts.h"
#include "simulation/rowmatch.h"

namespace saed::app {

namespace {

constexpr int kGroupRole = Qt::UserRole + 1;  // the group a tree line shows
constexpr int kFamilyRole = Qt::UserRole + 2; // the family id of a top-level line

template <typename V>
QString triple(QChar open, const V& v, QChar close) {
    return open + QStringLiteral("%1 %2 %3").arg(v[0]).arg(v[1]).arg(v[2]) + close;
}

QString numberText(double v) {
    return std::isfinite(v) ? QString::fromStdString(core::formatFixed(v, 3, false)) : QStringLiteral("—");
}

// Why a segment count keeps the match from being computed.
QString segmentsMessage() {
    return QCoreApplication::translate("saed::app::Form1",
                                       "R1 和 R2 的斑点间距数 N 须为不小于 1 的整数；匹配度未计算");
}

// The zone of a record's best family as the ranking list shows it ("<0 1 1>"); no value when
// the list does not hold the record or it has no family.
std::optional<core::Uvw> rankedZone(const QDialog* ranking, int record) {
    const auto* table = ranking ? ranking->findChild<QTableWidget*>(QStringLiteral("RankingTable")) : nullptr;
    if (table == nullptr) return std::nullopt;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem* first = table->item(row, 0);
        if (first == nullptr || first->data(Qt::UserRole).toInt() != record) continue;
        const QVariantList zone = first->data(Qt::UserRole + 1).toList();
        if (zone.size() != 3) return std::nullopt;
        const core::Uvw uvw{zone[0].toLongLong(), zone[1].toLongLong(), zone[2].toLongLong()};
        if (uvw == core::Uvw{0, 0, 0}) return std::nullopt;
        return uvw;
    }
    return std::nullopt;
}

}  // namespace

void Form1::connectSimulation() {
    m_familyTree->setColumnCount(9);
    m_familyTree->setHeaderLabels({QCoreApplication::translate("saed::app::Form1", "解族"),
                                   QCoreApplication::translate("saed::app::Form1", "代表行"),
                                   QCoreApplication::translate("saed::app::Form1", "晶带轴族"),
                                   QStringLiteral("{hkl}1"), QStringLiteral("{hkl}2"),
                                   QStringLiteral("{hkl}3"),
                                   QCoreApplication::translate("saed::app::Form1", "行数"),
                                   QCoreApplication::translate("saed::app::Form1", "失配度"),
                                   QCoreApplication::translate("saed::app::Form1", "匹配度")});
    m_familyTree->headerItem()->setToolTip(7, m_model.resultTable()->headerData(ResultTableModel::kMisfitColumn, Qt::Horizontal, Qt::ToolTipRole).toString());
    m_familyTree->headerItem()->setToolTip(
        8, QCoreApplication::translate(
               "saed::app::Form1",
               "匹配度：图像内预测斑点有检出斑点的比例与检出斑点被预测的比例的调和平均（0 到 1）"));
    m_familyTree->setAlternatingRowColors(true);
    m_familyTree->setUniformRowHeights(true);

    connect(m_familySwitch, &QCheckBox::toggled, this, [this](bool on) {
        m_listView1->setVisible(!on);
        m_familyTree->setVisible(on);
    });
    connect(m_familyTree, &QTreeWidget::itemExpanded, this, &Form1::fillFamilyChildren);
    connect(m_familyTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item != nullptr) showGroup(item->data(0, kGroupRole).toInt());
    });
    connect(m_indexing, &indexing::IndexingOperations::runFinished, this, &Form1::rebuildFamilies);
    connect(m_model.resultTable(), &QAbstractItemModel::modelReset, this, [this] {
        if (m_model.resultTable()->rowCount() == 0) rebuildFamilies();
    });
    // The re-screening recolours the labels: the rows under an open family follow.
    connect(m_model.resultTable(), &QAbstractItemModel::dataChanged, this, &Form1::refreshFamilyColours);
    connect(m_listView1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) showGroup(m_model.resultTable()->group(current.row()));
            });
    connect(m_overlaySwitch, &QCheckBox::toggled, this, &Form1::updateOverlay);
    connect(m_measurement, &measure::ImageMeasurement::measureDialogFinished, this, [this] {
        computeFamilyMatches();
        updateOverlay();
    });
    // The phase, space group and lattice type of the simulation follow the window's, except while
    // it shows a phase from the ranking list; a change in the window or a row shown takes it back.
    connect(&m_model, &MainModel::text1Changed, this, [this](int n) {
        if (n >= fieldNumber(model::Field::A) && n <= fieldNumber(model::Field::Gamma)) showWindowPhase();
    });
    connect(&m_model, &MainModel::text6Changed, this, &Form1::showWindowPhase);
    connect(&m_model, &MainModel::spaceGroupChanged, this, &Form1::showWindowPhase);
    connect(&m_model, &MainModel::combo1Changed, this, &Form1::showWindowPhase);
    showWindowPhase();
    connect(this, &Form1::phaseSimulationRequested, this, &Form1::simulateLibraryPhase);
}

void Form1::showWindowPhase() {
    m_simulatingLibraryPhase = false;
    m_simulation->setPhase(model::translatedPhaseLabel(m_model.Text6()), {m_model.value(model::Field::A), m_model.value(model::Field::B),
                                             m_model.value(model::Field::C), m_model.value(model::Field::Alpha),
                                             m_model.value(model::Field::Beta), m_model.value(model::Field::Gamma)});
    m_simulation->setSpaceGroup(m_model.spaceGroupText(), m_model.spaceGroupRule());
    m_simulation->setLatticeTypes(model::translatedTexts(m_model.Combo1Items()), m_model.Combo1());
}

void Form1::simulateLibraryPhase(int record) {
    const library::PhaseLibrary& phases = *library::phaseLibrary(m_model);
    const std::vector<library::PhaseRecord>& records = phases.tree().records();
    if (const library::CrystalPhase* crystal = phases.crystal(record)) {
        const library::CrystalPhase& phase = *crystal;
        m_simulation->setPhase(QString::fromStdString(phase.name), phase.cell);
        if (phase.spaceGroup) {
            m_simulation->setSpaceGroup(QString::fromStdString(library::spaceGroupLabel(phase)), library::phaseRule(phase));
            m_simulation->setLatticeTypes(model::translatedTexts(m_model.Combo1Items()), SimulationPanel::kSpaceGroupEntry);
        } else {
            m_simulation->setSpaceGroup(QString(), nullptr);
            m_simulation->setLatticeTypes(model::translatedTexts(m_model.Combo1Items()), 0);
        }
    } else if (record >= 1 && record <= static_cast<int>(records.size())) {
        // A record of the nine-field text: its cell and lattice type, no space group.
        const library::PhaseRecord& phase = records[static_cast<std::size_t>(record - 1)];
        double values[6];
        for (std::size_t i = 0; i < 6; ++i) values[i] = core::leadingNumber(phase.fields[3 + i]);
        m_simulation->setPhase(QString::fromStdString(phase.name()),
                               {values[0], values[1], values[2], values[3], values[4], values[5]});
        m_simulation->setSpaceGroup(QString(), nullptr);
        m_simulation->setLatticeTypes(model::translatedTexts(m_model.Combo1Items()), library::latticeTypeFromText(phase.latticeTypeText()));
    } else {
        return;
    }
    // The tab now shows a library phase, not a row of the table.
    m_simulatingLibraryPhase = true;
    m_shownGroup = 0;
    updateOverlay();
    if (const std::optional<core::Uvw> zone = rankedZone(m_rankingWindow, record)) m_simulation->showZone(*zone);
    m_tabs->setCurrentWidget(m_simulation);
    raise();
    activateWindow();
}

void Form1::rebuildFamilies() {
    m_familyTree->clear();
    m_familyMatch.clear();
    m_shownGroup = 0;
    if (m_imageView != nullptr) m_imageView->setOverlay({}, {});
    computeFamilyMatches();
}

// Matches the rows and families against the image, once per run or change of image or lines,
// and fills the tree with one line per family: by misfit, or with an image, by match first.
void Form1::computeFamilyMatches() {
    const indexing::FamilyGrouping& grouping = m_indexing->lastFamilies();
    ResultTableModel& table = *m_model.resultTable();
    m_familyMatch.assign(grouping.families.size(), -1.0);
    std::vector<float> rowMatch;  // by group - 1; empty without an image
    const std::optional<simulation::ImageFrame> frame = imageFrame();
    if (frame && table.rowCount() > 0) {
        analysis::RunMatch match = analysis::matchLastRun(*m_indexing, table, *frame, detectedSpots());
        rowMatch = std::move(match.rowMatch);
        for (std::size_t i = 0; i < match.familyMatch.size(); ++i)
            if (match.familyMatch[i]) m_familyMatch[i] = *match.familyMatch[i];
    }
    table.setMatchData(std::move(rowMatch));
    const int current = m_shownGroup;
    m_familyTree->clear();
    for (const indexing::RankedFamily& line : indexing::rankFamilies(grouping, familyMatches())) {
        const indexing::SolutionFamily& f = line.family;
        auto* item = new QTreeWidgetItem(QStringList{
            QString::number(f.id),
            ResultTableModel::shownGroupLabel(
                QString::fromStdString(core::groupLabel(static_cast<long long>(f.representative) + 1))),
            triple(u'<', f.zone, u'>'), triple(u'{', f.forms[0], u'}'), triple(u'{', f.forms[1], u'}'),
            triple(u'{', f.forms[2], u'}'), QString::number(static_cast<qulonglong>(f.rowCount)), numberText(f.misfit),
            line.match ? numberText(*line.match) : QStringLiteral("—")});
        item->setData(0, kGroupRole, static_cast<int>(f.representative) + 1);
        item->setData(0, kFamilyRole, f.id);
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        m_familyTree->addTopLevelItem(item);
    }
    for (int c = 0; c < m_familyTree->columnCount(); ++c) m_familyTree->resizeColumnToContents(c);
    m_shownGroup = current;
}

void Form1::fillFamilyChildren(QTreeWidgetItem* item) {
    if (item->parent() != nullptr || item->childCount() > 0) return;
    const int id = item->data(0, kFamilyRole).toInt();
    const ResultTableModel& table = *m_model.resultTable();
    QList<QTreeWidgetItem*> children;
    for (int r = 0; r < table.rowCount(); ++r) {
        if (table.family(r) != id) continue;
        const auto planes = [&table, r](int first) {
            return QStringLiteral("(%1 %2 %3)").arg(table.cell(r, first), table.cell(r, first + 1), table.cell(r, first + 2));
        };
        auto* child = new QTreeWidgetItem(QStringList{
            QString(), ResultTableModel::shownGroupLabel(table.cell(r, 0)), table.cell(r, ResultTableModel::kZoneColumn),
            planes(1), planes(5), planes(9),
            QString(), table.cell(r, ResultTableModel::kMisfitColumn), table.cell(r, ResultTableModel::kMatchColumn)});
        child->setData(0, kGroupRole, table.group(r));
        child->setForeground(1, table.labelColor(r));
        children.push_back(child);
    }
    item->addChildren(children);
}

void Form1::refreshFamilyColours() {
    const ResultTableModel& table = *m_model.resultTable();
    for (int i = 0; i < m_familyTree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* family = m_familyTree->topLevelItem(i);
        for (int c = 0; c < family->childCount(); ++c) {
            QTreeWidgetItem* child = family->child(c);
            const int r = table.rowOfGroup(child->data(0, kGroupRole).toInt());
            if (r >= 0) child->setForeground(1, table.labelColor(r));
        }
    }
}

void Form1::showGroup(int group) {
    const ResultTableModel& table = *m_model.resultTable();
    const int r = table.rowOfGroup(group);
    if (r < 0) return;
    m_shownGroup = group;
    if (m_simulatingLibraryPhase) showWindowPhase();
    const core::Hkl g1{static_cast<int>(table.shownNumber(r, 1)), static_cast<int>(table.shownNumber(r, 2)),
                       static_cast<int>(table.shownNumber(r, 3))};
    const core::Hkl g2{static_cast<int>(table.shownNumber(r, 5)), static_cast<int>(table.shownNumber(r, 6)),
                       static_cast<int>(table.shownNumber(r, 7))};
    m_simulation->showZone(core::ZoneAxis(g1, g2), g1, g2);
    updateOverlay();
}

std::optional<std::vector<std::optional<double>>> Form1::familyMatches() const {
    if (!imageFrame()) return std::nullopt;
    std::vector<std::optional<double>> byId;
    byId.reserve(m_familyMatch.size());
    for (double m : m_familyMatch) byId.push_back(m >= 0 ? std::optional<double>(m) : std::nullopt);
    return byId;
}

std::optional<simulation::ImageFrame> Form1::imageFrame() const {
    const std::optional<core::Raster>& raster = m_measurement->raster();
    const auto r1 = m_measurement->spotLine(1);
    const auto r2 = m_measurement->spotLine(2);
    if (!raster || !r1 || !r2) return std::nullopt;
    // R1 starts at the direct beam; R2 is placed from there with its own direction and length.
    return analysis::imageFrame({r1->x0, r1->y0}, {r1->x1, r1->y1}, m_model.value(model::Field::SegmentsR1),
                                {r1->x0 + (r2->x1 - r2->x0), r1->y0 + (r2->y1 - r2->y0)},
                                m_model.value(model::Field::SegmentsR2), raster->width(), raster->height());
}

bool Form1::segmentsRefused() const {
    return m_measurement->raster() && m_measurement->spotLine(1) && m_measurement->spotLine(2) && !imageFrame();
}

const std::vector<simulation::PixelPoint>& Form1::detectedSpots() {
    // Found on the image's values, never on the picture: the display setting changes no match.
    if (m_measurement->imageSerial() != m_detectedSerial) {
        m_detected = m_measurement->raster() ? analysis::detectedSpots(*m_measurement->raster())
                                             : std::vector<simulation::PixelPoint>{};
        m_detectedSerial = m_measurement->imageSerial();
    }
    return m_detected;
}

void Form1::updateOverlay() {
    if (m_imageView == nullptr) return;
    const ResultTableModel& table = *m_model.resultTable();
    const int r = m_shownGroup > 0 ? table.rowOfGroup(m_shownGroup) : -1;
    const std::optional<simulation::ImageFrame> frame = imageFrame();
    const std::optional<indexing::ResultRow> row = r >= 0 ? table.resultRow(r) : std::nullopt;
    if (!row || !frame) {
        m_imageView->setOverlay({}, {});
        m_simulation->setNote(row && segmentsRefused() ? segmentsMessage() : QString());
        return;
    }
    const core::Hkl& g1 = row->g1;
    const core::Hkl& g2 = row->g2;
    const indexing::IndexingInput& in = m_indexing->lastInput();
    const simulation::ExtinctionRule rule = simulation::runRule(in.latticeType, in.rule);
    const auto pattern = simulation::rowPatternForImage(in.cell, rule, g1, g2, *frame);
    const auto onImage = pattern ? simulation::spotsOnImage(pattern->spots, g1, g2, *frame) : std::nullopt;
    if (!onImage) {
        m_imageView->setOverlay({}, {});
        return;
    }
    const simulation::SpotMatch match =
        simulation::matchSpots(*onImage, detectedSpots(), *frame, simulation::defaultMatchRadius(*frame));
    m_simulation->setNote(
        QCoreApplication::translate(
            "saed::app::Form1",
            "%1 在图像上的匹配度 %2：预测斑点 %3/%4 有检出，检出斑点 %5/%6 被预测")
            .arg(ResultTableModel::shownGroupLabel(table.cell(r, 0)), numberText(match.score()))
            .arg(match.predictedFound)
            .arg(match.predictedInside)
            .arg(match.detectedExplained)
            .arg(match.detected));
    if (!m_overlaySwitch->isChecked()) {
        m_imageView->setOverlay({}, {});
        return;
    }
    std::vector<QPointF> points;
    QStringList labels;
    const bool labelled = onImage->size() == pattern->spots.size();
    for (std::size_t i = 0; i < onImage->size(); ++i) {
        points.emplace_back((*onImage)[i].x, (*onImage)[i].y);
        if (!labelled) continue;
        const core::Hkl& hkl = pattern->spots[i].hkl;
        labels << QStringLiteral("%1 %2 %3").arg(hkl[0]).arg(hkl[1]).arg(hkl[2]);
    }
    m_imageView->setOverlay(std::move(points), std::move(labels));
}

}  // namespace saed::app
