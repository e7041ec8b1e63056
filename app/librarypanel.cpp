// SPDX-License-Identifier: BSD-3-Clause
#include "app/librarypanel.h"

#include <functional>
#include <utility>

#include <QAction>
#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/programmenu.h"
#include "app/translations.h"
#include "analysis/screening.h"
#include "app/panelwidgets.h"
#include "indexing/indexingoperations.h"
#include "library/libraryoperations.h"
#include "model/mainmodel.h"
#include "library/phaselibrary.h"
#include "model/resulttablemodel.h"
#include "model/texts.h"
#include "store/reports.h"
#include "store/textfile.h"

namespace saed::app {

using model::Caption;
using model::Flag;

namespace {

// Runs an action when the watched widget gets the Delete key.
class DeleteKeyWatcher : public QObject {
public:
    DeleteKeyWatcher(std::function<void()> action, QObject* parent)
        : QObject(parent), m_action(std::move(action)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete &&
            static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
            m_action();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_action;
};

QString hklText(const core::Hkl& p) { return QStringLiteral("{%1 %2 %3}").arg(p[0]).arg(p[1]).arg(p[2]); }

}  // namespace

LibraryPanel::LibraryPanel(model::MainModel& model, model::Prompts& prompts,
                           indexing::IndexingOperations& indexing, QWidget* parent)
    : QGroupBox(tr("点阵库"), parent), m_model(model), m_prompts(prompts), m_indexing(indexing) {
    setObjectName(QStringLiteral("Frame7"));
    auto* layout = new QVBoxLayout(this);
    m_treeView1 = new QTreeWidget;
    m_treeView1->setObjectName(QStringLiteral("TreeView1"));
    m_treeView1->setHeaderHidden(true);
    m_treeView1->setColumnCount(1);
    m_treeView1->setRootIsDecorated(true);
    m_treeView1->setMinimumHeight(130);
    // Parameter nodes are long: the column takes their width and the tree scrolls sideways.
    m_treeView1->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_treeView1->header()->setStretchLastSection(false);
    layout->addWidget(m_treeView1, 1);
    // The space group of a phase is shown as soon as it is selected or ticked.
    m_treeSpaceGroup = new QLabel;
    m_treeSpaceGroup->setObjectName(QStringLiteral("TreeSpaceGroup"));
    m_treeSpaceGroup->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_treeSpaceGroup->setMinimumHeight(m_treeSpaceGroup->fontMetrics().height());  // the tree keeps its height
    layout->addWidget(m_treeSpaceGroup);

    auto* options = new QHBoxLayout;
    m_libraryModes[0] = new QRadioButton(tr("单选"));
    m_libraryModes[0]->setObjectName(QStringLiteral("Option1_0"));
    m_libraryModes[1] = new QRadioButton(tr("多选"));
    m_libraryModes[1]->setObjectName(QStringLiteral("Option1_1"));
    m_libraryModes[0]->setChecked(true);
    auto* importCif = new QPushButton(tr("导入CIF"));
    importCif->setObjectName(QStringLiteral("ImportCif"));
    importCif->setToolTip(tr("从CIF文件或文件夹导入物相（含空间群和原子位置），导入的物相会保存下来"));
    auto* importMenu = new QMenu(importCif);
    importMenu->setObjectName(QStringLiteral("ImportCifMenu"));
    QAction* importFiles = importMenu->addAction(tr("CIF文件…"));
    importFiles->setObjectName(QStringLiteral("ImportCifFiles"));
    QAction* importFolder = importMenu->addAction(tr("CIF文件夹…"));
    importFolder->setObjectName(QStringLiteral("ImportCifFolder"));
    importCif->setMenu(importMenu);
    connect(importFiles, &QAction::triggered, this, [this] { library::importCifFiles(m_model, m_prompts); });
    connect(importFolder, &QAction::triggered, this, [this] { library::importCifFolder(m_model, m_prompts); });
    options->addWidget(importCif);
    m_command13 = new QPushButton(m_model.caption(Caption::Command13));
    m_command13->setObjectName(QStringLiteral("Command13"));
    m_command1 = new QPushButton(tr("取消"));
    m_command1->setObjectName(QStringLiteral("Command1"));
    options->addWidget(m_libraryModes[0]);
    options->addWidget(m_libraryModes[1]);
    options->addStretch(1);
    options->addWidget(m_command13);
    options->addWidget(m_command1);
    layout->addLayout(options);
    auto* info = makeLabel(tr("数据库版本2016.11.29\n"
                              "勾选物相或其点阵参数，再按“计算选中项”逐个标定。\n"
                              "单选：只保留最后勾选的一项；多选：可勾选多项。"));
    info->setObjectName(QStringLiteral("Frame7Info"));
    info->setWordWrap(true);
    layout->addWidget(info);

    // The panel's switches and captions follow the model.
    const auto showFlag = [this](Flag which) {
        if (which == Flag::Frame7Visible) setVisible(m_model.flag(Flag::Frame7Visible));
        if (which == Flag::MultipleChoice) {
            const QSignalBlocker b0(m_libraryModes[0]);
            const QSignalBlocker b1(m_libraryModes[1]);
            m_libraryModes[m_model.flag(Flag::MultipleChoice) ? 1 : 0]->setChecked(true);
        }
    };
    connect(&m_model, &model::MainModel::flagChanged, this, showFlag);
    showFlag(Flag::Frame7Visible);
    showFlag(Flag::MultipleChoice);
    connect(&m_model, &model::MainModel::captionChanged, this, [this](Caption which) {
        if (which != Caption::Command13) return;
        m_command13->setText(model::translatedText(m_model.caption(Caption::Command13)));
        // The screening blocks the window: show the busy caption before it starts.
        m_command13->repaint();
    });
    m_command13->setText(model::translatedText(m_model.caption(Caption::Command13)));

    connect(m_command1, &QPushButton::clicked, this, [this] { library::hideLibraryPanel(m_model); });
    connect(m_libraryModes[1], &QRadioButton::toggled, this,
            [this](bool multiple) { m_model.setFlag(Flag::MultipleChoice, multiple); });

    // The tree shows the model's library: rebuilt with it, ticks as the model holds them.
    library::PhaseLibrary* phases = library::phaseLibrary(m_model);
    connect(phases, &library::PhaseLibrary::treeRebuilt, this, &LibraryPanel::showPhaseTree);
    connect(phases, &library::PhaseLibrary::ticksChanged, this, &LibraryPanel::showTreeTicks);
    connect(m_treeView1, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column != 0) return;
        const int node = item->data(0, Qt::UserRole).toInt();
        if (node < 0 || node >= phaseTree().nodeCount()) return;
        const bool ticked = item->checkState(0) == Qt::Checked;
        if (ticked == phaseTree().node(node).ticked) return;
        library::tickChanged(m_model, node, ticked);
        if (ticked) showNodeSpaceGroup(item);
    });
    connect(m_treeView1, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { showNodeSpaceGroup(current); });

    // Imported phases can be removed: the tree's menu, or the Delete key.
    auto* remove = new QAction(tr("删除导入的物相"), m_treeView1);
    remove->setObjectName(QStringLiteral("RemoveImportedPhase"));
    remove->setShortcut(QKeySequence(Qt::Key_Delete));  // shown in the menu; the key is watched below
    connect(remove, &QAction::triggered, this, &LibraryPanel::removeCurrentImportedPhases);
    m_treeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_treeView1, &QWidget::customContextMenuRequested, this, [this, remove](const QPoint& position) {
        QTreeWidgetItem* item = m_treeView1->itemAt(position);
        if (!item) return;
        m_treeView1->setCurrentItem(item);
        const bool removable = !library::removableRecords(m_model, item->data(0, Qt::UserRole).toInt()).empty();
        remove->setEnabled(removable);
        remove->setToolTip(removable ? QString() : tr("内置物相不能删除"));
        QMenu menu(this);
        menu.setObjectName(QStringLiteral("TreeMenu"));
        menu.setToolTipsVisible(true);
        menu.addAction(remove);
        menu.exec(m_treeView1->viewport()->mapToGlobal(position));
    });
    m_treeView1->installEventFilter(new DeleteKeyWatcher([this] { removeCurrentImportedPhases(); }, this));

    // The screening runs each phase on the indexing worker; a long one shows its progress with a
    // cancel button (Esc cancels too), and the window keeps repainting.
    m_screening = new analysis::ScreeningRun(m_model, m_prompts, m_indexing, this);
    QProgressDialog* progress =
        makeProgressDialog(this, tr("正在筛选……"), tr("筛选"), QStringLiteral("ScreeningProgress"));
    connect(m_screening, &analysis::ScreeningRun::progress, progress, [progress](int percent, const QString& phase) {
        progress->setLabelText(phase);
        progress->setValue(percent);
    });
    connect(progress, &QProgressDialog::canceled, m_screening, &analysis::ScreeningRun::cancel);
    connect(m_screening, &analysis::ScreeningRun::finished, this, [this, progress](bool completed) {
        progress->reset();
        progress->hide();
        screeningFinished(completed);
    });
    // The screening runs the same indexing run as 标定计算, once per ticked phase.
    connect(m_command13, &QPushButton::clicked, this, &LibraryPanel::screenTickedPhases);
}

LibraryPanel::~LibraryPanel() {
    delete m_screening;
    delete m_rankingWindow;
}

const library::PhaseTree& LibraryPanel::phaseTree() const { return library::phaseLibrary(m_model)->tree(); }

const std::vector<library::CrystalPhase>& LibraryPanel::libraryCrystals() const {
    return library::phaseLibrary(m_model)->crystals();
}

bool LibraryPanel::loadLibrary() { return library::loadPhaseLibrary(m_model, m_prompts); }

void LibraryPanel::setImportedPhasesPath(const QString& path) {
    library::phaseLibrary(m_model)->setImportedPath(path);
    loadLibrary();
}

void LibraryPanel::importCifPaths(const QStringList& paths) { library::importCifPaths(m_model, m_prompts, paths); }

void LibraryPanel::removeCurrentImportedPhases() {
    QTreeWidgetItem* item = m_treeView1->currentItem();
    if (!item) return;
    library::removeImportedPhases(m_model, m_prompts, item->data(0, Qt::UserRole).toInt());
}

void LibraryPanel::setScreeningEnabled(bool enabled) { m_command13->setEnabled(enabled); }

void LibraryPanel::closeRanking() {
    if (m_rankingWindow != nullptr) m_rankingWindow->close();
}

void LibraryPanel::showNodeSpaceGroup(QTreeWidgetItem* item) {
    if (!item || !item->parent()) {
        m_treeSpaceGroup->clear();
        return;
    }
    const QString group = library::nodeSpaceGroup(m_model, item->data(0, Qt::UserRole).toInt());
    m_treeSpaceGroup->setText(group.isEmpty() ? tr("空间群：无（按点阵类型消光）") : tr("空间群：%1").arg(group));
}

void LibraryPanel::screenTickedPhases() {
    if (m_screening->isRunning() || m_indexing.isRunning()) return;
    emit magnifierCloseRequested();
    analysis::ScreeningRequest request = analysis::screeningRequest(m_model);
    indexing::IndexingOperations* run = &m_indexing;
    // The screening needs each run's rows for its ranking; the window keeps them only meanwhile.
    run->setKeepLastRows(true);
    request.lastRows = [run]() -> const std::vector<indexing::ResultRow>& { return run->lastRows(); };
    if (!m_screening->start(std::move(request), store::defaultReportTarget(chosenReportFolder(settingsPath())))) {
        run->setKeepLastRows(false);
        return;
    }
    m_command13->setEnabled(false);
    emit screeningStarted();
}

void LibraryPanel::screeningFinished(bool completed) {
    m_indexing.setKeepLastRows(false);
    m_command13->setEnabled(true);
    emit screeningEnded();
    const std::optional<analysis::ScreeningOutcome>& outcome = m_screening->outcome();
    if (completed && outcome && outcome->phases.size() > 1) showScreeningRanking(*outcome);
}

std::optional<core::Uvw> LibraryPanel::rankedZone(int record) const {
    const auto* table =
        m_rankingWindow ? m_rankingWindow->findChild<QTableWidget*>(QStringLiteral("RankingTable")) : nullptr;
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

// A list of the screened phases, best first, beside the main window. Enter or a double click on
// a phase asks for its simulated pattern.
void LibraryPanel::showScreeningRanking(const analysis::ScreeningOutcome& outcome) {
    if (!m_rankingWindow) {
        // A window of its own, not kept above the main window, so that the simulation it opens
        // is not hidden behind it; the panel deletes it, and it closes with the main window.
        m_rankingWindow = new QDialog(nullptr, Qt::Window);
        m_rankingWindow->setObjectName(QStringLiteral("ScreeningRanking"));
        m_rankingWindow->setWindowTitle(
            tr("筛选排名"));
        auto* layout = new QVBoxLayout(m_rankingWindow);
        auto* table = new QTableWidget;
        table->setObjectName(QStringLiteral("RankingTable"));
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setSelectionMode(QAbstractItemView::SingleSelection);
        table->verticalHeader()->hide();
        table->horizontalHeader()->setStretchLastSection(true);
        layout->addWidget(table, 1);
        auto* note = new QLabel(tr(
            "按最佳解族的失配度排序（越小越好）；双击或回车打开该物相的模拟花样。"));
        note->setWordWrap(true);
        layout->addWidget(note);
        const auto open = [this, table] {
            const int row = table->currentRow();
            if (row < 0) return;
            // The simulation tab takes it from here.
            emit phaseSimulationRequested(table->item(row, 0)->data(Qt::UserRole).toInt());
        };
        connect(table, &QTableWidget::cellDoubleClicked, m_rankingWindow, open);
        connect(table, &QTableWidget::cellActivated, m_rankingWindow, open);
        m_rankingWindow->resize(860, 420);
    }
    auto* table = m_rankingWindow->findChild<QTableWidget*>(QStringLiteral("RankingTable"));
    const QStringList headers = {tr("名次"), tr("物相"), tr("来源"), tr("解数"), tr("晶带轴"),
                                 QStringLiteral("{g1}"), QStringLiteral("{g2}"), QStringLiteral("{g3}"),
                                 tr("失配度"), tr("族中行数")};
    table->clear();
    table->setColumnCount(static_cast<int>(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    const std::vector<std::size_t> order = analysis::rankedOrder(outcome.phases);
    table->setRowCount(static_cast<int>(order.size()));
    int row = 0;
    for (std::size_t i : order) {
        const analysis::ScreenedPhase& phase = outcome.phases[i];
        // A phase may be both built in and imported: the source tells the two apart.
        QStringList cells = {QString::number(row + 1), model::translatedPhaseLabel(phase.description),
                             phase.imported ? tr("导入") : tr("内置"), QString::number(phase.rows)};
        if (phase.best) {
            const indexing::SolutionFamily& f = *phase.best;
            cells << QStringLiteral("<%1 %2 %3>").arg(f.zone[0]).arg(f.zone[1]).arg(f.zone[2]) << hklText(f.forms[0])
                  << hklText(f.forms[1]) << hklText(f.forms[2])
                  << QString::number(f.misfit, 'f', 3) + (phase.doubleDiffraction ? store::fromStd(" ※") : QString())
                  << QString::number(static_cast<qulonglong>(f.rowCount));
        } else {
            cells << QStringLiteral("—") << QString() << QString() << QString() << QString() << QString();
        }
        for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == 0) {
                // The record and its best family's zone, for opening the phase in the simulation.
                item->setData(Qt::UserRole, phase.record);
                if (phase.best)
                    item->setData(Qt::UserRole + 1, QVariantList{QVariant::fromValue(phase.best->zone[0]),
                                                                 QVariant::fromValue(phase.best->zone[1]),
                                                                 QVariant::fromValue(phase.best->zone[2])});
            }
            if (phase.doubleDiffraction) item->setToolTip(model::ResultTableModel::doubleDiffractionTip());
            table->setItem(row, c, item);
        }
        ++row;
    }
    table->resizeColumnsToContents();
    if (table->rowCount() > 0) table->selectRow(0);
    m_rankingWindow->show();
    m_rankingWindow->raise();
}

void LibraryPanel::showPhaseTree() {
    const library::PhaseTree& tree = phaseTree();
    const QSignalBlocker blocker(m_treeView1);
    m_treeView1->clear();
    m_treeItems.clear();
    m_treeSpaceGroup->clear();
    for (int i = 0; i < tree.nodeCount(); ++i) {
        const library::TreeNode& node = tree.node(i);
        QTreeWidgetItem* item =
            node.parent < 0
                ? new QTreeWidgetItem(m_treeView1)
                : new QTreeWidgetItem(m_treeItems[static_cast<std::size_t>(node.parent)]);
        // The root's name is the program's; the phases below are the library's own texts.
        item->setText(0, node.parent < 0 ? tr("物相", "library root")
                                         : QString::fromStdString(node.text));
        item->setToolTip(0, item->text(0));
        if (node.parent >= 0 && !library::removableRecords(m_model, i).empty())
            item->setToolTip(0, item->text(0) + tr("\n导入的物相，可按Delete键删除"));
        item->setData(0, Qt::UserRole, i);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, node.ticked ? Qt::Checked : Qt::Unchecked);
        m_treeItems.push_back(item);
    }
    for (int i = 0; i < tree.nodeCount(); ++i)
        m_treeItems[static_cast<std::size_t>(i)]->setExpanded(tree.node(i).expanded);
}

void LibraryPanel::showTreeTicks() {
    const library::PhaseTree& tree = phaseTree();
    const QSignalBlocker blocker(m_treeView1);
    for (int i = 0; i < tree.nodeCount(); ++i)
        m_treeItems[static_cast<std::size_t>(i)]->setCheckState(
            0, tree.node(i).ticked ? Qt::Checked : Qt::Unchecked);
}

}  // namespace saed::app
