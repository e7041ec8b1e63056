// SPDX-License-Identifier: BSD-3-Clause
#include "app/form1.h"
#include "app/resultspanel.h"
#include "app/imagepage.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QCheckBox>
#include <QTreeWidget>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "app/imageview.h"
#include "app/simulationpanel.h"
#include "model/mainmodel.h"
#include "model/resulttablemodel.h"
#include "model/scriptedprompts.h"
#include "indexing/indexingoperations.h"
#include "tests/windowfixture.h"

using namespace saed::app;
using namespace saed::model;
using Form1IndexingTest = saed::testdata::MainWindowTest;

namespace {

void clickHeader(QTableView* view, int column) {
    QHeaderView* header = view->horizontalHeader();
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

}  // namespace

TEST_F(Form1IndexingTest, buttonHeaderSlidersCounterAndMenu) {
    showCubicExample();
    auto* command6 = window.findChild<QPushButton*>(QStringLiteral("Command6"));
    ASSERT_NE(command6, nullptr);

    // A rejected run focuses the field and keeps the lattice open.
    model.setText1(37, QString());
    QTest::mouseClick(command6, Qt::LeftButton);
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_TRUE(window.text1(0)->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), window.text1(37));

    model.setText1(37, QStringLiteral("2"));
    QSignalSpy magnifier(&window, &Form1::magnifierCloseRequested);
    QTest::mouseClick(command6, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.indexingOperations()->isRunning(); }));
    EXPECT_EQ(magnifier.count(), 1);
    QTableView* table = window.listView1();
    ASSERT_EQ(table->model()->rowCount(), 24);
    auto* label22 = window.findChild<QLabel*>(QStringLiteral("Label22"));
    ASSERT_NE(label22, nullptr);
    EXPECT_EQ(label22->text(), QStringLiteral("24"));
    EXPECT_FALSE(window.text1(0)->isEnabled());  // locked after an accepted run
    EXPECT_EQ(command6->text(), QStringLiteral("标定计算"));

    // The first header click after a run sorts descending, by text: "1" > "0" > "-1".
    clickHeader(table, 1);
    EXPECT_EQ(table->model()->index(0, 1).data().toString(), QStringLiteral("1"));
    EXPECT_EQ(table->model()->index(0, 0).data().toString(), QStringLiteral("第021组"));
    clickHeader(table, 1);
    EXPECT_EQ(table->model()->index(0, 1).data().toString(), QStringLiteral("-1"));

    // Typing 0.01 moves slider 1 to 17; a click on the counter restores the defaults.
    QLineEdit* tol = window.text1(27);
    tol->selectAll();
    QTest::keyClicks(tol, QStringLiteral("0.01"));
    EXPECT_EQ(window.slider(1)->value(), 17);
    QTest::mouseClick(label22, Qt::LeftButton);
    EXPECT_EQ(tol->text(), QStringLiteral("0.0080"));
    EXPECT_EQ(window.slider(1)->value(), 13);

    // The right button opens the menu with the result-table entries: the zone axis, the text
    // report and the open exports.
    QStringList entries;
    QTimer::singleShot(0, [&entries] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : menu->actions()) entries << action->text();
            menu->close();
        }
    });
    const QRect cell = table->visualRect(table->model()->index(2, 3));
    QContextMenuEvent event(QContextMenuEvent::Mouse, cell.center(), table->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(table->viewport(), &event);
    EXPECT_EQ(entries, (QStringList{QStringLiteral("计算晶带轴"), QStringLiteral("导出标定结果"),
                                    QStringLiteral("导出为CSV表格…"), QStringLiteral("导出为JSON…")}));
}

// Real key and wheel events: each step of a tolerance slider changes its tolerance, so no step is
// set back by the field it writes.
TEST_F(Form1IndexingTest, everyKeyAndWheelStepOfASliderChangesItsTolerance) {
    showOn(1);

    for (int k : {4, 1}) {
        SCOPED_TRACE(k);
        QSlider* slider = window.slider(k);
        const int field = saed::indexing::toleranceField(k);
        slider->setFocus();
        // Right at the default 50 of an angle slider writes 2.1, not 2.0 (which reads as 2).
        QTest::keyClick(slider, Qt::Key_Right);
        if (k == 4) {
            EXPECT_EQ(model.Text1(field), QStringLiteral("2.1"));
        }
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_Left}) {
            QString before = model.Text1(field);
            for (int step = 0; step < 101 && slider->value() != (key == Qt::Key_Right ? 100 : 0); ++step) {
                const int p = slider->value();
                QTest::keyClick(slider, key);
                ASSERT_NE(model.Text1(field), before) << "from " << p;
                ASSERT_NE(slider->value(), p);
                before = model.Text1(field);
            }
        }
        EXPECT_EQ(slider->value(), 0);
        const QString atZero = model.Text1(field);
        QTest::keyClick(slider, Qt::Key_PageUp);
        EXPECT_NE(model.Text1(field), atZero);
    }

    // A wheel notch on the default angle slider moves it too.
    QSlider* slider = window.slider(5);
    const QPoint centre = slider->rect().center();
    QWheelEvent wheel(centre, slider->mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(slider, &wheel);
    EXPECT_NE(slider->value(), 50);
    EXPECT_NE(model.value(37), 2.0);
}

// The families switch shows one line per family of the cubic example and opens to its rows;
// choosing a line shows its zone in the simulation tab with g1 along +x; the sliders' re-screening
// recolours the rows under an open family; without an image nothing is drawn over it.
TEST_F(Form1IndexingTest, familiesViewAndSimulationTab) {
    showCubicExample();
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command6")), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.indexingOperations()->isRunning(); }));
    const ResultTableModel& table = *model.resultTable();
    ASSERT_GT(table.rowCount(), 0);

    window.resultsPanel()->familySwitch()->click();
    EXPECT_TRUE(window.resultsPanel()->familyTree()->isVisible());
    EXPECT_FALSE(window.listView1()->isVisible());
    const auto& families = window.indexingOperations()->lastFamilies().families;
    ASSERT_EQ(window.resultsPanel()->familyTree()->topLevelItemCount(), static_cast<int>(families.size()));
    int rows = 0;
    for (int i = 0; i < window.resultsPanel()->familyTree()->topLevelItemCount(); ++i) {
        QTreeWidgetItem* line = window.resultsPanel()->familyTree()->topLevelItem(i);
        line->setExpanded(true);
        EXPECT_EQ(line->childCount(), line->text(6).toInt());
        rows += line->childCount();
    }
    EXPECT_EQ(rows, table.rowCount());

    QTreeWidgetItem* first = window.resultsPanel()->familyTree()->topLevelItem(0);
    window.resultsPanel()->familyTree()->setCurrentItem(first->child(0));
    const int group = first->child(0)->data(0, Qt::UserRole + 1).toInt();
    EXPECT_EQ(window.resultsPanel()->shownGroup(), group);
    const int r = table.rowOfGroup(group);
    const SimulationPanel& panel = *window.simulationPanel();
    EXPECT_EQ(panel.zone(), table.zone(r));
    ASSERT_TRUE(panel.pattern());
    const saed::core::Hkl g1{static_cast<int>(table.shownNumber(r, 1)), static_cast<int>(table.shownNumber(r, 2)),
                             static_cast<int>(table.shownNumber(r, 3))};
    EXPECT_EQ(panel.pattern()->g1, g1);
    EXPECT_TRUE(window.imagePage()->imageView()->overlay().empty());

    // Tightening a tolerance to nothing turns every label red, under the open family too.
    EXPECT_EQ(first->child(0)->foreground(1).color(), QColor(225, 0, 0));
    model.setText1(27, QStringLiteral("0"));
    EXPECT_EQ(first->child(0)->foreground(1).color(), QColor(255, 0, 0));

    // A typed zone is drawn with its own shortest spot along +x.
    panel.findChild<QSpinBox*>(QStringLiteral("SimulationZone0"))->setValue(0);
    panel.findChild<QSpinBox*>(QStringLiteral("SimulationZone1"))->setValue(0);
    panel.findChild<QSpinBox*>(QStringLiteral("SimulationZone2"))->setValue(1);
    ASSERT_TRUE(panel.pattern());
    EXPECT_EQ(panel.pattern()->zone, (saed::core::Uvw{0, 0, 1}));
    for (const auto& spot : panel.pattern()->spots) EXPECT_EQ(spot.hkl[2], 0);
}
