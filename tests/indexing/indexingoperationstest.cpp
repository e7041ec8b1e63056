// SPDX-License-Identifier: BSD-3-Clause
#include "indexing/indexingoperations.h"

#include <algorithm>
#include <array>

#include <QSignalSpy>

#include <gtest/gtest.h>

#include "model/mainmodel.h"
#include "model/resulttablemodel.h"
#include "model/scriptedprompts.h"
#include "core/resultcells.h"
#include "indexingtestdata.h"

using namespace saed::indexing;
using saed::model::Caption;
using saed::model::Flag;
using saed::model::MainModel;
using saed::model::ResultTableModel;
using saed::model::ScriptedPrompts;

namespace {

const QColor kBuilt(225, 0, 0), kRed(255, 0, 0), kBlue(0, 0, 255);

QString q(const char* text) { return QString::fromUtf8(text); }

struct Fixture {
    MainModel model;
    ScriptedPrompts prompts;
    IndexingOperations operations{model, prompts};
    ResultTableModel& table = *model.resultTable();

    Fixture() { saed::testdata::fillCubicExample(model); }

    QString label22() const { return model.caption(Caption::Label22); }
    int countColour(const QColor& colour) const {
        int n = 0;
        for (int r = 0; r < table.rowCount(); ++r) n += table.labelColor(r) == colour;
        return n;
    }
};

}  // namespace

TEST(IndexingOperationsTest, badInputIsToldWithFocusAndAnEmptyTable) {
    const struct {
        int field;
        const char* text;
        const char* message;
        int focus;  // -1: no focus
    } cases[] = {
        {28, "", "有一些输入框不是数字！", 28},
        {4, "9o", "有一些输入框不是数字！", 4},
        {21, "100", "指数范围必须在0到99之间！", 21},
        {21, "-1", "指数范围必须在0到99之间！", 21},
        {21, "99.5", "指数范围必须在0到99之间！", 21},  // halves to even: 100
        {25, "0", "标尺示数和测量长度不能为0！", 25},
        {22, "0.0", "标尺示数和测量长度不能为0！", 22},
        {23, "0", "标尺示数和测量长度不能为0！", 23},
        {1, "0", "点阵参数无法构成晶胞！", 1},
        {5, "0", "点阵参数无法构成晶胞！", 3},  // a and b parallel: the angles, told on alpha
        {0, "5e-10", "点阵参数无法构成晶胞！", 3},  // edges too unequal for MRinv
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.field << " " << c.text);
        Fixture f;
        f.operations.runFromButton();  // a good run first: its rows go
        ASSERT_EQ(f.table.rowCount(), 24);
        f.model.setFlag(Flag::LatticeLocked, false);
        f.model.setText1(c.field, q(c.text));
        QSignalSpy focus(&f.model, &MainModel::focusRequested);
        f.operations.runFromButton();

        ASSERT_EQ(f.prompts.questions().size(), 1u);
        EXPECT_EQ(f.prompts.questions()[0].kind, ScriptedPrompts::Kind::Warn);
        EXPECT_EQ(f.prompts.questions()[0].text, q(c.message));
        EXPECT_TRUE(f.prompts.questions()[0].title.isEmpty());
        EXPECT_EQ(f.operations.InputRejected(), 1);
        EXPECT_EQ(f.table.rowCount(), 0);
        EXPECT_EQ(f.label22(), q("0"));
        EXPECT_FALSE(f.model.flag(Flag::LatticeLocked));
        ASSERT_EQ(focus.count(), c.focus < 0 ? 0 : 1);
        if (c.focus >= 0) {
            EXPECT_EQ(focus.at(0).at(0).toInt(), c.focus);
        }
    }

    // Both a non-numeric field and a bad range: the numeric test comes first.
    Fixture f;
    f.model.setText1(21, q("500"));
    f.model.setText1(36, q("x"));
    f.operations.RunIndexing();
    ASSERT_EQ(f.prompts.questions().size(), 1u);
    EXPECT_EQ(f.prompts.questions()[0].text, q("有一些输入框不是数字！"));
    // A half rounds to even: 0.5 is N = 0, a valid range with no rows.
    f.prompts.clearQuestions();
    f.model.setText1(36, q("2"));
    f.model.setText1(21, q("0.5"));
    f.operations.RunIndexing();
    EXPECT_TRUE(f.prompts.questions().empty());
    EXPECT_EQ(f.operations.InputRejected(), 0);
    EXPECT_EQ(f.table.rowCount(), 0);
}

TEST(IndexingOperationsTest, manyRowsAreAllKept) {
    // Every plane in every list and every angle accepted: all pairs g1, g2 with g1, g2 and
    // g1 + g2 non-zero and within -3..3. Per axis 37 of the 49 pairs keep the sum in range, so
    // 37^3 pairs, less the 3 x 343 with one zero plane, plus the 2 counted thrice.
    Fixture f;
    f.model.setText1(21, q("3"));
    for (int n : {27, 28, 29}) f.model.setText1(n, q("100"));
    for (int n : {33, 34, 35}) f.model.setText1(n, q("90"));
    for (int n : {36, 37, 38}) f.model.setText1(n, q("91"));
    f.operations.runFromButton();
    const int expected = 37 * 37 * 37 - 3 * 343 + 2;
    ASSERT_EQ(f.table.rowCount(), expected);
    EXPECT_EQ(f.label22(), QString::number(expected));
    // Sorted rows keep their own cells and match the Qt-free texts of the same result.
    bool found1000 = false;
    for (int r = 0; r < f.table.rowCount(); ++r) {
        const QString label = f.table.cell(r, 0);
        found1000 = found1000 || label == q("第1000组");
        if (r % 997 != 0) continue;
        const int group = label.mid(1, label.size() - 2).toInt();
        ASSERT_GE(group, 1);
        const auto cells = resultCells(f.operations.lastRows()[static_cast<std::size_t>(group - 1)], group);
        for (int c = 0; c < ResultTableModel::kColumns; ++c)
            ASSERT_EQ(f.table.cell(r, c).toStdString(), cells[static_cast<std::size_t>(c)]) << r << " " << c;
    }
    EXPECT_TRUE(found1000);

    // The table sorts numbers and text ranks; its order must be the order of the same texts, as
    // a stable sort of the texts from the table's previous order gives it.
    const std::vector<ResultRow>& rows = f.operations.lastRows();
    std::vector<std::array<QString, ResultTableModel::kColumns>> texts(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto cells = resultCells(rows[i], static_cast<long long>(i) + 1);
        for (std::size_t c = 0; c < cells.size(); ++c) texts[i][c] = QString::fromStdString(cells[c]);
    }
    std::vector<int> groupOrder;  // groups in the expected order
    for (int r = 0; r < f.table.rowCount(); ++r) groupOrder.push_back(f.table.group(r));
    for (int column : {0, 1, 4, 13, 17, 19}) {
        for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            const auto c = static_cast<std::size_t>(column);
            std::stable_sort(groupOrder.begin(), groupOrder.end(), [&](int x, int y) {
                const int cmp = QString::compare(texts[static_cast<std::size_t>(x - 1)][c],
                                                 texts[static_cast<std::size_t>(y - 1)][c]);
                return order == Qt::AscendingOrder ? cmp < 0 : cmp > 0;
            });
            f.table.sortBy(column, order);
            for (int r = 0; r < f.table.rowCount(); ++r)
                ASSERT_EQ(f.table.group(r), groupOrder[static_cast<std::size_t>(r)]) << "column " << column << " row " << r;
        }
    }

    // The rows a match against an image looks at: each family's representative, then the rows of
    // least misfit in order, each with its own planes; no row left out has a smaller misfit.
    const auto& leading = f.operations.lastLeadingRows();
    const auto& families = f.operations.lastFamilies().families;
    const std::vector<double>& misfits = f.operations.lastMisfits();
    ASSERT_FALSE(families.empty());
    ASSERT_EQ(leading.size(), families.size() + IndexingOperations::kLeadingRows);
    for (std::size_t i = 0; i < families.size(); ++i) EXPECT_EQ(leading[i].first, families[i].representative);
    std::vector<bool> taken(rows.size(), false);
    double last = 0;
    for (std::size_t i = 0; i < leading.size(); ++i) {
        const auto& [g, row] = leading[i];
        ASSERT_LT(g, rows.size());
        EXPECT_TRUE(row.g1 == rows[g].g1 && row.g2 == rows[g].g2 && row.g3 == rows[g].g3) << i;
        if (i < families.size()) continue;
        EXPECT_GE(misfits[g], last) << i;
        last = misfits[g];
        taken[g] = true;
    }
    std::size_t smallerLeftOut = 0;
    for (std::size_t g = 0; g < rows.size(); ++g) smallerLeftOut += !taken[g] && misfits[g] < last;
    EXPECT_EQ(smallerLeftOut, 0u);
}

TEST(IndexingOperationsTest, rowLimitIsToldAndCancelKeepsAConsistentTable) {
    Fixture f;
    f.model.setText1(21, q("3"));
    for (int n : {27, 28, 29}) f.model.setText1(n, q("100"));
    for (int n : {36, 37, 38}) f.model.setText1(n, q("180"));
    f.operations.RunIndexing();
    const std::vector<ResultRow> full = f.operations.lastRows();
    ASSERT_GT(full.size(), 1000u);
    EXPECT_EQ(f.operations.lastEnd(), RunEnd::Complete);

    // At the limit the run keeps the first rows in search order and says why it stopped.
    f.operations.setRowLimit(1000);
    f.operations.runFromButton();
    EXPECT_EQ(f.operations.lastEnd(), RunEnd::RowLimit);
    ASSERT_EQ(f.table.rowCount(), 1000);
    EXPECT_EQ(f.label22(), q("1000"));
    EXPECT_TRUE(std::equal(f.operations.lastRows().begin(), f.operations.lastRows().end(), full.begin()));
    ASSERT_EQ(f.prompts.questions().size(), 1u);
    EXPECT_EQ(f.prompts.questions()[0].text, rowLimitMessage(1000));
    EXPECT_TRUE(f.prompts.questions()[0].text.contains(q("1000")));

    // On the worker: the same rows as the run above, and a cancel leaves a table that agrees
    // with its count and holds a prefix of the rows.
    f.operations.setRowLimit(kRowLimit);
    QSignalSpy finished(&f.operations, &IndexingOperations::runFinished);
    QSignalSpy status(&f.model, &MainModel::statusMessage);
    f.operations.startRunFromButton();
    EXPECT_TRUE(f.operations.isRunning());
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(f.operations.lastRows(), full);
    EXPECT_EQ(f.table.rowCount(), static_cast<int>(full.size()));

    f.operations.startRunFromButton();
    f.operations.cancelRun();
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(f.operations.lastEnd(), RunEnd::Cancelled);
    const auto& kept = f.operations.lastRows();
    EXPECT_EQ(f.table.rowCount(), static_cast<int>(kept.size()));
    EXPECT_EQ(f.label22(), QString::number(kept.size()));
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), full.begin()));
    ASSERT_EQ(status.count(), 1);
    EXPECT_TRUE(status.at(0).at(0).toString().contains(q("取消")));
    EXPECT_FALSE(f.operations.isRunning());
}

TEST(IndexingOperationsTest, buttonRunSlidersFieldsAndStrictRescreening) {
    Fixture f;
    // With an empty table a tolerance change moves the slider and writes the count.
    f.model.setCaption(Caption::Label22, q("7"));
    f.model.setText1(27, q("0.01"));
    EXPECT_EQ(f.model.slider(1), 17);
    EXPECT_EQ(f.label22(), q("0"));

    // A run that finds nothing says so in the status bar; one that finds rows says nothing there.
    QSignalSpy status(&f.model, &MainModel::statusMessage);
    const QString range = f.model.Text1(21);
    f.model.setText1(21, q("0"));  // no plane within the index range
    f.operations.runFromButton();
    EXPECT_EQ(f.table.rowCount(), 0);
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.at(0).at(0).toString(), noRowsMessage());
    f.model.setText1(21, range);

    f.model.setFlag(Flag::LatticeLocked, false);
    f.operations.runFromButton();
    EXPECT_EQ(status.count(), 1);
    ASSERT_EQ(f.table.rowCount(), 24);
    EXPECT_EQ(f.label22(), q("24"));
    EXPECT_EQ(f.table.cell(23, 0), q("第024组"));
    EXPECT_EQ(f.countColour(kBuilt), 24);
    EXPECT_EQ(f.model.caption(Caption::Label5),
              q("0.5000000   0.5000000   0.3535568      90.0000   45.0000    45.0000"));
    EXPECT_EQ(f.model.caption(Caption::Label14), q("（* * *）"));
    EXPECT_EQ(f.model.caption(Caption::Label17), q("Z=[* * *]"));
    EXPECT_EQ(f.operations.InputRejected(), 0);
    EXPECT_TRUE(f.model.flag(Flag::LatticeLocked));
    EXPECT_TRUE(f.prompts.questions().empty());


    // Slider 4 to 13 writes 0.5, and the field puts the slider at 12 (12.5, halves to even).
    // Moving to 13 again leaves the text as it was, which is still a change of the field.
    for (int move = 0; move < 2; ++move) {
        f.operations.sliderMoved(4, 13);
        EXPECT_EQ(f.model.Text1(36), q("0.5"));
        EXPECT_EQ(f.model.slider(4), 12);
    }
    EXPECT_EQ(f.label22(), q("24"));  // every row is exactly 90 degrees

    f.operations.sliderMoved(1, 100);
    EXPECT_EQ(f.model.Text1(27), q("0.0600"));
    f.operations.sliderMoved(1, 0);
    EXPECT_EQ(f.model.Text1(27), q("0.0000"));
    EXPECT_EQ(f.label22(), q("0"));
    EXPECT_EQ(f.countColour(kRed), 24);

    // Only the six tolerance fields re-screen; one that is not a number reads as 0.
    f.model.setText1(27, q("0.008"));
    EXPECT_EQ(f.label22(), q("24"));
    f.model.setText1(24, q("90"));
    EXPECT_EQ(f.label22(), q("24"));
    f.model.setText1(24, q("100"));
    f.model.setText1(38, q("abc"));
    EXPECT_EQ(f.model.slider(6), 0);
    EXPECT_EQ(f.label22(), q("0"));

    // Reset: 0.0080 and 2, sliders at 13 and 50, every row blue again.
    f.operations.resetTolerances();
    const int fields[] = {27, 28, 29, 36, 37, 38};
    for (int k = 1; k <= 6; ++k) {
        EXPECT_EQ(f.model.Text1(fields[k - 1]), q(k <= 3 ? "0.0080" : "2"));
        EXPECT_EQ(f.model.slider(k), k <= 3 ? 13 : 50);
    }
    EXPECT_EQ(f.label22(), q("24"));
    EXPECT_EQ(f.countColour(kBlue), 24);

    // A zero divisor of the measured spacings fails every row.
    f.model.setText1(22, q("0"));
    f.model.setText1(36, q("3"));
    EXPECT_EQ(f.label22(), q("0"));
    EXPECT_EQ(f.countColour(kRed), 24);

    // The re-screening is strict: d1 = 1 * (3 / 1) / 4 = 0.75 lies exactly 0.25 above 0.5.
    const char* const pattern[][2] = {{"22", "1"}, {"23", "3"}, {"24", "4"}, {"25", "6"}, {"26", "8.485"}};
    for (const auto& t : pattern) f.model.setText1(q(t[0]).toInt(), q(t[1]));
    f.model.setText1(27, q("0.25"));
    EXPECT_EQ(f.label22(), q("0"));
    f.model.setText1(27, q("0.2500001"));
    EXPECT_EQ(f.label22(), q("24"));
}

// On a hexagonal cell the rows differ in spacing and angle, so narrowing the tolerances after a
// wide run must mark exactly the rows, in order, that a fresh run with the narrow ones finds.
TEST(IndexingOperationsTest, rescreeningAWideHexagonalRunEqualsAFreshNarrowRun) {
    Fixture f;
    // alpha-Mg; g1 = (1 0 0), g2 = (0 0 2), g3 = (1 0 2): 90, 43.15 and 46.85 degrees.
    const char* const texts[][2] = {{"0", "0.32094"}, {"1", "0.32094"}, {"2", "0.52105"}, {"5", "120"},
                                    {"21", "3"},      {"22", "1"},      {"23", "1"},       {"24", "1"},
                                    {"25", "1"},      {"26", "1"},      {"30", "0.2779"},  {"31", "0.2605"},
                                    {"32", "0.1901"}, {"33", "90.3"},   {"34", "43.1"},    {"35", "46.6"}};
    for (const auto& t : texts) f.model.setText1(q(t[0]).toInt(), q(t[1]));
    const auto setTolerances = [&f](const char* d, const char* angle) {
        for (int n : {27, 28, 29}) f.model.setText1(n, q(d));
        for (int n : {36, 37, 38}) f.model.setText1(n, q(angle));
    };
    const auto planes = [&f](int r) {
        QStringList cells;
        for (int c = 1; c <= 11; ++c) cells << f.table.cell(r, c);
        return cells.join(u' ');
    };

    setTolerances("0.03", "12");
    f.operations.RunIndexing();
    const int wide = f.table.rowCount();
    setTolerances("0.004", "1.5");
    QStringList marked;
    for (int r = 0; r < f.table.rowCount(); ++r)
        if (f.table.labelColor(r) == kBlue) marked << planes(r);
    const QString count = f.label22();

    f.operations.RunIndexing();
    QStringList fresh;
    for (int r = 0; r < f.table.rowCount(); ++r) fresh << planes(r);
    ASSERT_GT(fresh.size(), 0);
    ASSERT_LT(fresh.size(), wide);
    EXPECT_EQ(marked, fresh);
    EXPECT_EQ(count, QString::number(fresh.size()));
}
