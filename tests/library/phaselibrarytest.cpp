// SPDX-License-Identifier: BSD-3-Clause
// The phase library of the working data: its records, where each comes from, and its ticks.
#include "library/phaselibrary.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include "model/mainmodel.h"

using namespace saed::library;
using saed::model::MainModel;

// Records A, A, B, C: one nine-field record, then a built-in phase (A) and two imported ones.
TEST(PhaseLibraryTest, recordsUnderANodeAndWhereEachRecordComesFrom) {
    MainModel model;
    PhaseLibrary& phases = *phaseLibrary(model);
    EXPECT_EQ(phaseLibrary(model), &phases);  // one per model
    const MainModel other;
    EXPECT_NE(phaseLibrary(other), &phases);
    QSignalSpy rebuilt(&phases, &PhaseLibrary::treeRebuilt);
    QSignalSpy ticks(&phases, &PhaseLibrary::ticksChanged);
    const auto phase = [](const char* name) {
        CrystalPhase p;
        p.name = name;
        return p;
    };
    phases.setPhases(1, {phase("A")}, {phase("B"), phase("C")});
    ASSERT_TRUE(phases.buildTree("A;t;1;1;1;1;90;90;90;A;t;1;1;1;1;90;90;90;"
                                 "B;t;1;1;1;1;90;90;90;C;t;1;1;1;1;90;90;90;"));
    EXPECT_EQ(rebuilt.count(), 1);
    const PhaseTree& tree = phases.tree();
    using Records = std::vector<int>;
    EXPECT_EQ(phases.recordsUnder(tree.find("物相")), (Records{1, 2, 3, 4}));
    EXPECT_EQ(phases.recordsUnder(tree.find("aa1")), (Records{1, 2}));
    EXPECT_EQ(phases.recordsUnder(tree.find("bb2")), (Records{2}));
    EXPECT_EQ(phases.recordsUnder(tree.find("aa3")), (Records{4}));
    EXPECT_TRUE(phases.recordsUnder(-1).empty());

    EXPECT_EQ(phases.source(1), PhaseSource::LibraryText);
    EXPECT_EQ(phases.crystal(1), nullptr);
    EXPECT_EQ(phases.source(2), PhaseSource::BuiltIn);
    EXPECT_EQ(phases.crystal(2)->name, "A");
    EXPECT_EQ(phases.importedIndex(2), -1);
    EXPECT_EQ(phases.source(4), PhaseSource::Imported);
    EXPECT_EQ(phases.crystal(4)->name, "C");
    EXPECT_EQ(phases.importedIndex(4), 1);
    EXPECT_EQ(phases.crystal(5), nullptr);

    phases.tickChanged(tree.find("aa1"), true, true);
    phases.tickChanged(99, true, true);  // outside the tree: nothing
    EXPECT_EQ(ticks.count(), 1);
    EXPECT_EQ(tree.selectedRecordNumbers(), (Records{1, 2}));
}
