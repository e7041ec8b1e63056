#include "indexing/indexingoperations.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include "app/mainmodel.h"
#include "app/resulttablemodel.h"
#include "app/scriptedprompts.h"
#include "indexing/resultcells.h"
#include "indexingtestdata.h"

using namespace saed::indexing;
using saed::app::Caption;
using saed::app::Flag;
using saed::app::MainModel;
using saed::app::ResultTableModel;
using saed::app::ScriptedPrompts;

namespace {

const QColor kBuilt(225, 0, 0), kRed(255, 0, 0), kBlue(0, 0, 255);

struct Fixture {
    MainModel model;
    ScriptedPrompts prompts;
    IndexingOperations operations{model, prompts};
    ResultTableModel& table = *model.resultTable();

    Fixture() { saed::testdata::fillCubicExample(model); }

    QString label22() const { return model.caption(Caption::Label22); }
    QStringList rowTexts(int r) const {
        QStringList texts;
        for (int c = 0; c < ResultTableModel::kColumns; ++c) texts << table.cell(r, c);
        return texts;
    }
    int countColour(const QColor& colour) const {
        int n = 0;
        for (int r = 0; r < table.rowCount(); ++r) n += table.labelColor(r) == colour;
        return n;
    }
};

QStringList texts(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items) list << QString::fromUtf8(item);
    return list;
}

}  // namespace

TEST(IndexingOperationsTest, buttonRunsTheCubicExample) {
    Fixture f;
    f.model.setFlag(Flag::LatticeLocked, false);
    QSignalSpy captions(&f.model, &MainModel::captionChanged);
    f.operations.runFromButton();

    ASSERT_EQ(f.table.rowCount(), 24);
    EXPECT_EQ(f.label22(), QStringLiteral("24"));
    EXPECT_EQ(f.rowTexts(0), texts({"第001组", "-1", "0", "0", "+", "0", "-1", "0", "＝", "-1", "-1", "0", "◇",
                                    "0.5000000", "0.5000000", "0.3535534", "◇", "90.0000", "45.0000", "45.0000"}));
    EXPECT_EQ(f.rowTexts(1).mid(5, 7), texts({"0", "0", "-1", "＝", "-1", "0", "-1"}));
    EXPECT_EQ(f.table.cell(23, 0), QStringLiteral("第024组"));
    EXPECT_EQ(f.countColour(kBuilt), 24);
    EXPECT_TRUE(f.table.isSorted());
    EXPECT_EQ(f.table.sortKey(), 0);
    EXPECT_EQ(f.table.sortDirection(), Qt::AscendingOrder);
    EXPECT_EQ(f.model.caption(Caption::Label5),
              QStringLiteral("0.5000000   0.5000000   0.3535568      90.0000   45.0000    45.0000"));
    EXPECT_EQ(f.model.caption(Caption::Label14), QStringLiteral("（* * *）"));
    EXPECT_EQ(f.model.caption(Caption::Label17), QStringLiteral("Z=[* * *]"));
    EXPECT_EQ(f.operations.InputRejected(), 0);
    EXPECT_TRUE(f.model.flag(Flag::LatticeLocked));
    EXPECT_TRUE(f.prompts.questions().empty());
    // The busy caption was shown, then the caption came back.
    bool busy = false;
    for (const QList<QVariant>& args : captions)
        busy = busy || args.at(0).value<Caption>() == Caption::Command6;
    EXPECT_TRUE(busy);
    EXPECT_EQ(f.model.caption(Caption::Command6), QStringLiteral("标定计算"));

    // The first header click after a run sorts descending, by text: "1" > "0" > "-1".
    f.table.headerClicked(1);
    EXPECT_EQ(f.table.cell(0, 1), QStringLiteral("1"));
    EXPECT_EQ(f.table.cell(0, 0), QStringLiteral("第021组"));
    f.table.headerClicked(1);
    EXPECT_EQ(f.table.cell(0, 1), QStringLiteral("-1"));

    // Face-centred with N = 2 admits none of the planes: twenty columns, no rows.
    f.model.setCombo1(3);
    f.model.setText1(21, QStringLiteral("2"));
    f.operations.runFromButton();
    EXPECT_EQ(f.table.rowCount(), 0);
    EXPECT_EQ(f.table.columnCount(), 20);
    EXPECT_EQ(f.label22(), QStringLiteral("0"));
    EXPECT_EQ(f.operations.InputRejected(), 0);
}

TEST(IndexingOperationsTest, badInputIsToldWithFocusAndAnEmptyTable) {
    struct Case {
        int field;
        const char* text;
        const char* message;
        int focus;  // -1: no focus
    };
    const Case cases[] = {
        {28, "", "有一些输入框不是数字！", 28},
        {4, "9o", "有一些输入框不是数字！", 4},
        {21, "100", "指数范围必须在0到99之间！", 21},
        {21, "-1", "指数范围必须在0到99之间！", 21},
        {21, "99.5", "指数范围必须在0到99之间！", 21},  // halves to even: 100
        {25, "0", "标尺示数和测量长度不能为0！", 25},
        {22, "0.0", "标尺示数和测量长度不能为0！", 22},
        {1, "0", "点阵参数无法构成晶胞！", -1},
        {5, "0", "点阵参数无法构成晶胞！", -1},  // a and b parallel
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        SCOPED_TRACE(c.text);
        Fixture f;
        f.operations.runFromButton();  // a good run first: its headers stay, its rows go
        ASSERT_EQ(f.table.rowCount(), 24);
        f.model.setFlag(Flag::LatticeLocked, false);
        f.model.setText1(c.field, QString::fromUtf8(c.text));
        QSignalSpy focus(&f.model, &MainModel::focusRequested);
        f.operations.runFromButton();

        ASSERT_EQ(f.prompts.questions().size(), 1u);
        EXPECT_EQ(f.prompts.questions()[0].kind, ScriptedPrompts::Kind::Warn);
        EXPECT_EQ(f.prompts.questions()[0].text, QString::fromUtf8(c.message));
        EXPECT_TRUE(f.prompts.questions()[0].title.isEmpty());
        EXPECT_EQ(f.operations.InputRejected(), 1);
        EXPECT_EQ(f.table.rowCount(), 0);
        EXPECT_EQ(f.table.columnCount(), 20);
        EXPECT_EQ(f.label22(), QStringLiteral("0"));
        EXPECT_FALSE(f.model.flag(Flag::LatticeLocked));
        if (c.focus < 0) {
            EXPECT_EQ(focus.count(), 0);
        } else {
            ASSERT_EQ(focus.count(), 1);
            EXPECT_EQ(focus.at(0).at(0).toInt(), c.focus);
        }
    }

    // Both a non-numeric field and a bad range: the numeric test comes first.
    Fixture f;
    f.model.setText1(21, QStringLiteral("500"));
    f.model.setText1(36, QStringLiteral("x"));
    f.operations.RunIndexing();
    ASSERT_EQ(f.prompts.questions().size(), 1u);
    EXPECT_EQ(f.prompts.questions()[0].text, QStringLiteral("有一些输入框不是数字！"));
    // A half rounds to even: 0.5 is N = 0, a valid range with no rows.
    f.prompts.clearQuestions();
    f.model.setText1(36, QStringLiteral("2"));
    f.model.setText1(21, QStringLiteral("0.5"));
    f.operations.RunIndexing();
    EXPECT_TRUE(f.prompts.questions().empty());
    EXPECT_EQ(f.operations.InputRejected(), 0);
    EXPECT_EQ(f.table.rowCount(), 0);
}

TEST(IndexingOperationsTest, manyRowsAreAllKept) {
    Fixture f;
    f.model.setText1(21, QStringLiteral("3"));
    for (int n : {27, 28, 29}) f.model.setText1(n, QStringLiteral("100"));
    for (int n : {33, 34, 35}) f.model.setText1(n, QStringLiteral("90"));
    for (int n : {36, 37, 38}) f.model.setText1(n, QStringLiteral("91"));
    f.operations.runFromButton();
    ASSERT_EQ(f.table.rowCount(), 49626);
    EXPECT_EQ(f.label22(), QStringLiteral("49626"));
    // Row cells match the Qt-free texts of the same result, the 1000th group included.
    const std::vector<ResultRow>& rows = f.operations.lastRows();
    for (int r = 0; r < f.table.rowCount(); r += 997) {
        const int group = f.table.cell(r, 0).mid(1, f.table.cell(r, 0).size() - 2).toInt();
        ASSERT_GE(group, 1);
        const auto cells = resultCells(rows[static_cast<std::size_t>(group - 1)], group);
        for (int c = 0; c < ResultTableModel::kColumns; ++c)
            ASSERT_EQ(f.table.cell(r, c).toStdString(), cells[static_cast<std::size_t>(c)]) << r << " " << c;
    }
    bool found1000 = false;
    for (int r = 0; r < f.table.rowCount() && !found1000; ++r) found1000 = f.table.cell(r, 0) == QStringLiteral("第1000组");
    EXPECT_TRUE(found1000);
    // Parallel planes are rows too: g2 = g1 gives <R1,R2> = 0.
    bool parallel = false;
    for (int r = 0; r < f.table.rowCount() && !parallel; ++r) parallel = f.table.cell(r, 17) == QStringLiteral("0.0000");
    EXPECT_TRUE(parallel);
}

TEST(IndexingOperationsTest, slidersFieldsAndRescreening) {
    Fixture f;
    // With an empty table a tolerance change only moves the slider and writes the count.
    f.model.setCaption(Caption::Label22, QStringLiteral("7"));
    f.model.setText1(27, QStringLiteral("0.01"));
    EXPECT_EQ(f.model.slider(1), 17);
    EXPECT_EQ(f.label22(), QStringLiteral("0"));

    f.operations.runFromButton();
    ASSERT_EQ(f.table.rowCount(), 24);
    f.model.setText1(28, QStringLiteral("0.009"));
    EXPECT_EQ(f.model.slider(2), 15);
    EXPECT_EQ(f.countColour(kBlue), 24);
    EXPECT_EQ(f.label22(), QStringLiteral("24"));

    // Slider 4 to 13 writes 0.5; the field then puts the slider at 12 (12.5, halves to even).
    f.operations.sliderMoved(4, 13);
    EXPECT_EQ(f.model.Text1(36), QStringLiteral("0.5"));
    EXPECT_EQ(f.model.slider(4), 12);
    EXPECT_EQ(f.label22(), QStringLiteral("24"));  // every row is exactly 90 degrees
    // Back to 13: the text stays 0.5, which is still a change of the field.
    f.operations.sliderMoved(4, 13);
    EXPECT_EQ(f.model.slider(4), 12);

    f.operations.sliderMoved(1, 100);
    EXPECT_EQ(f.model.Text1(27), QStringLiteral("0.0600"));
    EXPECT_EQ(f.model.slider(1), 100);
    f.operations.sliderMoved(1, 0);
    EXPECT_EQ(f.model.Text1(27), QStringLiteral("0.0000"));
    EXPECT_EQ(f.model.slider(1), 0);
    EXPECT_EQ(f.label22(), QStringLiteral("0"));
    EXPECT_EQ(f.countColour(kRed), 24);

    // A field that is not a number reads as 0: no row passes.
    f.model.setText1(27, QStringLiteral("0.008"));
    EXPECT_EQ(f.label22(), QStringLiteral("24"));
    f.model.setText1(38, QStringLiteral("abc"));
    EXPECT_EQ(f.model.slider(6), 0);
    EXPECT_EQ(f.label22(), QStringLiteral("0"));

    // Reset: 0.0080 and 2, sliders at 13 and 50, every row blue again.
    f.model.setText1(24, QStringLiteral("90"));  // not a tolerance field: nothing happens
    EXPECT_EQ(f.label22(), QStringLiteral("0"));
    f.model.setText1(24, QStringLiteral("100"));
    f.operations.resetTolerances();
    for (int n : {27, 28, 29}) EXPECT_EQ(f.model.Text1(n), QStringLiteral("0.0080"));
    for (int n : {36, 37, 38}) EXPECT_EQ(f.model.Text1(n), QStringLiteral("2"));
    for (int k = 1; k <= 6; ++k) EXPECT_EQ(f.model.slider(k), k <= 3 ? 13 : 50);
    EXPECT_EQ(f.label22(), QStringLiteral("24"));
    EXPECT_EQ(f.countColour(kBlue), 24);

    // A zero divisor of the measured spacings fails every row.
    f.model.setText1(22, QStringLiteral("0"));
    f.model.setText1(36, QStringLiteral("3"));
    EXPECT_EQ(f.label22(), QStringLiteral("0"));
    EXPECT_EQ(f.countColour(kRed), 24);
}

TEST(IndexingOperationsTest, toleranceEqualityPassesTheRunButNotTheRescreening) {
    Fixture f;
    // d1 = 1 * (3 / 1) / 4 = 0.75, exactly 0.25 above the {1 0 0} spacing 0.5.
    f.model.setText1(22, QStringLiteral("1"));
    f.model.setText1(23, QStringLiteral("3"));
    f.model.setText1(24, QStringLiteral("4"));
    f.model.setText1(25, QStringLiteral("6"));
    f.model.setText1(26, QStringLiteral("8.485"));
    f.model.setText1(27, QStringLiteral("0.25"));
    f.operations.runFromButton();
    ASSERT_EQ(f.table.rowCount(), 24);

    // The re-screening is strict on the same tolerance.
    f.model.setText1(36, QStringLiteral("1.9"));
    EXPECT_EQ(f.label22(), QStringLiteral("0"));
    EXPECT_EQ(f.countColour(kRed), 24);
    f.model.setText1(27, QStringLiteral("0.2500001"));
    EXPECT_EQ(f.label22(), QStringLiteral("24"));

    // Angles: 45 degrees measured 46 with tolerance 1 fails the run.
    f.model.setText1(27, QStringLiteral("0.25"));
    f.model.setText1(35, QStringLiteral("46"));
    f.model.setText1(38, QStringLiteral("1"));
    f.operations.runFromButton();
    EXPECT_EQ(f.table.rowCount(), 0);
    f.model.setText1(38, QStringLiteral("1.0001"));
    f.operations.runFromButton();
    EXPECT_EQ(f.table.rowCount(), 24);
}
