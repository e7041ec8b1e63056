// Writing the result report and the screening report: whole files compared byte for byte.
#include "store/reports.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/mainmodel.h"
#include "app/resulttablemodel.h"
#include "app/scriptedprompts.h"
#include "app/texts.h"
#include "library/phasetree.h"
#include "store/textfile.h"

using namespace saed;
using app::Caption;
using app::Flag;
using app::MainModel;
using app::ResultTableModel;
using app::ScriptedPrompts;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray goldenFile(const char* name) {
    return fileBytes(QStringLiteral(SAED_STORE_TEST_DATA "/") + QString::fromUtf8(name));
}

// The fields of the worked example: a = b = c = 0.5 nm, right angles, scale bar 2 1/nm over
// 100 px, spots of 100, 100 and 141.42 px with one segment each, angles 90, 45, 45.
void setWorkedExample(MainModel& model) {
    model.setCombo1Items(app::latticeTypeNames());
    model.setCombo1(0);
    model.setText6(QStringLiteral("Cubic"));
    for (int n = 0; n < 3; ++n) model.setText1(n, QStringLiteral("0.5"));
    for (int n = 3; n < 6; ++n) model.setText1(n, QStringLiteral("90"));
    const std::pair<int, const char*> fields[] = {
        {21, "1"},  {22, "2"},     {23, "100"}, {24, "100"},   {25, "100"},   {26, "141.42"}, {27, "0.008"},
        {28, "0.008"}, {29, "0.008"}, {30, "1"}, {31, "1"}, {32, "1"}, {33, "90"}, {34, "45"}, {35, "45"},
        {36, "2"},  {37, "2"},     {38, "2"}};
    for (const auto& [n, text] : fields) model.setText1(n, QString::fromUtf8(text));
    model.setChosenFile(QStringLiteral("/data/images/pattern1.tif"));
}

// The 24 rows the worked example gives: g1 and g2 run over the six {1 0 0} planes in index
// order, g2 perpendicular to g1, g3 = g1 + g2.
std::vector<ResultTableModel::Row> workedExampleRows() {
    const int unit[6][3] = {{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}, {0, 0, 1}, {0, 1, 0}, {1, 0, 0}};
    std::vector<ResultTableModel::Row> rows;
    for (const auto& g1 : unit) {
        for (const auto& g2 : unit) {
            if (g1[0] * g2[0] + g1[1] * g2[1] + g1[2] * g2[2] != 0) continue;
            ResultTableModel::Row row;
            const int r = static_cast<int>(rows.size()) + 1;
            row.cells[0] = QStringLiteral("第%1组").arg(r, 3, 10, QLatin1Char('0'));
            for (int i = 0; i < 3; ++i) {
                row.cells[static_cast<std::size_t>(1 + i)] = QString::number(g1[i]);
                row.cells[static_cast<std::size_t>(5 + i)] = QString::number(g2[i]);
                row.cells[static_cast<std::size_t>(9 + i)] = QString::number(g1[i] + g2[i]);
            }
            row.cells[4] = QStringLiteral("+");
            row.cells[8] = QStringLiteral("＝");
            row.cells[12] = row.cells[16] = QStringLiteral("◇");
            row.cells[13] = row.cells[14] = QStringLiteral("0.5000000");
            row.cells[15] = QStringLiteral("0.3535534");
            row.cells[17] = QStringLiteral("90.0000");
            row.cells[18] = row.cells[19] = QStringLiteral("45.0000");
            rows.push_back(row);
        }
    }
    return rows;
}

class ReportsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        target.folders = {m_dir.filePath(QStringLiteral("program"))};
        target.stamp = QDateTime(QDate(2012, 3, 4), QTime(15, 6, 7));
    }
    QString expectedPath() const { return m_dir.filePath(QStringLiteral("program/标定结果2012-03-04 150607.txt")); }

    QTemporaryDir m_dir;
    store::ReportTarget target;
    MainModel model;
    ScriptedPrompts prompts;
};

}  // namespace

TEST_F(ReportsTest, exportOfTheWorkedExample) {
    setWorkedExample(model);
    model.resultTable()->build(workedExampleRows());
    ASSERT_EQ(model.resultTable()->rowCount(), 24);
    QSignalSpy status(&model, &MainModel::statusMessage);
    const auto path = store::exportResultReport(model, prompts, target);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, expectedPath());
    EXPECT_EQ(fileBytes(*path), goldenFile("worked_example_report.txt"));
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.at(0).at(0).toString(), QDir::toNativeSeparators(expectedPath()));
    EXPECT_TRUE(prompts.questions().empty());

    // The same second again replaces the file: now the table is empty and holds lines 1 to 7.
    model.resultTable()->clearRows();
    ASSERT_TRUE(store::exportResultReport(model, prompts, target));
    EXPECT_EQ(fileBytes(expectedPath()), goldenFile("empty_table_report.txt"));
    EXPECT_EQ(QDir(m_dir.filePath(QStringLiteral("program"))).entryList(QDir::Files).size(), 1);
}

TEST_F(ReportsTest, headerRuleFollowsTheFirstAngle) {
    setWorkedExample(model);
    for (const auto& [angle, header] : {std::pair{"100", "\t<R1,R2>\t"}, std::pair{"120", "\t<R1,R2> \t"}}) {
        model.setText1(33, QString::fromUtf8(angle));
        const auto path = store::exportResultReport(model, prompts, target);
        ASSERT_TRUE(path);
        const auto lines = store::readTextLines(*path);
        ASSERT_TRUE(lines);
        ASSERT_EQ(lines->size(), 7);
        EXPECT_TRUE(lines->at(6).contains(QString::fromUtf8(header))) << angle;
        EXPECT_TRUE(lines->at(4).contains(QStringLiteral("<R1,R2>=%1.0000deg. ").arg(QString::fromUtf8(angle))));
    }
}

TEST_F(ReportsTest, spacingsThatCannotBeComputed) {
    setWorkedExample(model);
    model.setText1(22, QStringLiteral("0"));
    model.resultTable()->build(workedExampleRows());
    const auto path = store::exportResultReport(model, prompts, target);
    ASSERT_TRUE(path);
    EXPECT_EQ(fileBytes(*path), goldenFile("empty_table_report.txt").left(
                                    goldenFile("empty_table_report.txt").indexOf("pattern1")));
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_EQ(prompts.questions()[0].kind, ScriptedPrompts::Kind::Warn);
    EXPECT_TRUE(prompts.questions()[0].text.contains(QDir::toNativeSeparators(*path)));
}

TEST_F(ReportsTest, reportFolderThatCannotBeWritten) {
    setWorkedExample(model);
    QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    // The program's folder is refused: the documents folder takes the report.
    target.folders = {m_dir.filePath(QStringLiteral("blocker/program")), m_dir.filePath(QStringLiteral("documents"))};
    const auto path = store::exportResultReport(model, prompts, target);
    ASSERT_TRUE(path);
    EXPECT_TRUE(path->startsWith(m_dir.filePath(QStringLiteral("documents/"))));
    EXPECT_EQ(fileBytes(*path), goldenFile("empty_table_report.txt"));
    EXPECT_TRUE(prompts.questions().empty());

    // No folder takes it: the user is told where it was tried.
    target.folders = {m_dir.filePath(QStringLiteral("blocker/program"))};
    EXPECT_FALSE(store::exportResultReport(model, prompts, target));
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_EQ(prompts.questions()[0].kind, ScriptedPrompts::Kind::Warn);
    EXPECT_TRUE(prompts.questions()[0].text.contains(
        QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("blocker/program/标定结果2012-03-04 150607.txt")))));
}

namespace {

// The built-in library with every node ticked in multiple-choice mode, or only the parameter
// node of record 1 in single-choice mode.
store::ScreeningRequest builtInRequest(bool multiple) {
    library::PhaseTree tree;
    EXPECT_TRUE(tree.build(library::kLibraryText));
    if (multiple) tree.tickChanged(tree.find("物相"), true, true);
    else tree.tickChanged(tree.find("bb1"), true, false);
    return store::screeningRequest(tree, multiple);
}

// A stand-in for the indexing run that records what each run saw and gives the α-Mg phase
// the first two rows of the worked example, any other phase none.
struct FakeRun {
    MainModel& model;
    std::vector<std::pair<QString, int>> seen;  // Text1(0) and Combo1 at each run
    void operator()() {
        seen.emplace_back(model.Text1(0), model.Combo1());
        auto rows = workedExampleRows();
        rows.resize(model.Text6().startsWith(QStringLiteral("α-Mg")) ? 2 : 0);
        model.resultTable()->build(rows);
        model.setCaption(Caption::Label22, QString::number(rows.size()));
    }
};

}  // namespace

TEST_F(ReportsTest, multipleModeScreeningWritesOneBlockPerPhaseWithRows) {
    setWorkedExample(model);
    model.setCombo1(3);
    model.setFlag(Flag::Frame7Visible, true);
    model.resultTable()->build(workedExampleRows());
    FakeRun run{model, {}};
    const auto outcome = store::screenSelectedPhases(model, prompts, builtInRequest(true), std::ref(run), target);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->path, expectedPath());
    ASSERT_EQ(outcome->phases.size(), 2u);
    EXPECT_EQ(outcome->phases[0].description, QStringLiteral("α-Mg  简单六方  c/a1.60323"));
    EXPECT_EQ(outcome->phases[0].rows, 2);
    EXPECT_EQ(outcome->phases[1].rows, 0);
    ASSERT_EQ(run.seen.size(), 2u);
    EXPECT_EQ(run.seen[0], std::make_pair(QStringLiteral("0.32094"), 0));
    EXPECT_EQ(run.seen[1], std::make_pair(QStringLiteral("0.32500"), 0));

    const QString tab = QStringLiteral("\t");
    const QStringList expected = {
        QStringLiteral("------α-Mg  简单六方  c/a1.60323  点阵参数："),
        QStringLiteral("a=0.32094nm   b=0.32094nm   c=0.52105nm"),
        QStringLiteral("α=90.00000deg.  β=90.00000deg.  γ=90.00000deg."),
        QStringLiteral("pattern1.tif图片测量数值为：d1=0.5000000nm   d2=0.5000000nm   d3=0.3535568nm     "
                       "<R1,R2>=90.0000deg. <R2,R3>=45.0000deg. <R1,R3>=45.0000deg. "),
        QStringLiteral("α-Mg  简单六方  c/a1.60323数据库中筛选结果如下："),
        QStringLiteral("   组号\t \tR1\t \t \t \tR2\t \t \t \tR3\t \t \td1\t \td2\t \td3\t \t \t<R1,R2>\t<R2,R3>\t<R1,R3>"),
        QStringLiteral("第001组\t-1\t0\t0\t+\t0\t-1\t0\t＝\t-1\t-1\t0\t◇\t0.5000000\t0.5000000\t0.3535534\t◇\t90.0000\t45.0000 45.0000"),
        QStringLiteral("第002组\t-1\t0\t0\t+\t0\t0\t-1\t＝\t-1\t0\t-1\t◇\t0.5000000\t0.5000000\t0.3535534\t◇\t90.0000\t45.0000 45.0000"),
    };
    EXPECT_EQ(fileBytes(expectedPath()), store::encodeLines(expected));

    // The last phase stays loaded and locked; the library panel is hidden.
    EXPECT_EQ(model.Text6(), QStringLiteral("14H LPSO  未知  c/a11.59718"));
    EXPECT_EQ(model.Text1(5), QStringLiteral("120.00000"));
    EXPECT_EQ(model.Combo1(), 0);
    EXPECT_EQ(model.resultTable()->rowCount(), 0);
    EXPECT_TRUE(model.flag(Flag::LatticeLocked));
    EXPECT_FALSE(model.flag(Flag::Frame7Visible));
    EXPECT_EQ(model.caption(Caption::Command13), QStringLiteral("计算选中项"));
    EXPECT_EQ(model.caption(Caption::Frame1), QStringLiteral("点阵标尺"));

    // A second screening in the same second appends its blocks.
    ASSERT_TRUE(store::screenSelectedPhases(model, prompts, builtInRequest(true), std::ref(run), target));
    EXPECT_EQ(fileBytes(expectedPath()), store::encodeLines(expected + expected));
    EXPECT_TRUE(prompts.questions().empty());
}

TEST_F(ReportsTest, singleModeScreeningKeepsNoFileAndLeavesOthersAlone) {
    setWorkedExample(model);
    // A report exported in the same second must survive the screening.
    ASSERT_TRUE(store::exportResultReport(model, prompts, target));
    const QByteArray exported = fileBytes(expectedPath());
    store::ScreeningRequest request = builtInRequest(false);
    ASSERT_EQ(request.selection, std::vector<int>{1});
    FakeRun run{model, {}};
    const auto outcome = store::screenSelectedPhases(model, prompts, request, std::ref(run), target);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->path.isEmpty());
    EXPECT_EQ(fileBytes(expectedPath()), exported);
    EXPECT_EQ(model.resultTable()->rowCount(), 2);
    EXPECT_EQ(model.Text1(2), QStringLiteral("0.52105"));

    // Nothing selected: no run, the table sorted by label and recoloured, the panel hidden.
    request.selection.clear();
    model.resultTable()->setAllLabelColors(QColor(0, 0, 255));
    run.seen.clear();
    ASSERT_TRUE(store::screenSelectedPhases(model, prompts, request, std::ref(run), target));
    EXPECT_TRUE(run.seen.empty());
    EXPECT_EQ(model.resultTable()->labelColor(0), QColor(225, 0, 0));
    EXPECT_TRUE(model.resultTable()->isSorted());
    EXPECT_EQ(QDir(m_dir.filePath(QStringLiteral("program"))).entryList(QDir::Files).size(), 1);
}

TEST_F(ReportsTest, screeningReportThatCannotBeCreatedStopsBeforeAnyPhase) {
    setWorkedExample(model);
    QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    target.folders = {m_dir.filePath(QStringLiteral("blocker/program"))};
    FakeRun run{model, {}};
    EXPECT_FALSE(store::screenSelectedPhases(model, prompts, builtInRequest(true), std::ref(run), target));
    EXPECT_TRUE(run.seen.empty());
    EXPECT_EQ(model.Text6(), QStringLiteral("Cubic"));
    EXPECT_EQ(model.caption(Caption::Command13), QStringLiteral("计算选中项"));
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_EQ(prompts.questions()[0].kind, ScriptedPrompts::Kind::Warn);
}
