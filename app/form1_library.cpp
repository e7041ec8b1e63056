// How the main window's library controls reach their operations.
#include "app/form1.h"

#include "app/elidedlabel.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>  // for translate
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>
#include <memory>

#include "indexing/indexingoperations.h"
#include "library/builtinphases.h"
#include "library/crystallibrary.h"
#include "library/libraryoperations.h"
#include "library/phasetexts.h"
#include "model/mainmodel.h"
#include "library/phaselibrary.h"
#include "model/resulttablemodel.h"
#include "model/texts.h"
#include "store/reports.h"
#include "store/textfile.h"

namespace saed::app {

namespace {

// Runs an action whenever the watched widget receives the focus.
class FocusInWatcher : public QObject {
public:
    FocusInWatcher(std::function<void()> action, QObject* parent)
        : QObject(parent), m_action(std::move(action)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) m_action();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_action;
};

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

void Form1::connectLibrary() {
    connect(m_label10, &ClickableLabel::clicked, this,
            [this] { library::toggleLibraryPanel(m_model); });
    connect(m_command1, &QPushButton::clicked, this,
            [this] { library::hideLibraryPanel(m_model); });
    connect(m_label20, &ClickableLabel::clicked, this,
            [this] { library::toggleCustomPhase(m_model); });
    m_text6->installEventFilter(
        new FocusInWatcher([this] { library::text6FocusIn(m_model); }, this));
    connect(m_libraryModes[1], &QRadioButton::toggled, this,
            [this](bool multiple) { m_model.setFlag(Flag::MultipleChoice, multiple); });
    connect(m_doubleDiffraction, &QCheckBox::toggled, this,
            [this](bool on) { m_model.setFlag(Flag::DoubleDiffraction, on); });
    const auto showSpaceGroup = [this] {
        const QString group = m_model.spaceGroupText();
        m_spaceGroupLabel->setFullText(
            group.isEmpty() ? QString()
                            : QCoreApplication::translate("saed::app::Form1", "空间群 ") + group);
        m_combo1->setToolTip(
            group.isEmpty()
                ? QCoreApplication::translate("saed::app::Form1", "按空间群：当前物相没有空间群")
                : QCoreApplication::translate("saed::app::Form1", "按空间群：") + group);
    };
    connect(&m_model, &MainModel::spaceGroupChanged, this, showSpaceGroup);
    showSpaceGroup();

    // The tree shows the model's library: rebuilt with it, ticks as the model holds them.
    library::PhaseLibrary* phases = library::phaseLibrary(m_model);
    connect(phases, &library::PhaseLibrary::treeRebuilt, this, &Form1::showPhaseTree);
    connect(phases, &library::PhaseLibrary::ticksChanged, this, &Form1::showTreeTicks);
    connect(m_treeView1, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int column) {
                if (column != 0) return;
                const int node = item->data(0, Qt::UserRole).toInt();
                if (node < 0 || node >= phaseTree().nodeCount()) return;
                const bool ticked = item->checkState(0) == Qt::Checked;
                if (ticked == phaseTree().node(node).ticked) return;
                library::tickChanged(m_model, node, ticked);
                if (ticked) showNodeSpaceGroup(item);
            });

    // The space group of a phase is shown as soon as it is selected or ticked.
    m_treeSpaceGroup = new QLabel;
    m_treeSpaceGroup->setObjectName(QStringLiteral("TreeSpaceGroup"));
    m_treeSpaceGroup->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_treeSpaceGroup->setMinimumHeight(m_treeSpaceGroup->fontMetrics().height());  // the tree keeps its height
    if (auto* layout = qobject_cast<QBoxLayout*>(m_frame7->layout()))
        layout->insertWidget(layout->indexOf(m_treeView1) + 1, m_treeSpaceGroup);
    connect(m_treeView1, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { showNodeSpaceGroup(current); });

    // Imported phases can be removed: the tree's menu, or the Delete key.
    auto* remove = new QAction(tr("删除导入的物相"), m_treeView1);
    remove->setObjectName(QStringLiteral("RemoveImportedPhase"));
    remove->setShortcut(QKeySequence(Qt::Key_Delete));  // shown in the menu; the key is watched below
    connect(remove, &QAction::triggered, this, &Form1::removeCurrentImportedPhases);
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
    m_screening = new analysis::ScreeningRun(m_model, m_prompts, *m_indexing, this);
    QProgressDialog* progress = makeProgressDialog(tr("正在筛选……"), tr("筛选"), QStringLiteral("ScreeningProgress"));
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
}

const library::PhaseTree& Form1::phaseTree() const { return library::phaseLibrary(m_model)->tree(); }

const std::vector<library::CrystalPhase>& Form1::libraryCrystals() const {
    return library::phaseLibrary(m_model)->crystals();
}

// Start-up step 1: the library tree, shown in TreeView1.
bool Form1::buildLibraryTree() { return library::loadPhaseLibrary(m_model, m_prompts); }

void Form1::setImportedPhasesPath(const QString& path) {
    library::phaseLibrary(m_model)->setImportedPath(path);
    buildLibraryTree();
}

void Form1::importCifPaths(const QStringList& paths) { library::importCifPaths(m_model, m_prompts, paths); }

void Form1::removeCurrentImportedPhases() {
    QTreeWidgetItem* item = m_treeView1->currentItem();
    if (!item) return;
    library::removeImportedPhases(m_model, m_prompts, item->data(0, Qt::UserRole).toInt());
}

void Form1::showNodeSpaceGroup(QTreeWidgetItem* item) {
    if (!item || !item->parent()) {
        m_treeSpaceGroup->clear();
        return;
    }
    const QString group = library::nodeSpaceGroup(m_model, item->data(0, Qt::UserRole).toInt());
    m_treeSpaceGroup->setText(group.isEmpty() ? tr("空间群：无（按点阵类型消光）") : tr("空间群：%1").arg(group));
}

void Form1::screenTickedPhases() {
    if (m_screening->isRunning() || m_indexing->isRunning()) return;
    emit magnifierCloseRequested();
    analysis::ScreeningRequest request = analysis::screeningRequest(m_model);
    indexing::IndexingOperations* indexing = m_indexing;
    // The screening needs each run's rows for its ranking; the window keeps them only meanwhile.
    indexing->setKeepLastRows(true);
    request.lastRows = [indexing]() -> const std::vector<indexing::ResultRow>& { return indexing->lastRows(); };
    if (!m_screening->start(std::move(request), store::defaultReportTarget())) {
        indexing->setKeepLastRows(false);
        return;
    }
    m_command6->setEnabled(false);
    m_command13->setEnabled(false);
}

void Form1::screeningFinished(bool completed) {
    m_indexing->setKeepLastRows(false);
    m_command6->setEnabled(true);
    m_command13->setEnabled(true);
    // The table holds the last phase's rows: the families view follows them.
    rebuildFamilies();
    const std::optional<analysis::ScreeningOutcome>& outcome = m_screening->outcome();
    if (completed && outcome && outcome->phases.size() > 1) showScreeningRanking(*outcome);
}

// A list of the screened phases, best first, beside the main window. Enter or a double click on
// a phase asks for its simulated pattern.
void Form1::showScreeningRanking(const analysis::ScreeningOutcome& outcome) {
    if (!m_rankingWindow) {
        // A window of its own, not kept above the main window, so that the simulation it opens
        // is not hidden behind it; the main window deletes it and closes it on exit.
        m_rankingWindow = new QDialog(nullptr, Qt::Window);
        m_rankingWindow->setObjectName(QStringLiteral("ScreeningRanking"));
        m_rankingWindow->setWindowTitle(
            QCoreApplication::translate("saed::app::Form1", "筛选排名"));
        auto* layout = new QVBoxLayout(m_rankingWindow);
        auto* table = new QTableWidget;
        table->setObjectName(QStringLiteral("RankingTable"));
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setSelectionMode(QAbstractItemView::SingleSelection);
        table->verticalHeader()->hide();
        table->horizontalHeader()->setStretchLastSection(true);
        layout->addWidget(table, 1);
        auto* note = new QLabel(QCoreApplication::translate(
            "saed::app::Form1",
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
    const QStringList headers = {QCoreApplication::translate("saed::app::Form1", "名次"), QCoreApplication::translate("saed::app::Form1", "物相"), QCoreApplication::translate("saed::app::Form1", "来源"), QCoreApplication::translate("saed::app::Form1", "解数"), QCoreApplication::translate("saed::app::Form1", "晶带轴"),
                                 QStringLiteral("{g1}"), QStringLiteral("{g2}"), QStringLiteral("{g3}"),
                                 QCoreApplication::translate("saed::app::Form1", "失配度"), QCoreApplication::translate("saed::app::Form1", "族中行数")};
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

void Form1::showPhaseTree() {
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
        item->setText(0, node.parent < 0 ? QCoreApplication::translate("saed::app::Form1", "物相", "library root")
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

void Form1::showTreeTicks() {
    const library::PhaseTree& tree = phaseTree();
    const QSignalBlocker blocker(m_treeView1);
    for (int i = 0; i < tree.nodeCount(); ++i)
        m_treeItems[static_cast<std::size_t>(i)]->setCheckState(
            0, tree.node(i).ticked ? Qt::Checked : Qt::Unchecked);
}

}  // namespace saed::app
