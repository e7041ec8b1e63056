// SPDX-License-Identifier: BSD-3-Clause
// The phase library as the window shows it: the check-box tree, the crystal phases behind its
// records and the imported ones with the file that keeps them.
#pragma once

#include <string_view>
#include <vector>

#include <QObject>
#include <QString>

#include "library/crystalphase.h"
#include "library/phasetree.h"

namespace saed::model {
class MainModel;
}  // namespace saed::library

namespace saed::library {

// Where a library record comes from.
enum class PhaseSource {
    LibraryText,  // the nine-field records, no space group
    BuiltIn,      // the built-in crystal phases
    Imported,     // phases imported from CIF files, kept in the imported-phases file
};

class PhaseLibrary;

// The phase library of the working data `model`: one per model, made on first use as its child,
// so that the window, the command line and the tests each find it beside their fields.
PhaseLibrary* phaseLibrary(const model::MainModel& model);

class PhaseLibrary : public QObject {
    Q_OBJECT

public:
    explicit PhaseLibrary(QObject* parent = nullptr);

    const PhaseTree& tree() const { return m_tree; }
    // Builds the tree from `libraryText` (see PhaseTree::build) and emits treeRebuilt, whether
    // or not the text was whole.
    bool buildTree(std::string_view libraryText);
    // The user set the tick of `node`; emits ticksChanged. A node outside the tree is ignored.
    void tickChanged(int node, bool state, bool multipleChoice);

    // The crystal phases after the nine-field records: `builtIn` then `imported`. The tree is
    // not rebuilt; call buildTree with the matching text.
    void setPhases(int nineFieldRecords, std::vector<CrystalPhase> builtIn,
                   std::vector<CrystalPhase> imported);
    int nineFieldRecords() const { return m_nineFieldRecords; }
    // Built-in phases, then imported ones, in record order after the nine-field records.
    const std::vector<CrystalPhase>& crystals() const { return m_crystals; }
    const std::vector<CrystalPhase>& importedPhases() const { return m_imported; }
    int builtInCount() const { return static_cast<int>(m_crystals.size() - m_imported.size()); }

    // The crystal phase of record r (from 1); none for a nine-field record or a number outside
    // the library.
    const CrystalPhase* crystal(int record) const;
    PhaseSource source(int record) const;
    // Position of record r in importedPhases(), -1 when it is not an imported phase.
    int importedIndex(int record) const;
    // Record numbers (from 1) under tree node `node`: the node's own for a parameter node, its
    // parameter nodes' for a phase node, every record for the root.
    std::vector<int> recordsUnder(int node) const;

    // The file that keeps the imported phases.
    QString importedPath() const { return m_importedPath; }
    void setImportedPath(const QString& path) { m_importedPath = path; }
    // The kept file could not be read: it is backed up before it is written again.
    bool importedUnreadable() const { return m_importedUnreadable; }
    void setImportedUnreadable(bool unreadable) { m_importedUnreadable = unreadable; }

signals:
    void treeRebuilt();
    void ticksChanged();

private:
    PhaseTree m_tree;
    std::vector<CrystalPhase> m_crystals;
    std::vector<CrystalPhase> m_imported;
    int m_nineFieldRecords = 0;
    QString m_importedPath;
    bool m_importedUnreadable = false;
};

}  // namespace saed::library
