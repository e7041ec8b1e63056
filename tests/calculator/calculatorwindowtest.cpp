// SPDX-License-Identifier: BSD-3-Clause
// The calculator's entries in the main window: a result row's planes and the buttons.
#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "calculator/calculatoroperations.h"
#include "model/mainmodel.h"
#include "model/resulttablemodel.h"
#include "model/scriptedprompts.h"
#include "tests/calculator/calculatorfields.h"

using namespace saed::app;
using namespace saed::model;
using namespace saed::calculator;
using namespace saed::testdata;

TEST(CalculatorWindowTest, resultRowIsLoadedAndCalculatedFromTheWindow) {
    MainModel model;
    ScriptedPrompts prompts;
    setFields(model, kCubic, ",,|,,|,,");
    // The planes of a row, not its spacings or angles, go to the calculator.
    model.resultTable()->buildResults(
        {{{1, 1, 1}, {1, 0, 0}, {0, 0, 1}, {0.2887, 0.5, 0.5}, {54.7, 35.3, 90}},
         {{2, 0, 0}, {0, 2, 0}, {2, 2, 0}, {0.9, 0.9, 0.9}, {10, 20, 30}}},
        QColor(225, 0, 0));
    EXPECT_FALSE(calculateFromResultRow(model, prompts, -1));
    EXPECT_TRUE(model.Text1(6).isEmpty());

    Form1 window(model, prompts);
    window.listView1()->selectionModel()->select(
        model.resultTable()->index(1, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    auto* action = window.findChild<QAction*>(QStringLiteral("jisuandaizhou2"));
    ASSERT_NE(action, nullptr);
    action->trigger();
    EXPECT_EQ(outputs(model), QStringLiteral("90|45|45|0|0|1|d1=0.2500000|d2=0.2500000|"
                                             "d3=0.1767767|（2 0 0）|（0 2 0）|（2 2 0）|Z=[0 0 1]"));

    // The buttons: Clear, then Calculate on a bad field selects it.
    window.findChild<QPushButton*>(QStringLiteral("Command15"))->click();
    EXPECT_EQ(window.text1(20)->text(), QStringLiteral("***"));
    model.setText1(6, QStringLiteral("x1"));
    window.findChild<QPushButton*>(QStringLiteral("Command5"))->click();
    EXPECT_EQ(window.text1(6)->selectedText(), QStringLiteral("x1"));
    EXPECT_EQ(prompts.questions().back().text, QStringLiteral("有一些输入框不是数字！"));
}
