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
#include "app/mainmodel.h"
#include "app/resulttablemodel.h"
#include "app/scriptedprompts.h"

using namespace saed::app;
using namespace saed::calculator;

namespace {

void setCubicCell(MainModel& model) {
    for (int n = 0; n < 3; ++n) model.setText1(n, QStringLiteral("0.5"));
    for (int n = 3; n < 6; ++n) model.setText1(n, QStringLiteral("90"));
}

// Plane j (1..3) into its h, k, l fields.
void setPlane(MainModel& model, int j, const char* h, const char* k, const char* l) {
    model.setText1(5 + j, QString::fromUtf8(h));
    model.setText1(8 + j, QString::fromUtf8(k));
    model.setText1(11 + j, QString::fromUtf8(l));
}

QStringList outputs(const MainModel& model) {
    QStringList texts;
    for (int n = 15; n <= 20; ++n) texts << model.Text1(n);
    for (Caption c : {Caption::Label1_47, Caption::Label1_48, Caption::Label1_49, Caption::Label16,
                      Caption::Label15, Caption::Label14, Caption::Label17})
        texts << model.caption(c);
    return texts;
}

QStringList strings(std::initializer_list<const char*> list) {
    QStringList texts;
    for (const char* s : list) texts << QString::fromUtf8(s);
    return texts;
}

}  // namespace

TEST(CalculatorOperationsTest, cubicExamplesWriteEveryOutput) {
    MainModel model;
    ScriptedPrompts prompts;
    setCubicCell(model);
    setPlane(model, 1, "1", "0", "0");
    setPlane(model, 2, "0", "1", "0");
    setPlane(model, 3, "1", "1", "0");
    ASSERT_TRUE(calculate(model, prompts));
    // Angles 15..17, zone axis 18..20, spacings, then the planes of R1, R2, R3 and the zone.
    EXPECT_EQ(outputs(model),
              strings({"90", "45", "45", "0", "0", "1", "d1=0.5000000", "d2=0.5000000",
                       "d3=0.3535534", "（1 0 0）", "（0 1 0）", "（1 1 0）", "Z=[0 0 1]"}));

    setPlane(model, 1, "1", "1", "1");
    setPlane(model, 2, "1", "0", "0");
    setPlane(model, 3, "0", "0", "1");
    ASSERT_TRUE(calculate(model, prompts));
    EXPECT_EQ(outputs(model), strings({"54.7356103172453", "90", "54.7356103172453", "0", "1", "-1",
                                       "d1=0.2886751", "d2=0.5000000", "d3=0.5000000", "（1 1 1）",
                                       "（1 0 0）", "（0 0 1）", "Z=[0 1 -1]"}));

    // [0 0 4] ends as [0 0 1]; [0 0 -2] keeps its sign; 1.0 as typed on the schematic.
    setPlane(model, 1, "2", "0", "0");
    setPlane(model, 2, "0", "2", "0");
    calculate(model, prompts);
    EXPECT_EQ(model.caption(Caption::Label17), QStringLiteral("Z=[0 0 1]"));
    setPlane(model, 1, "1.0", "1", " 0");
    setPlane(model, 2, "1", "-1", "0");
    calculate(model, prompts);
    EXPECT_EQ(model.caption(Caption::Label17), QStringLiteral("Z=[0 0 -1]"));
    EXPECT_EQ(model.caption(Caption::Label16), QStringLiteral("（1.0 1  0）"));
    EXPECT_EQ(model.Text1(15), QStringLiteral("90"));
    EXPECT_TRUE(prompts.questions().empty());
}

TEST(CalculatorOperationsTest, outputsThatCannotBeComputedShowTheirIdleTexts) {
    MainModel model;
    ScriptedPrompts prompts;
    setCubicCell(model);
    setPlane(model, 1, "1", "0", "0");
    setPlane(model, 2, "0", "1", "0");
    setPlane(model, 3, "1", "1", "0");
    calculate(model, prompts);

    // Parallel planes: angle 0, the rest computed; nothing of the previous run stays.
    setPlane(model, 2, "1", "0", "0");
    setPlane(model, 3, "0", "1", "0");
    calculate(model, prompts);
    EXPECT_EQ(outputs(model),
              strings({"0", "90", "90", "0", "0", "0", "d1=0.5000000", "d2=0.5000000",
                       "d3=0.5000000", "（1 0 0）", "（1 0 0）", "（0 1 0）", "Z=[0 0 0]"}));

    // (0 0 0) as R1: the angles and the spacing that involve it show "***".
    setPlane(model, 1, "0", "0", "0");
    calculate(model, prompts);
    EXPECT_EQ(outputs(model),
              strings({"***", "90", "***", "0", "0", "0", "d1= ***", "d2=0.5000000", "d3=0.5000000",
                       "（0 0 0）", "（1 0 0）", "（0 1 0）", "Z=[0 0 0]"}));
    EXPECT_TRUE(prompts.questions().empty());

    // No cell: the zone axis is written, every angle and spacing is idle, a message says why.
    model.setText1(1, QString());
    setPlane(model, 1, "2", "0", "0");
    setPlane(model, 2, "0", "2", "0");
    EXPECT_TRUE(calculate(model, prompts));
    EXPECT_EQ(outputs(model),
              strings({"***", "***", "***", "0", "0", "1", "d1= ***", "d2= ***", "d3= ***",
                       "（2 0 0）", "（0 2 0）", "（0 1 0）", "Z=[0 0 1]"}));
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_EQ(prompts.questions()[0].kind, ScriptedPrompts::Kind::Warn);
    EXPECT_EQ(prompts.questions()[0].text, QStringLiteral("点阵参数无法构成晶胞！"));
    EXPECT_TRUE(prompts.questions()[0].title.isEmpty());
}

TEST(CalculatorOperationsTest, numericTestFocusesTheFirstBadFieldAndChangesNothing) {
    MainModel model;
    ScriptedPrompts prompts;
    setCubicCell(model);
    QSignalSpy focus(&model, &MainModel::focusRequested);
    clearCalculator(model);
    const QStringList idle = outputs(model);
    EXPECT_FALSE(calculate(model, prompts));
    ASSERT_EQ(focus.count(), 1);
    EXPECT_EQ(focus.at(0).at(0).toInt(), 6);
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_EQ(prompts.questions()[0].text, QStringLiteral("有一些输入框不是数字！"));
    EXPECT_TRUE(prompts.questions()[0].title.isEmpty());

    // Fields are tested in index order 6, 7, ... 14, not row by row: 7 comes before 12.
    setPlane(model, 1, "1", "0", "abc");
    setPlane(model, 2, "", "1", "0");
    setPlane(model, 3, "1", "1", "0");
    EXPECT_FALSE(calculate(model, prompts));
    EXPECT_EQ(focus.at(1).at(0).toInt(), 7);
    EXPECT_EQ(outputs(model), idle);
}

TEST(CalculatorOperationsTest, clearEmptiesIndicesAndKeepsTheLattice) {
    MainModel model;
    ScriptedPrompts prompts;
    setCubicCell(model);
    setPlane(model, 1, "1", "0", "0");
    setPlane(model, 2, "0", "1", "0");
    setPlane(model, 3, "1", "1", "0");
    calculate(model, prompts);
    clearCalculator(model);
    for (int n = 6; n <= 14; ++n) EXPECT_TRUE(model.Text1(n).isEmpty()) << n;
    EXPECT_EQ(outputs(model),
              strings({"***", "***", "***", "***", "***", "***", "d1= ***", "d2= ***", "d3= ***",
                       "（* * *）", "（* * *）", "（* * *）", "Z=[* * *]"}));
    EXPECT_EQ(model.Text1(0), QStringLiteral("0.5"));
    EXPECT_EQ(model.Text1(5), QStringLiteral("90"));
}

TEST(CalculatorOperationsTest, resultRowIsLoadedAndCalculatedFromTheWindow) {
    MainModel model;
    ScriptedPrompts prompts;
    setCubicCell(model);
    std::vector<ResultTableModel::Row> rows(2);
    // Sub-items 1-3, 5-7, 9-11 hold the planes; 4, 8 and 12 are spacings that must not be read.
    const char* first[12] = {"第001组", "1", "1",   "1", "0.2887", "1",
                             "0",       "0", "0.5", "0", "0",      "1"};
    const char* second[12] = {"第002组", "2", "0",    "0", "0.25", "0",
                              "2",       "0", "0.25", "2", "2",    "0"};
    for (int c = 0; c < 12; ++c) {
        rows[0].cells[static_cast<std::size_t>(c)] = QString::fromUtf8(first[c]);
        rows[1].cells[static_cast<std::size_t>(c)] = QString::fromUtf8(second[c]);
    }
    model.resultTable()->build(rows);

    EXPECT_FALSE(calculateFromResultRow(model, prompts, -1));
    EXPECT_TRUE(model.Text1(6).isEmpty());

    Form1 window(model, prompts);
    window.listView1()->selectionModel()->select(
        model.resultTable()->index(1, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    auto* action = window.findChild<QAction*>(QStringLiteral("jisuandaizhou2"));
    ASSERT_NE(action, nullptr);
    action->trigger();
    EXPECT_EQ(model.caption(Caption::Label16), QStringLiteral("（2 0 0）"));
    EXPECT_EQ(model.caption(Caption::Label15), QStringLiteral("（0 2 0）"));
    EXPECT_EQ(model.caption(Caption::Label14), QStringLiteral("（2 2 0）"));
    EXPECT_EQ(model.caption(Caption::Label17), QStringLiteral("Z=[0 0 1]"));
    EXPECT_EQ(window.text1(17)->text(), QStringLiteral("45"));

    // The buttons: Clear, then Calculate on empty fields asks and selects nothing new.
    window.findChild<QPushButton*>(QStringLiteral("Command15"))->click();
    EXPECT_EQ(window.text1(20)->text(), QStringLiteral("***"));
    window.text1(6)->setText(QStringLiteral("x1"));
    model.setText1(6, QStringLiteral("x1"));
    window.findChild<QPushButton*>(QStringLiteral("Command5"))->click();
    EXPECT_EQ(window.text1(6)->selectedText(), QStringLiteral("x1"));
    EXPECT_EQ(prompts.questions().back().text, QStringLiteral("有一些输入框不是数字！"));
}
