// SPDX-License-Identifier: BSD-3-Clause
// The phase library panel ("点阵库"): the tree of phases with their ticks, the CIF import and the
// removal of imported phases, and the screening of the ticked phases with its ranking window.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QGroupBox>

#include "core/lattice.h"
#include "library/crystalphase.h"
#include "library/phasetree.h"
#include "analysis/screening.h"
#include "model/prompts.h"

class QDialog;
class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace saed::model {
class MainModel;
}  // namespace saed::model

namespace saed::indexing {
class IndexingOperations;
}  // namespace saed::indexing

namespace saed::app {

class LibraryPanel : public QGroupBox {
    Q_OBJECT

public:
    // The screening runs each ticked phase through `indexing`, the window's run.
    LibraryPanel(model::MainModel& model, model::Prompts& prompts, indexing::IndexingOperations& indexing,
                 QWidget* parent = nullptr);
    // A screening still going stops first; its report goes back to how it was.
    ~LibraryPanel() override;

    // Reads the library and the imported phases and shows the tree; false when the library text
    // stops the build (the panel then stays as it is).
    bool loadLibrary();
    // The tree shown: records, field table and ticked nodes (held by the model).
    const library::PhaseTree& phaseTree() const;
    // The crystal phases after the nine-field records (built-in set, then imported ones).
    const std::vector<library::CrystalPhase>& libraryCrystals() const;
    // Another file for the imported phases; the tree is built again from it.
    void setImportedPhasesPath(const QString& path);
    // "导入CIF" of these files and folders: see library::importCifPaths.
    void importCifPaths(const QStringList& paths);
    // "删除导入的物相" (the tree's menu, or the Delete key): removes the imported phases of the
    // current tree item after the user confirmed.
    void removeCurrentImportedPhases();
    // The zone of record `record`'s best family in the ranking list; none when the list does not
    // hold the record or it has no family.
    std::optional<core::Uvw> rankedZone(int record) const;
    // "计算选中项" can be pressed (not while a run goes on).
    void setScreeningEnabled(bool enabled);
    // Closes the ranking window (the main window closes).
    void closeRanking();

    QTreeWidget* treeView1() const { return m_treeView1; }
    QDialog* rankingWindow() const { return m_rankingWindow; }
    analysis::ScreeningRun* screeningRun() const { return m_screening; }

signals:
    // A screening is about to start: the magnifier goes.
    void magnifierCloseRequested();
    // A screening started (the run button waits) and ended; the table then holds the last
    // phase's rows.
    void screeningStarted();
    void screeningEnded();
    // The user asked for the simulated pattern of a screened phase (library record `record`,
    // from 1) along its best zone.
    void phaseSimulationRequested(int record);

private:
    void showPhaseTree();
    void showTreeTicks();
    void showNodeSpaceGroup(QTreeWidgetItem* item);
    // "计算选中项": the screening of the ticked phases on the worker, then the ranking when several
    // were screened.
    void screenTickedPhases();
    void screeningFinished(bool completed);
    void showScreeningRanking(const analysis::ScreeningOutcome& outcome);

    model::MainModel& m_model;
    model::Prompts& m_prompts;
    indexing::IndexingOperations& m_indexing;
    QTreeWidget* m_treeView1 = nullptr;
    QLabel* m_treeSpaceGroup = nullptr;  // the space group of the tree's current or ticked phase
    std::array<QRadioButton*, 2> m_libraryModes{};  // Option1(0) "单选", Option1(1) "多选"
    QPushButton* m_command13 = nullptr;
    QPushButton* m_command1 = nullptr;
    QDialog* m_rankingWindow = nullptr;
    analysis::ScreeningRun* m_screening = nullptr;
    std::vector<QTreeWidgetItem*> m_treeItems;  // TreeView1's items in node index order
};

}  // namespace saed::app
