// SPDX-License-Identifier: BSD-3-Clause
#include "app/resultspanel.h"

#include <cmath>  // for isfinite
#include <memory>

#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QStandardPaths>
#include <QTableView>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/indexnotation.h"
#include "analysis/imagepipeline.h"
#include "app/programmenu.h"
#include "app/translations.h"
#include "analysis/runmatch.h"
#include "calculator/calculatoroperations.h"
#include "core/millerbravais.h"
#include "core/numbertext.h"
#include "core/raster.h"
#include "indexing/indexingoperations.h"
#include "core/resultcells.h"
#include "indexing/resultexport.h"
#include "measure/imagemeasurement.h"
#include "measure/viewport.h"
#include "model/mainmodel.h"
#include "model/resulttablemodel.h"
#include "simulation/rowmatch.h"
#include "store/reports.h"
#include "store/textfile.h"

namespace saed::app {

using model::ResultTableModel;

namespace {

constexpr int kGroupRole = Qt::UserRole + 1;  // the group a tree line shows
constexpr int kFamilyRole = Qt::UserRole + 2; // the family id of a top-level line
constexpr int kRowRole = Qt::UserRole + 3;    // the table row a child line was made from

// The table row of `group`: `hint` while it still holds that group (no sort since), else found
// by a pass over the rows, which a large run makes slow.
int rowOf(const ResultTableModel& table, int group, int hint) {
    if (hint >= 0 && hint < table.rowCount() && table.group(hint) == group) return hint;
    return table.rowOfGroup(group);
}

QString numberText(double v) {
    return std::isfinite(v) ? QString::fromStdString(core::formatFixed(v, 3, false)) : QStringLiteral("—");
}

}  // namespace

ResultsPanel::ResultsPanel(model::MainModel& model, model::Prompts& prompts, indexing::IndexingOperations& indexing,
                           measure::ImageMeasurement& measurement, QWidget* parent)
    : QWidget(parent), m_model(model), m_prompts(prompts), m_indexing(indexing), m_measurement(measurement) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    ResultTableModel* table = m_model.resultTable();

    m_listView1 = new QTableView;
    m_listView1->setObjectName(QStringLiteral("ListView1"));
    m_listView1->setModel(table);
    m_listView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView1->setShowGrid(true);
    m_listView1->verticalHeader()->hide();
    m_listView1->verticalHeader()->setDefaultSectionSize(20);
    m_listView1->horizontalHeader()->setSectionsClickable(true);
    m_listView1->horizontalHeader()->setHighlightSections(false);
    m_listView1->setContextMenuPolicy(Qt::CustomContextMenu);
    // The column widths are set once, when the first run adds the columns; later resets (new
    // runs, sorting) keep what the user has dragged them to.
    connect(table, &QAbstractItemModel::modelReset, this, [this, table] {
        if (m_columnWidthsSet || table->columnCount() == 0) return;
        for (int c = 0; c < table->columnCount(); ++c)
            m_listView1->setColumnWidth(c, measure::pixelsFromTwips(ResultTableModel::columnWidthTwips(c)) + 4);
        m_columnWidthsSet = true;
    });
    // The four-index column is as wide as three planes of four indices.
    connect(table, &QAbstractItemModel::columnsInserted, this, [this](const QModelIndex&, int first) {
        if (first == ResultTableModel::kFourIndexColumn)
            m_listView1->setColumnWidth(first, m_listView1->fontMetrics().horizontalAdvance(
                                                   QStringLiteral("(-1 -1 2 -1)  (-1 -1 2 -1)  (-1 -1 2 -1)")) + 12);
    });
    m_familySwitch = new QCheckBox(tr("按解族显示"));
    m_familySwitch->setObjectName(QStringLiteral("FamilySwitch"));
    m_familySwitch->setToolTip(tr("每个解族一行：按对称性等价的晶带轴与 {hkl} 相同的各行；展开可见其各行"));
    column->addWidget(m_familySwitch);
    column->addWidget(m_listView1, 1);
    m_familyTree = new QTreeWidget;
    m_familyTree->setObjectName(QStringLiteral("FamilyTree"));
    m_familyTree->hide();
    column->addWidget(m_familyTree, 1);

    // The table's menu b.
    auto* jisuandaizhou2 = new QAction(tr("计算晶带轴"), this);
    jisuandaizhou2->setObjectName(QStringLiteral("jisuandaizhou2"));
    auto* daochujieguo3 = new QAction(tr("导出标定结果"), this);
    daochujieguo3->setObjectName(QStringLiteral("daochujieguo3"));
    auto* exportCsv = new QAction(tr("导出为CSV表格…"), this);
    exportCsv->setObjectName(QStringLiteral("exportCsv"));
    exportCsv->setToolTip(tr("结果表的每一行，UTF-8，可用电子表格打开"));
    auto* exportJson = new QAction(tr("导出为JSON…"), this);
    exportJson->setObjectName(QStringLiteral("exportJson"));
    exportJson->setToolTip(tr("输入、测量值、每一行与解族，格式与命令行 --format json 相同"));
    connect(jisuandaizhou2, &QAction::triggered, this, [this] {
        const QModelIndexList selected = m_listView1->selectionModel()->selectedRows();
        const int row = selected.isEmpty() ? -1 : selected.first().row();
        calculator::calculateFromResultRow(m_model, m_prompts, row);
    });
    connect(daochujieguo3, &QAction::triggered, this,
            [this] { exportReport(); });
    connect(exportCsv, &QAction::triggered, this, [this] { exportResults(false); });
    connect(exportJson, &QAction::triggered, this, [this] { exportResults(true); });
    connect(m_listView1, &QWidget::customContextMenuRequested, this,
            [this, jisuandaizhou2, daochujieguo3, exportCsv, exportJson](const QPoint& position) {
                QMenu menu(this);
                menu.setObjectName(QStringLiteral("b"));
                menu.setToolTipsVisible(true);  // the export entries say what their files hold
                menu.addAction(jisuandaizhou2);
                menu.addAction(daochujieguo3);
                menu.addAction(exportCsv);
                menu.addAction(exportJson);
                menu.exec(m_listView1->viewport()->mapToGlobal(position));
            });
    connect(m_listView1->horizontalHeader(), &QHeaderView::sectionClicked, table, &ResultTableModel::headerClicked);

    m_familyTree->setColumnCount(9);
    m_familyTree->setHeaderLabels({tr("解族"), tr("代表行"), tr("晶带轴族"), QStringLiteral("{hkl}1"),
                                   QStringLiteral("{hkl}2"), QStringLiteral("{hkl}3"), tr("行数"), tr("失配度"),
                                   tr("匹配度")});
    m_familyTree->headerItem()->setToolTip(
        7, table->headerData(ResultTableModel::kMisfitColumn, Qt::Horizontal, Qt::ToolTipRole).toString());
    m_familyTree->headerItem()->setToolTip(
        8, tr("匹配度：图像内预测斑点有检出斑点的比例与检出斑点被预测的比例的调和平均（0 到 1）"));
    m_familyTree->setAlternatingRowColors(true);
    m_familyTree->setUniformRowHeights(true);

    connect(m_familySwitch, &QCheckBox::toggled, this, [this](bool on) {
        m_listView1->setVisible(!on);
        m_familyTree->setVisible(on);
    });
    connect(m_familyTree, &QTreeWidget::itemExpanded, this, &ResultsPanel::fillFamilyChildren);
    connect(m_familyTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item != nullptr)
            showGroup(item->data(0, kGroupRole).toInt(), item->parent() != nullptr ? item->data(0, kRowRole).toInt() : -1);
    });
    connect(&m_indexing, &indexing::IndexingOperations::runFinished, this, &ResultsPanel::rebuildFamilies);
    connect(table, &QAbstractItemModel::modelReset, this, [this, table] {
        if (table->rowCount() == 0) rebuildFamilies();
    });
    // The re-screening recolours the labels: the rows under an open family follow.
    connect(table, &QAbstractItemModel::dataChanged, this, &ResultsPanel::refreshFamilyColours);
    connect(m_listView1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, table](const QModelIndex& current) {
                if (current.isValid()) showGroup(table->group(current.row()), current.row());
            });
    connect(&m_model, &model::MainModel::fourIndexChanged, this, &ResultsPanel::applyFourIndex);
}

bool ResultsPanel::fourIndexShown() const {
    return m_model.fourIndex() && core::isHexagonalCell(m_indexing.lastInput().cell);
}

void ResultsPanel::applyFourIndex() {
    m_model.resultTable()->setFourIndex(fourIndexShown());
    fillFamilyTree();
    updateOverlay();
}

void ResultsPanel::setOverlayShown(bool shown) {
    m_overlayShown = shown;
    updateOverlay();
}

void ResultsPanel::imageChanged() {
    computeFamilyMatches();
    updateOverlay();
}

void ResultsPanel::clearShownGroup() {
    m_shownGroup = 0;
    updateOverlay();
}

void ResultsPanel::rebuildFamilies() {
    // The rows may be of another cell now.
    m_model.resultTable()->setFourIndex(fourIndexShown());
    m_familyTree->clear();
    m_familyMatch.clear();
    m_shownGroup = 0;
    emit overlayChanged({}, {});
    emit noteChanged(QString());
    computeFamilyMatches();
}

ResultsPanel::~ResultsPanel() {
    if (m_matchThread == nullptr) return;
    m_matchThread->wait();
    delete m_matchThread;
}

// Matches the rows and families against the image, once per run or change of image or lines,
// and fills the tree with one line per family: by misfit, or with an image, by match first. The
// match runs on a worker; until it ends the rows and families show none.
void ResultsPanel::computeFamilyMatches() {
    ++m_matchSerial;
    m_familyMatch.assign(m_indexing.lastFamilies().families.size(), -1.0);
    m_model.resultTable()->setMatchData({});
    fillFamilyTree();
    startMatch();
}

void ResultsPanel::startMatch() {
    // The running match ends first; its end starts the one for what is current then.
    if (m_matchThread != nullptr) return;
    const std::optional<simulation::ImageFrame> frame = imageFrame();
    if (!frame || m_model.resultTable()->rowCount() == 0) return;
    // Copies of what the match reads, small whatever the run's size: the worker shares nothing
    // with the window. A new image's spots are detected there too, on a copy of its values.
    struct Job {
        analysis::RunMatchInput input;
        simulation::ImageFrame frame;
        std::optional<core::Raster> raster;  // when its spots are not known yet
        std::vector<simulation::PixelPoint> detected;
        std::uint64_t imageSerial = 0;
        analysis::RunMatch result;
    };
    auto job = std::make_shared<Job>();
    job->input = analysis::lastRunMatchInput(m_indexing);
    job->frame = *frame;
    job->imageSerial = m_measurement.imageSerial();
    if (job->imageSerial == m_detectedSerial)
        job->detected = m_detected;
    else
        job->raster = m_measurement.raster();
    const std::uint64_t serial = m_matchSerial;
    m_matchThread = QThread::create([job] {
        if (job->raster) job->detected = analysis::detectedSpots(*job->raster);
        job->result = job->input.match(job->frame, job->detected);
    });
    connect(m_matchThread, &QThread::finished, this, [this, job, serial] {
        m_matchThread->deleteLater();
        m_matchThread = nullptr;
        if (job->raster && job->imageSerial == m_measurement.imageSerial()) {
            m_detected = std::move(job->detected);
            m_detectedSerial = job->imageSerial;
        }
        ResultTableModel& table = *m_model.resultTable();
        if (serial != m_matchSerial) {
            startMatch();
            return;
        }
        for (std::size_t i = 0; i < job->result.familyMatch.size() && i < m_familyMatch.size(); ++i)
            if (job->result.familyMatch[i]) m_familyMatch[i] = *job->result.familyMatch[i];
        table.setMatchData(std::move(job->result.rowMatch));
        fillFamilyTree();
    });
    m_matchThread->start();
}

void ResultsPanel::fillFamilyTree() {
    const int current = m_shownGroup;
    const bool four = fourIndexShown();
    m_familyTree->clear();
    for (int i = 0; i < 3; ++i)
        m_familyTree->headerItem()->setText(3 + i, (four ? QStringLiteral("{hkil}%1") : QStringLiteral("{hkl}%1")).arg(i + 1));
    // An emptied table (a new image, a run that failed or was refused) has no families: the run's
    // families belong to rows that are gone.
    if (m_model.resultTable()->rowCount() == 0) {
        m_shownGroup = 0;
        return;
    }
    for (const indexing::RankedFamily& line : indexing::rankFamilies(m_indexing.lastFamilies(), familyMatches())) {
        const indexing::SolutionFamily& f = line.family;
        auto* item = new QTreeWidgetItem(QStringList{
            QString::number(f.id),
            ResultTableModel::shownGroupLabel(
                QString::fromStdString(core::groupLabel(static_cast<long long>(f.representative) + 1))),
            zoneText(f.zone, four, u'<', u'>'), planeText(f.forms[0], four, u'{', u'}'),
            planeText(f.forms[1], four, u'{', u'}'), planeText(f.forms[2], four, u'{', u'}'),
            QString::number(static_cast<qulonglong>(f.rowCount)), numberText(f.misfit),
            line.match ? numberText(*line.match) : QStringLiteral("—")});
        item->setData(0, kGroupRole, static_cast<int>(f.representative) + 1);
        item->setData(0, kFamilyRole, f.id);
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        m_familyTree->addTopLevelItem(item);
    }
    for (int c = 0; c < m_familyTree->columnCount(); ++c) m_familyTree->resizeColumnToContents(c);
    m_shownGroup = current;
}

void ResultsPanel::fillFamilyChildren(QTreeWidgetItem* item) {
    if (item->parent() != nullptr || item->childCount() > 0) return;
    const int id = item->data(0, kFamilyRole).toInt();
    const ResultTableModel& table = *m_model.resultTable();
    const bool four = fourIndexShown();
    QList<QTreeWidgetItem*> children;
    for (int r = 0; r < table.rowCount(); ++r) {
        if (table.family(r) != id) continue;
        const auto planes = [&table, r, four](int first) {
            const core::Hkl hkl{static_cast<int>(table.shownNumber(r, first)), static_cast<int>(table.shownNumber(r, first + 1)),
                                static_cast<int>(table.shownNumber(r, first + 2))};
            return planeText(hkl, four);
        };
        auto* child = new QTreeWidgetItem(QStringList{
            QString(), ResultTableModel::shownGroupLabel(table.cell(r, 0)), zoneText(table.zone(r), four),
            planes(1), planes(5), planes(9),
            QString(), table.cell(r, ResultTableModel::kMisfitColumn), table.cell(r, ResultTableModel::kMatchColumn)});
        child->setData(0, kGroupRole, table.group(r));
        child->setData(0, kRowRole, r);
        child->setForeground(1, table.labelColor(r));
        children.push_back(child);
    }
    item->addChildren(children);
}

void ResultsPanel::refreshFamilyColours() {
    const ResultTableModel& table = *m_model.resultTable();
    for (int i = 0; i < m_familyTree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* family = m_familyTree->topLevelItem(i);
        for (int c = 0; c < family->childCount(); ++c) {
            QTreeWidgetItem* child = family->child(c);
            const int r = rowOf(table, child->data(0, kGroupRole).toInt(), child->data(0, kRowRole).toInt());
            if (r >= 0) child->setForeground(1, table.labelColor(r));
        }
    }
}

void ResultsPanel::showGroup(int group, int rowHint) {
    const ResultTableModel& table = *m_model.resultTable();
    const int r = rowOf(table, group, rowHint);
    if (r < 0) return;
    m_shownGroup = group;
    m_shownRow = r;
    const core::Hkl g1{static_cast<int>(table.shownNumber(r, 1)), static_cast<int>(table.shownNumber(r, 2)),
                       static_cast<int>(table.shownNumber(r, 3))};
    const core::Hkl g2{static_cast<int>(table.shownNumber(r, 5)), static_cast<int>(table.shownNumber(r, 6)),
                       static_cast<int>(table.shownNumber(r, 7))};
    emit zoneShown(core::ZoneAxis(g1, g2), g1, g2);
    updateOverlay();
}

std::optional<std::vector<std::optional<double>>> ResultsPanel::familyMatches() const {
    if (!imageFrame()) return std::nullopt;
    std::vector<std::optional<double>> byId;
    byId.reserve(m_familyMatch.size());
    for (double m : m_familyMatch) byId.push_back(m >= 0 ? std::optional<double>(m) : std::nullopt);
    return byId;
}

std::optional<simulation::ImageFrame> ResultsPanel::imageFrame() const {
    const std::optional<core::Raster>& raster = m_measurement.raster();
    const auto r1 = m_measurement.spotLine(1);
    const auto r2 = m_measurement.spotLine(2);
    if (!raster || !r1 || !r2) return std::nullopt;
    // R1 starts at the direct beam; R2 is placed from there with its own direction and length.
    return analysis::imageFrame({r1->x0, r1->y0}, {r1->x1, r1->y1}, m_model.value(model::Field::SegmentsR1),
                                {r1->x0 + (r2->x1 - r2->x0), r1->y0 + (r2->y1 - r2->y0)},
                                m_model.value(model::Field::SegmentsR2), raster->width(), raster->height());
}

bool ResultsPanel::segmentsRefused() const {
    return m_measurement.raster() && m_measurement.spotLine(1) && m_measurement.spotLine(2) && !imageFrame();
}

const std::vector<simulation::PixelPoint>& ResultsPanel::detectedSpots() {
    // Found on the image's values, never on the picture: the display setting changes no match.
    if (m_measurement.imageSerial() != m_detectedSerial) {
        m_detected = m_measurement.raster() ? analysis::detectedSpots(*m_measurement.raster())
                                             : std::vector<simulation::PixelPoint>{};
        m_detectedSerial = m_measurement.imageSerial();
    }
    return m_detected;
}

void ResultsPanel::updateOverlay() {
    const ResultTableModel& table = *m_model.resultTable();
    const int r = m_shownGroup > 0 ? rowOf(table, m_shownGroup, m_shownRow) : -1;
    const std::optional<simulation::ImageFrame> frame = imageFrame();
    const std::optional<indexing::ResultRow> row = r >= 0 ? table.resultRow(r) : std::nullopt;
    if (!row || !frame) {
        emit overlayChanged({}, {});
        emit noteChanged(row && segmentsRefused()
                             ? tr("R1 和 R2 的斑点间距数 N 须为不小于 1 的整数；匹配度未计算")
                             : QString());
        return;
    }
    const core::Hkl& g1 = row->g1;
    const core::Hkl& g2 = row->g2;
    const indexing::IndexingInput& in = m_indexing.lastInput();
    const simulation::ExtinctionRule rule = simulation::runRule(in.latticeType, in.rule);
    const auto pattern = simulation::rowPatternForImage(in.cell, rule, g1, g2, *frame);
    const auto onImage = pattern ? simulation::spotsOnImage(pattern->spots, g1, g2, *frame) : std::nullopt;
    if (!onImage) {
        emit overlayChanged({}, {});
        return;
    }
    const simulation::SpotMatch match =
        simulation::matchSpots(*onImage, detectedSpots(), *frame, simulation::defaultMatchRadius(*frame));
    emit noteChanged(
        tr("%1 在图像上的匹配度 %2：预测斑点 %3/%4 有检出，检出斑点 %5/%6 被预测")
            .arg(ResultTableModel::shownGroupLabel(table.cell(r, 0)), numberText(match.score()))
            .arg(match.predictedFound)
            .arg(match.predictedInside)
            .arg(match.detectedExplained)
            .arg(match.detected));
    if (!m_overlayShown) {
        emit overlayChanged({}, {});
        return;
    }
    std::vector<QPointF> points;
    QStringList labels;
    const bool labelled = onImage->size() == pattern->spots.size();
    const bool four = fourIndexShown();
    for (std::size_t i = 0; i < onImage->size(); ++i) {
        points.emplace_back((*onImage)[i].x, (*onImage)[i].y);
        if (labelled) labels << planeIndices(pattern->spots[i].hkl, four);
    }
    emit overlayChanged(points, labels);
}


void ResultsPanel::exportReport() {
    store::exportResultReport(m_model, m_prompts, store::defaultReportTarget(chosenReportFolder(settingsPath())));
}

bool ResultsPanel::exportResults(bool json) {
    // Proposed: the report's name with the export's extension, in the export folder.
    QString suggested = QFileInfo(store::reportPath(QString(), QDateTime::currentDateTime())).fileName();
    suggested.chop(3);
    suggested += json ? QStringLiteral("json") : QStringLiteral("csv");
    const std::optional<QString> path =
        json ? m_prompts.saveFilePath(tr("导出JSON"), suggested, tr("JSON 文件") + QStringLiteral("|*.json"))
             : m_prompts.saveFilePath(tr("导出CSV"), suggested, tr("CSV 表格") + QStringLiteral("|*.csv"));
    if (!path || path->isEmpty()) return false;

    QByteArray bytes;
    if (json) {
        // With an image the families go by match, as the families view shows them.
        const std::vector<indexing::RankedFamily> families =
            indexing::rankFamilies(m_indexing.lastFamilies(), familyMatches());
        bytes = indexing::jsonBytes(
            indexing::resultJson(m_model, m_indexing, indexing::PatternInput::ScaleBar, families));
    } else {
        bytes = indexing::resultCsv(*m_model.resultTable()).toUtf8();
    }
    const QString shown = QDir::toNativeSeparators(*path);
    QString error;
    if (!store::writeFileAtomic(*path, bytes, &error)) {
        m_prompts.warn(tr("无法写入文件：\n%1\n%2").arg(shown, error), QString());
        return false;
    }
    m_model.showStatus(tr("已导出：%1").arg(shown));
    return true;
}

}  // namespace saed::app
