// How the main window's library controls reach their operations.
#include "app/form1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>  // for translate
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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
#include "library/phaseranking.h"
#include "model/mainmodel.h"
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

// Every block ticked unless the user unticks it; none when the dialog is cancelled.
std::optional<std::vector<bool>> askForBlocks(QWidget* parent, const QStringList& labels) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QCoreApplication::translate("saed::app::Form1", "导入CIF"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(
        QCoreApplication::translate("saed::app::Form1", "读到%1个数据块，请勾选要导入的物相：")
            .arg(labels.size())));
    auto* list = new QListWidget;
    for (const QString& label : labels) {
        auto* item = new QListWidgetItem(label, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    layout->addWidget(list, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(520, 360);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    std::vector<bool> chosen;
    for (int i = 0; i < list->count(); ++i) chosen.push_back(list->item(i)->checkState() == Qt::Checked);
    return chosen;
}

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
        m_spaceGroupLabel->setText(
            group.isEmpty() ? QString()
                            : QCoreApplication::translate("saed::app::Form1", "空间群 ") + group);
        m_spaceGroupLabel->setToolTip(m_spaceGroupLabel->text());
        m_combo1->setToolTip(
            group.isEmpty()
                ? QCoreApplication::translate("saed::app::Form1", "按空间群：当前物相没有空间群")
                : QCoreApplication::translate("saed::app::Form1", "按空间群：") + group);
    };
    connect(&m_model, &MainModel::spaceGroupChanged, this, showSpaceGroup);
    showSpaceGroup();
    if (!chooseBlocks) chooseBlocks = [this](const QStringList& labels) { return askForBlocks(this, labels); };
    if (m_importedPhasesPath.isEmpty()) m_importedPhasesPath = library::importedPhasesPath();
    connect(m_treeView1, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int column) {
                if (column != 0) return;
                const int node = item->data(0, Qt::UserRole).toInt();
                if (node < 0 || node >= m_phaseTree.nodeCount()) return;
                const bool ticked = item->checkState(0) == Qt::Checked;
                if (ticked == m_phaseTree.node(node).ticked) return;
                library::tickChanged(m_model, m_phaseTree, node, ticked);
                showTreeTicks();
            });
}

// Start-up step 1: the library tree, shown in TreeView1.
// The nine-field records first, as they are, then the built-in crystal phases and the imported
// ones.
bool Form1::buildLibraryTree() {
    if (m_importedPhasesPath.isEmpty()) m_importedPhasesPath = library::importedPhasesPath();
    const library::ImportedPhasesRead imported = library::readImportedPhases(m_importedPhasesPath);
    m_importedUnreadable = !imported.error.isEmpty();
    if (m_importedUnreadable)
        m_prompts.warn(
            QCoreApplication::translate("saed::app::Form1", "导入的物相无法读取，本次不显示：\n") +
                imported.error,
            QString());
    m_importedPhases = imported.phases;
    m_libraryCrystals = library::builtInPhases();
    m_libraryCrystals.insert(m_libraryCrystals.end(), m_importedPhases.begin(), m_importedPhases.end());
    m_nineFieldRecords = static_cast<int>(library::parseLibraryText(library::kLibraryText).records.size());
    const std::string text = std::string(library::kLibraryText) + library::libraryRecords(m_libraryCrystals);
    const bool built = library::BuildPhaseTree(m_model, m_phaseTree, text);
    showPhaseTree();
    return built;
}

void Form1::setImportedPhasesPath(const QString& path) {
    m_importedPhasesPath = path;
    buildLibraryTree();
}

void Form1::importCifPaths(const QStringList& paths) {
    const library::CifPathsRead read = library::readCifPaths(paths);
    if (read.phases.empty()) {
        m_prompts.warn(QCoreApplication::translate("saed::app::Form1", "无法导入CIF：\n") +
                           read.errors.join(QLatin1Char('\n')),
                       QString());
        return;
    }
    std::vector<library::CrystalPhase> chosen = read.phases;
    if (read.phases.size() > 1) {
        QStringList labels;
        for (const library::CrystalPhase& p : read.phases)
            labels.push_back(QStringLiteral("%1    %2    (%3)")
                                 .arg(QString::fromStdString(p.name), QString::fromStdString(library::spaceGroupLabel(p)),
                                      QString::fromStdString(p.source)));
        const std::optional<std::vector<bool>> ticks = chooseBlocks(labels);
        if (!ticks) return;
        chosen.clear();
        for (std::size_t i = 0; i < read.phases.size() && i < ticks->size(); ++i)
            if ((*ticks)[i]) chosen.push_back(read.phases[i]);
        if (chosen.empty()) return;
    }
    std::vector<library::CrystalPhase> kept = m_importedPhases;
    const std::size_t added = library::mergePhases(kept, chosen);
    // A kept file that could not be read is not overwritten unseen: it is copied aside first.
    const QString aside = m_importedPhasesPath + QStringLiteral(".unreadable");
    if (added > 0 && m_importedUnreadable && QFile::exists(m_importedPhasesPath)) {
        QFile::remove(aside);
        if (!QFile::copy(m_importedPhasesPath, aside)) {
            m_prompts.warn(QCoreApplication::translate("saed::app::Form1",
                                                       "无法备份无法读取的物相文件，未导入：\n") +
                               QDir::toNativeSeparators(m_importedPhasesPath),
                           QString());
            return;
        }
    }
    if (added > 0 && !library::writeImportedPhases(m_importedPhasesPath, kept)) {
        m_prompts.warn(
            QCoreApplication::translate("saed::app::Form1", "无法保存导入的物相，未导入：\n") +
                QDir::toNativeSeparators(m_importedPhasesPath),
            QString());
        return;
    }
    if (added > 0) {
        m_importedUnreadable = false;
        buildLibraryTree();
    }
    m_model.setFlag(Flag::Frame7Visible, true);
    m_model.showStatus(
        QCoreApplication::translate("saed::app::Form1", "导入了%1个物相（%2个已在库中）")
            .arg(added)
            .arg(chosen.size() - added));
    if (!read.errors.isEmpty())
        m_prompts.warn(QCoreApplication::translate("saed::app::Form1", "以下CIF未能导入：\n") +
                           read.errors.join(QLatin1Char('\n')),
                       QString());
}

void Form1::screenTickedPhases() {
    emit magnifierCloseRequested();
    library::ScreeningRequest request =
        library::screeningRequest(m_phaseTree, m_model.flag(Flag::MultipleChoice));
    for (int r = 1; r <= m_phaseTree.recordCount(); ++r) {
        const int crystal = r - m_nineFieldRecords - 1;
        request.crystals.push_back(crystal >= 0 && crystal < static_cast<int>(m_libraryCrystals.size())
                                       ? std::make_shared<const library::CrystalPhase>(
                                             m_libraryCrystals[static_cast<std::size_t>(crystal)])
                                       : nullptr);
    }
    indexing::IndexingOperations* indexing = m_indexing;
    // The screening needs each run's rows for its ranking; the window keeps them only meanwhile.
    indexing->setKeepLastRows(true);
    request.lastRows = [indexing]() -> const std::vector<indexing::ResultRow>& { return indexing->lastRows(); };
    const std::optional<library::ScreeningOutcome> outcome = library::screenSelectedPhases(
        m_model, m_prompts, request, [indexing] { indexing->RunIndexing(); }, store::defaultReportTarget());
    indexing->setKeepLastRows(false);
    if (outcome && outcome->phases.size() > 1) showScreeningRanking(*outcome);
}

// A list of the screened phases, best first, beside the main window. Enter or a double click on
// a phase asks for its simulated pattern.
void Form1::showScreeningRanking(const library::ScreeningOutcome& outcome) {
    if (!m_rankingWindow) {
        m_rankingWindow = new QDialog(this);
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
    const QStringList headers = {QCoreApplication::translate("saed::app::Form1", "名次"),
                                 QCoreApplication::translate("saed::app::Form1", "物相"),
                                 QCoreApplication::translate("saed::app::Form1", "解数"),
                                 QCoreApplication::translate("saed::app::Form1", "晶带轴"),
                                 QStringLiteral("{g1}"),
                                 QStringLiteral("{g2}"),
                                 QStringLiteral("{g3}"),
                                 QCoreApplication::translate("saed::app::Form1", "失配度"),
                                 QCoreApplication::translate("saed::app::Form1", "族中行数")};
    table->clear();
    table->setColumnCount(static_cast<int>(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    const std::vector<std::size_t> order = library::rankedOrder(outcome.phases);
    table->setRowCount(static_cast<int>(order.size()));
    int row = 0;
    for (std::size_t i : order) {
        const library::ScreenedPhase& phase = outcome.phases[i];
        QStringList cells = {QString::number(row + 1), model::translatedPhaseLabel(phase.description),
                             QString::number(phase.rows)};
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
            if (c == 0) item->setData(Qt::UserRole, phase.record);
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
    const QSignalBlocker blocker(m_treeView1);
    m_treeView1->clear();
    m_treeItems.clear();
    for (int i = 0; i < m_phaseTree.nodeCount(); ++i) {
        const library::TreeNode& node = m_phaseTree.node(i);
        QTreeWidgetItem* item =
            node.parent < 0
                ? new QTreeWidgetItem(m_treeView1)
                : new QTreeWidgetItem(m_treeItems[static_cast<std::size_t>(node.parent)]);
        // The root's name is the program's; the phases below are the library's own texts.
        item->setText(0, node.parent < 0 ? QCoreApplication::translate("saed::app::Form1", "物相", "library root")
                                         : QString::fromStdString(node.text));
        item->setToolTip(0, item->text(0));
        item->setData(0, Qt::UserRole, i);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, node.ticked ? Qt::Checked : Qt::Unchecked);
        m_treeItems.push_back(item);
    }
    for (int i = 0; i < m_phaseTree.nodeCount(); ++i)
        m_treeItems[static_cast<std::size_t>(i)]->setExpanded(m_phaseTree.node(i).expanded);
}

void Form1::showTreeTicks() {
    const QSignalBlocker blocker(m_treeView1);
    for (int i = 0; i < m_phaseTree.nodeCount(); ++i)
        m_treeItems[static_cast<std::size_t>(i)]->setCheckState(
            0, m_phaseTree.node(i).ticked ? Qt::Checked : Qt::Unchecked);
}

}  // namespace saed::app
