// SPDX-License-Identifier: BSD-3-Clause
// The calculator's operations on the working data, and its buttons in the main window.
#include "calculator/calculatoroperations.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "model/mainmodel.h"
#include "model/resulttablemodel.h"
#include "model/scriptedprompts.h"

using namespace saed::app;
using namespace saed::model;
using namespace saed::calculator;

namespace {

const char* const kCubic = "0.5,0.5,0.5,90,90,90";

// Lattice fields 0..5 from "a,b,c,α,β,γ"; planes "h,k,l|h,k,l|h,k,l" into fields 6..14.
void setFields(MainModel& model, const char* cell, const char* planes) {
    const QStringList lattice = QString::fromUtf8(cell).split(u',');
    for (int n = 0; n < 6; ++n) model.setText1(n, lattice[n]);
    const QStringList rows = QString::fromUtf8(planes).split(u'|');
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) model.setText1(6 + j + 3 * i, rows[j].split(u',')[i]);
}

// Angles 15..17, zone axis 18..20, spacings, then the planes of R1, R2, R3 and the zone.
QString outputs(const MainModel& model) {
    QStringList texts;
    for (int n = 15; n <= 20; ++n) texts << model.Text1(n);
    for (Caption c : {Caption::Label1_47, Caption::Label1_48, Caption::Label1_49, Caption::Label16,
                      Caption::Label15, Caption::Label14, Caption::Label17})
        texts << model.caption(c);
    return texts.join(u'|');
}

}  // namespace

TEST(CalculatorOperationsTest, everyOutputOfEachCalculation) {
    struct Case {
        const char* cell;
        const char* planes;
        const char* outputs;
        int faultField;  // the lattice field focused with the no-cell message; -1 for a cell
    };
    // One model throughout: nothing of an earlier calculation may stay beside a later one.
    const Case cases[] = {
        {kCubic, "1,0,0|0,1,0|1,1,0", "90|45|45|0|0|1|d1=0.5000000|d2=0.5000000|d3=0.3535534|"
         "（1 0 0）|（0 1 0）|（1 1 0）|Z=[0 0 1]", -1},
        {kCubic, "1,1,1|1,0,0|0,0,1", "54.7356103172453|90|54.7356103172453|0|1|-1|d1=0.2886751|"
         "d2=0.5000000|d3=0.5000000|（1 1 1）|（1 0 0）|（0 0 1）|Z=[0 1 -1]", -1},
        // The sign of [0 0 -2] stays; the schematic shows the fields as typed.
        {kCubic, "1.0,1, 0|1,-1,0|0,0,1", "90|90|90|0|0|-1|d1=0.3535534|d2=0.3535534|d3=0.5000000|"
         "（1.0 1  0）|（1 -1 0）|（0 0 1）|Z=[0 0 -1]", -1},
        // A half index is a plane too; an axis summing below 2 is not divided.
        {kCubic, "0.5,0,0|0,1,0|1,1,0", "90|45|45|0|0|0.5|d1=1.0000000|d2=0.5000000|d3=0.3535534|"
         "（0.5 0 0）|（0 1 0）|（1 1 0）|Z=[0 0 0.5]", -1},
        // Parallel and antiparallel planes: 0 and 180, the rest computed.
        {kCubic, "1,0,0|1,0,0|0,1,0", "0|90|90|0|0|0|d1=0.5000000|d2=0.5000000|d3=0.5000000|"
         "（1 0 0）|（1 0 0）|（0 1 0）|Z=[0 0 0]", -1},
        {kCubic, "1,1,0|-1,-1,0|0,0,1", "180|90|90|0|0|0|d1=0.3535534|d2=0.3535534|d3=0.5000000|"
         "（1 1 0）|（-1 -1 0）|（0 0 1）|Z=[0 0 0]", -1},
        // (0 0 0): the angles and the spacing that involve it are idle.
        {kCubic, "0,0,0|1,0,0|0,1,0", "***|90|***|0|0|0|d1= ***|d2=0.5000000|d3=0.5000000|"
         "（0 0 0）|（1 0 0）|（0 1 0）|Z=[0 0 0]", -1},
        // No cell: the zone axis only ([0 0 4] reduced), and a message on the field at fault.
        {"0.5,,0.5,90,90,90", "2,0,0|0,2,0|0,1,0", "***|***|***|0|0|1|d1= ***|d2= ***|d3= ***|"
         "（2 0 0）|（0 2 0）|（0 1 0）|Z=[0 0 1]", 1},
        // A lattice typed in metres: MRinv cannot invert it, so nothing of the cubic case above
        // may stay; the edges are positive, so alpha is pointed at.
        {kCubic, "1,0,0|0,1,0|1,1,0", "90|45|45|0|0|1|d1=0.5000000|d2=0.5000000|d3=0.3535534|"
         "（1 0 0）|（0 1 0）|（1 1 0）|Z=[0 0 1]", -1},
        {"5e-10,5e-10,5e-10,90,90,90", "1,0,0|0,1,0|1,1,0", "***|***|***|0|0|1|d1= ***|d2= ***|d3= ***|"
         "（1 0 0）|（0 1 0）|（1 1 0）|Z=[0 0 1]", 3},
    };
    MainModel model;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cell << " " << c.planes);
        ScriptedPrompts prompts;
        setFields(model, c.cell, c.planes);
        QSignalSpy focus(&model, &MainModel::focusRequested);
        EXPECT_TRUE(calculate(model, prompts));
        EXPECT_EQ(outputs(model), QString::fromUtf8(c.outputs));
        ASSERT_EQ(prompts.questions().size(), c.faultField >= 0 ? 1u : 0u);
        ASSERT_EQ(focus.count(), c.faultField >= 0 ? 1 : 0);
        if (c.faultField < 0) continue;
        EXPECT_EQ(focus.at(0).at(0).toInt(), c.faultField);
        EXPECT_EQ(prompts.questions()[0].kind, ScriptedPrompts::Kind::Warn);
        EXPECT_EQ(prompts.questions()[0].text, QStringLiteral("点阵参数无法构成晶胞！"));
        EXPECT_TRUE(prompts.questions()[0].title.isEmpty());
    }
}

TEST(CalculatorOperationsTest, nonNumericFieldsChangeNothingAndClearKeepsTheLattice) {
    MainModel model;
    ScriptedPrompts prompts;
    QSignalSpy focus(&model, &MainModel::focusRequested);
    setFields(model, kCubic, "1,0,0|0,1,0|1,1,0");
    ASSERT_TRUE(calculate(model, prompts));
    const QString computed = outputs(model);

    // Fields are tested in index order 6, 7, ... 14, not row by row: 7 comes before 12.
    setFields(model, kCubic, "1,0,abc|,1,0|1,1,0");
    EXPECT_FALSE(calculate(model, prompts));
    ASSERT_EQ(focus.count(), 1);
    EXPECT_EQ(focus.at(0).at(0).toInt(), 7);
    EXPECT_EQ(outputs(model), computed);
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_EQ(prompts.questions()[0].text, QStringLiteral("有一些输入框不是数字！"));
    EXPECT_TRUE(prompts.questions()[0].title.isEmpty());

    clearCalculator(model);
    for (int n = 6; n <= 14; ++n) EXPECT_TRUE(model.Text1(n).isEmpty()) << n;
    EXPECT_EQ(outputs(model), QString::fromUtf8("***|***|***|***|***|***|d1= ***|d2= ***|d3= ***|"
                                                "（* * *）|（* * *）|（* * *）|Z=[* * *]"));
    EXPECT_EQ(model.Text1(0), QStringLiteral("0.5"));
    EXPECT_EQ(model.Text1(5), QStringLiteral("90"));
    EXPECT_FALSE(calculate(model, prompts));
    EXPECT_EQ(focus.at(1).at(0).toInt(), 6);
}

TEST(CalculatorOperationsTest, resultRowIsLoadedAndCalculatedFromTheWindow) {
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
