#include "model/mainmodel.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include "model/phaselibrary.h"
#include "model/resulttablemodel.h"
#include "model/texts.h"

using namespace saed::model;

TEST(MainModelTest, defaultsAtStart) {
    MainModel model;
    EXPECT_EQ(model.Text1(21), QStringLiteral("5"));
    EXPECT_EQ(model.value(21), 5.0);
    for (int n : {27, 28, 29}) EXPECT_EQ(model.Text1(n), QStringLiteral("0.008")) << n;
    for (int n : {36, 37, 38}) EXPECT_EQ(model.Text1(n), QStringLiteral("2")) << n;
    for (int n = 15; n <= 20; ++n) EXPECT_EQ(model.Text1(n), QStringLiteral("***")) << n;
    for (int n : {0, 1, 2, 3, 4, 5, 6, 14, 22, 23, 24, 25, 26, 30, 31, 32, 33, 34, 35})
        EXPECT_TRUE(model.Text1(n).isEmpty()) << n;
    EXPECT_EQ(model.Text6(), QStringLiteral("NAME"));
    EXPECT_EQ(model.Combo1(), -1);
    EXPECT_EQ(model.caption(Caption::Label22), QStringLiteral("0"));
    EXPECT_EQ(model.caption(Caption::Label5),
              QString::fromUtf8("   ***\u3000    \u3000***      \u3000\u3000***       \u3000\u3000***   \u3000 \u3000***    \u3000 ***"));
    EXPECT_EQ(model.caption(Caption::Label14), QStringLiteral("（* * *）"));
    EXPECT_EQ(model.caption(Caption::Label17), QStringLiteral("Z=[* * *]"));
    EXPECT_EQ(model.caption(Caption::Label1_47), QStringLiteral("d1= ***"));
    EXPECT_EQ(model.caption(Caption::Label1_49), QStringLiteral("d3= ***"));
    EXPECT_EQ(model.caption(Caption::Frame1), QStringLiteral("点阵标尺"));
    EXPECT_EQ(model.caption(Caption::Command6), QStringLiteral("标定计算"));
    EXPECT_TRUE(model.flag(Flag::LatticeLocked));
    EXPECT_FALSE(model.flag(Flag::Frame7Visible));
    EXPECT_FALSE(model.flag(Flag::MultipleChoice));
    const int sliders[6] = {13, 13, 13, 50, 50, 50};
    for (int k = 1; k <= 6; ++k) EXPECT_EQ(model.slider(k), sliders[k - 1]) << k;
    EXPECT_EQ(model.resultTable()->rowCount(), 0);
    EXPECT_EQ(model.resultTable()->columnCount(), 0);  // no headers before the first run
}

TEST(MainModelTest, oneNotificationPerRealChange) {
    MainModel model;
    QSignalSpy spy(&model, &MainModel::text1Changed);
    model.setText1(27, QStringLiteral("0.01"));
    model.setText1(27, QStringLiteral("0.01"));  // unchanged: no notification
    model.setText1(3, QStringLiteral("90"));
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 27);
    EXPECT_EQ(spy.at(1).at(0).toInt(), 3);

    model.setText1(0, QStringLiteral("abc"));
    EXPECT_EQ(model.value(0), 0.0);
    EXPECT_FALSE(model.isNumeric(0));
    model.setText1(0, QString());
    EXPECT_EQ(model.value(0), 0.0);
    EXPECT_FALSE(model.isNumeric(0));
    model.setText1(0, QStringLiteral(" 0.32094"));
    EXPECT_TRUE(model.isNumeric(0));
    EXPECT_EQ(model.value(0), 0.32094);
}

TEST(MainModelTest, comboAndSliderBounds) {
    MainModel model;
    model.setCombo1Items(latticeTypeNames());
    model.setCombo1(3);
    EXPECT_EQ(model.Combo1(), 3);
    model.setCombo1(7);
    EXPECT_EQ(model.Combo1(), -1);
    model.setSlider(1, 130);
    EXPECT_EQ(model.slider(1), 100);
    model.setSlider(4, -3);
    EXPECT_EQ(model.slider(4), 0);
}

// Records A, A, B, C: one nine-field record, then a built-in phase (A) and two imported ones.
TEST(PhaseLibraryTest, recordsUnderANodeAndWhereEachRecordComesFrom) {
    MainModel model;
    PhaseLibrary& phases = *model.phaseLibrary();
    QSignalSpy rebuilt(&phases, &PhaseLibrary::treeRebuilt);
    QSignalSpy ticks(&phases, &PhaseLibrary::ticksChanged);
    const auto phase = [](const char* name) {
        saed::library::CrystalPhase p;
        p.name = name;
        return p;
    };
    phases.setPhases(1, {phase("A")}, {phase("B"), phase("C")});
    ASSERT_TRUE(phases.buildTree("A;t;1;1;1;1;90;90;90;A;t;1;1;1;1;90;90;90;"
                                 "B;t;1;1;1;1;90;90;90;C;t;1;1;1;1;90;90;90;"));
    EXPECT_EQ(rebuilt.count(), 1);
    const saed::library::PhaseTree& tree = phases.tree();
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
