// SPDX-License-Identifier: BSD-3-Clause
// The calculator's operations on the working data.
#include "calculator/calculatoroperations.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include "model/mainmodel.h"
#include "model/resulttablemodel.h"
#include "model/scriptedprompts.h"
#include "tests/calculator/calculatorfields.h"

using namespace saed::model;
using namespace saed::calculator;
using namespace saed::testdata;

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
