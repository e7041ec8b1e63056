// SPDX-License-Identifier: BSD-3-Clause
#include "library/phaselibrary.h"

#include <string>
#include <utility>

#include "model/mainmodel.h"

namespace saed::library {

PhaseLibrary* phaseLibrary(const model::MainModel& model) {
    // The library belongs to the model as its child; making it on first use is not a change of
    // the model's fields.
    auto& owner = const_cast<model::MainModel&>(model);
    if (auto* found = owner.findChild<PhaseLibrary*>(QString(), Qt::FindDirectChildrenOnly)) return found;
    return new PhaseLibrary(&owner);
}

PhaseLibrary::PhaseLibrary(QObject* parent) : QObject(parent) {}

bool PhaseLibrary::buildTree(std::string_view libraryText) {
    const bool built = m_tree.build(libraryText);
    emit treeRebuilt();
    return built;
}

void PhaseLibrary::tickChanged(int node, bool state, bool multipleChoice) {
    if (node < 0 || node >= m_tree.nodeCount()) return;
    m_tree.tickChanged(node, state, multipleChoice);
    emit ticksChanged();
}

void PhaseLibrary::setPhases(int nineFieldRecords, std::vector<CrystalPhase> builtIn,
                             std::vector<CrystalPhase> imported) {
    m_nineFieldRecords = nineFieldRecords;
    m_crystals = std::move(builtIn);
    m_crystals.insert(m_crystals.end(), imported.begin(), imported.end());
    m_imported = std::move(imported);
}

const CrystalPhase* PhaseLibrary::crystal(int record) const {
    const int i = record - m_nineFieldRecords - 1;
    if (i < 0 || i >= static_cast<int>(m_crystals.size())) return nullptr;
    return &m_crystals[static_cast<std::size_t>(i)];
}

PhaseSource PhaseLibrary::source(int record) const {
    const int i = record - m_nineFieldRecords - 1;
    if (i < 0 || i >= static_cast<int>(m_crystals.size())) return PhaseSource::LibraryText;
    return i < builtInCount() ? PhaseSource::BuiltIn : PhaseSource::Imported;
}

int PhaseLibrary::importedIndex(int record) const {
    return source(record) == PhaseSource::Imported ? record - m_nineFieldRecords - 1 - builtInCount() : -1;
}

std::vector<int> PhaseLibrary::recordsUnder(int node) const {
    std::vector<int> records;
    if (node < 0 || node >= m_tree.nodeCount()) return records;
    const auto add = [&](int n) {
        const std::string& key = m_tree.node(n).key;
        if (key.size() > 2 && key.compare(0, 2, "bb") == 0) records.push_back(std::stoi(key.substr(2)));
    };
    // The subtree of a node is the nodes after it whose chain of parents reaches it.
    add(node);
    for (int n = node + 1; n < m_tree.nodeCount(); ++n) {
        int p = m_tree.node(n).parent;
        while (p > node) p = m_tree.node(p).parent;
        if (p == node) add(n);
    }
    return records;
}

}  // namespace saed::library
