// SPDX-License-Identifier: BSD-3-Clause
// The result report and the screening report, from the window's data and from the command line:
// whole files compared byte for byte.
#include "analysis/screening.h"
#include "store/reports.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <atomic>
#include <stdexcept>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/clirun.h"
#include "tests/files.h"
#include "app/cli/commands.h"
#include "model/language.h"
#include "model/mainmodel.h"
#include "model/resulttablemodel.h"
#include "model/scriptedprompts.h"
#include "model/texts.h"
#include "indexing/indexingoperations.h"
#include "library/phasetree.h"
#include "store/parameterstore.h"
#include "store/textfile.h"

using namespace saed;
using model::Caption;
using model::Flag;
using model::ScriptedPrompts;

namespace {

using testdata::fileBytes;

QByteArray goldenFile(const char* name) {
    return fileBytes(QStringLiteral(SAED_STORE_TEST_DATA "/") + QString::fromUtf8(name));
}

QStringList reportsIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("标定结果*.txt")}, QDir::Files);
}

using testdata::CliRun;

// Runs saedindex-cli `command` on space-separated arguments, in English.
CliRun runCli(const char* command, const QString& args) {
    return testdata::runCli(QStringList{QString::fromLatin1(command)} + args.split(u' ', Qt::SkipEmptyParts));
}

class ReportsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        model.setCombo1Items(model::latticeTypeNames());
        model.setCombo1(saed::core::LatticeType::Simple);
        target = {{dir.filePath(QStringLiteral("program"))}, QDateTime(QDate(2012, 3, 4), QTime(15, 6, 7))};
    }
    QString programFile() const { return dir.filePath(QStringLiteral("program/标定结果2012-03-04 150607.txt")); }

    // A file where the report folder's parent should be, so the folder cannot be made.
    QString blockedFolder() {
        EXPECT_FALSE(testdata::writeFileBytes(dir.filePath(QStringLiteral("blocker")), {}).isEmpty());
        return dir.filePath(QStringLiteral("blocker/program"));
    }

    void setFields(std::initializer_list<std::pair<int, const char*>> fields) {
        for (const auto& [n, text] : fields) model.setText1(n, QString::fromUtf8(text));
    }

    // a = b = c = 0.5 nm, right angles, scale bar 2 1/nm over 100 px, spots of 100, 100 and
    // 141.42 px with one segment each, angles 90, 45, 45.
    void setWorkedExample() {
        model.setText6(QStringLiteral("Cubic"));
        setFields({{0, "0.5"}, {1, "0.5"}, {2, "0.5"}, {3, "90"}, {4, "90"}, {5, "90"}, {21, "1"}, {22, "2"},
                   {23, "100"}, {24, "100"}, {25, "100"}, {26, "141.42"}, {27, "0.008"}, {28, "0.008"},
                   {29, "0.008"}, {30, "1"}, {31, "1"}, {32, "1"}, {33, "90"}, {34, "45"}, {35, "45"},
                   {36, "2"}, {37, "2"}, {38, "2"}});
        model.setChosenFile(QStringLiteral("/data/images/pattern1.tif"));
    }

    // Hexagonal α-Mg: R1 on (1 0 0), R2 on (0 0 1), R3 on (1 0 1); the spacings stand as
    // segment counts over unit lengths and a unit scale bar.
    void setMagnesiumPattern() {
        setFields({{21, "2"}, {22, "1"}, {23, "1"}, {24, "1"}, {25, "1"}, {26, "1"}, {30, "0.27794"},
                   {31, "0.52105"}, {32, "0.24523"}, {33, "90"}, {34, "61.92"}, {35, "28.08"}});
        model.setChosenFile(QStringLiteral("/images/mg.png"));
    }

    // Screens the built-in library with `node` ticked, the real indexing run for each phase.
    std::optional<analysis::ScreeningOutcome> screen(bool multiple, const char* node) {
        library::PhaseTree tree;
        EXPECT_TRUE(tree.build(library::kLibraryText));
        if (node) tree.tickChanged(tree.find(node), true, multiple);
        return analysis::screenSelectedPhases(model, prompts, analysis::screeningRequest(tree, multiple),
                                           [this] { operations.RunIndexing(); }, target);
    }

    QTemporaryDir dir;
    model::MainModel model;
    ScriptedPrompts prompts;
    indexing::IndexingOperations operations{model, prompts};
    store::ReportTarget target;
};

class ScreeningTest : public ReportsTest {};

}  // namespace

TEST_F(ReportsTest, exportOfTheWorkedExampleOfAnEmptyTableAndWithoutSpacings) {
    setWorkedExample();
    operations.RunIndexing();
    ASSERT_EQ(model.resultTable()->rowCount(), 24);
    QSignalSpy status(&model, &model::MainModel::statusMessage);
    const auto path = store::exportResultReport(model, prompts, target);
    ASSERT_EQ(path, programFile());
    EXPECT_EQ(fileBytes(*path), goldenFile("worked_example_report.txt"));
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.at(0).at(0).toString(), QDir::toNativeSeparators(programFile()));

    // The same second again replaces the file: an empty table leaves lines 1 to 7.
    model.resultTable()->clearRows();
    ASSERT_TRUE(store::exportResultReport(model, prompts, target));
    const QByteArray empty = goldenFile("empty_table_report.txt");
    EXPECT_EQ(fileBytes(programFile()), empty);
    EXPECT_EQ(reportsIn(dir.filePath(QStringLiteral("program"))).size(), 1);

    // A first angle above 100 degrees widens the header's "<R1,R2>" by one blank.
    model.setText1(33, QStringLiteral("120"));
    ASSERT_TRUE(store::exportResultReport(model, prompts, target));
    const QByteArray wide = QByteArray(empty)
                                .replace("<R1,R2>=90.0000", "<R1,R2>=120.0000")
                                .replace("\t<R1,R2>\t", "\t<R1,R2> \t");
    EXPECT_EQ(fileBytes(programFile()), wide);
    EXPECT_TRUE(prompts.questions().empty());

    // A saved calibration chosen for the scale bar is named in one more line, after the rows.
    model.setCalibrationNote(QStringLiteral("cam（0.08 1/nm/px）"));
    ASSERT_TRUE(store::exportResultReport(model, prompts, target));
    QStringEncoder gb18030("GB18030");
    EXPECT_EQ(fileBytes(programFile()), wide + QByteArray(gb18030(QStringLiteral("所选标定：cam（0.08 1/nm/px）\r\n"))));
    model.setCalibrationNote(QString());

    // Spacings that cannot be computed: the lattice lines only, and the user is told.
    model.setText1(22, QStringLiteral("0"));
    ASSERT_TRUE(store::exportResultReport(model, prompts, target));
    EXPECT_EQ(fileBytes(programFile()), empty.left(empty.indexOf("pattern1")));
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_EQ(prompts.questions()[0].kind, ScriptedPrompts::Kind::Warn);
    EXPECT_TRUE(prompts.questions()[0].text.contains(QDir::toNativeSeparators(programFile())));
}

TEST_F(ReportsTest, folderThatCannotBeWritten) {
    setWorkedExample();
    const QString blocked = blockedFolder();
    // The program's folder is refused: the documents folder takes the report.
    target.folders = {blocked, dir.filePath(QStringLiteral("documents"))};
    const auto path = store::exportResultReport(model, prompts, target);
    ASSERT_TRUE(path);
    EXPECT_TRUE(path->startsWith(dir.filePath(QStringLiteral("documents/"))));
    EXPECT_EQ(fileBytes(*path), goldenFile("empty_table_report.txt"));
    EXPECT_TRUE(prompts.questions().empty());

    // No folder takes it: the user is told where it was tried, and a screening stops before
    // loading any phase.
    target.folders = {blocked};
    EXPECT_FALSE(store::exportResultReport(model, prompts, target));
    EXPECT_FALSE(screen(true, "物相"));
    EXPECT_EQ(model.Text6(), QStringLiteral("Cubic"));
    EXPECT_EQ(model.caption(Caption::Command13), QStringLiteral("计算选中项"));
    ASSERT_EQ(prompts.questions().size(), 2u);
    for (const auto& question : prompts.questions()) {
        EXPECT_EQ(question.kind, ScriptedPrompts::Kind::Warn);
        EXPECT_TRUE(question.text.contains(
            QDir::toNativeSeparators(blocked + QStringLiteral("/标定结果2012-03-04 150607.txt"))));
    }
}

TEST_F(ScreeningTest, bothBuiltInPhasesThenOneThenNone) {
    setMagnesiumPattern();
    model.setCombo1(saed::core::LatticeType::FaceCentred);  // each phase sets its own lattice type from its key words
    model.setFlag(Flag::Frame7Visible, true);
    target = {{dir.path()}, QDateTime(QDate(2016, 11, 29), QTime(9, 5, 3))};
    const auto outcome = screen(true, "物相");
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->path, dir.filePath(QStringLiteral("标定结果2016-11-29 090503.txt")));
    const QByteArray golden = goldenFile("screening_builtin_multiple.txt");
    EXPECT_EQ(fileBytes(outcome->path), golden);
    ASSERT_EQ(outcome->phases.size(), 2u);
    EXPECT_EQ(outcome->phases[0].rows, 12);  // {1 0 0} and (0 0 ±1)
    EXPECT_EQ(outcome->phases[1].rows, 0);
    // The last phase stays loaded and locked with its run's empty table; the library panel hides.
    EXPECT_EQ(model.Text6(), QStringLiteral("14H LPSO  未知  c/a11.59718"));
    EXPECT_EQ(model.Combo1(), saed::core::LatticeType::Simple);
    EXPECT_EQ(model.resultTable()->rowCount(), 0);
    EXPECT_TRUE(model.flag(Flag::LatticeLocked));
    EXPECT_FALSE(model.flag(Flag::Frame7Visible));
    EXPECT_EQ(model.caption(Caption::Command13), QStringLiteral("计算选中项"));
    EXPECT_EQ(model.caption(Caption::Frame1), QStringLiteral("点阵标尺"));

    // A second screening in the same second appends its blocks.
    ASSERT_TRUE(screen(true, "物相"));
    EXPECT_EQ(fileBytes(outcome->path), golden + golden);
    // A saved calibration chosen for the scale bar is named after each block's rows.
    model.setCalibrationNote(QStringLiteral("cam（0.08 1/nm/px）"));
    ASSERT_TRUE(screen(true, "物相"));
    QStringEncoder gb18030("GB18030");
    const QByteArray kept = golden + golden + golden + QByteArray(gb18030(QStringLiteral("所选标定：cam（0.08 1/nm/px）\r\n")));
    EXPECT_EQ(fileBytes(outcome->path), kept);
    model.setCalibrationNote(QString());

    // Single choice on α-Mg keeps no report and leaves the one of the same second alone.
    const auto single = screen(false, "bb1");
    ASSERT_TRUE(single);
    EXPECT_TRUE(single->path.isEmpty());
    EXPECT_EQ(fileBytes(outcome->path), kept);
    EXPECT_EQ(reportsIn(dir.path()).size(), 1);
    EXPECT_EQ(model.Text1(2), QStringLiteral("0.52105"));
    EXPECT_EQ(model.resultTable()->rowCount(), 12);

    // Nothing ticked: no run, the table sorted by label and recoloured.
    model.setText6(QStringLiteral("kept"));
    model.resultTable()->setAllLabelColors(QColor(0, 0, 255));
    ASSERT_TRUE(screen(false, nullptr));
    EXPECT_EQ(model.Text6(), QStringLiteral("kept"));
    EXPECT_EQ(model.resultTable()->labelColor(0), QColor(225, 0, 0));
    EXPECT_TRUE(model.resultTable()->isSorted());
    EXPECT_TRUE(prompts.questions().empty());
}

TEST_F(ScreeningTest, onTheWorkerTheSameReportAndACancelOrAFailedSearchWritesNone) {
    setMagnesiumPattern();
    target = {{dir.path()}, QDateTime(QDate(2016, 11, 29), QTime(9, 5, 3))};
    library::PhaseTree tree;
    ASSERT_TRUE(tree.build(library::kLibraryText));
    tree.tickChanged(tree.find("物相"), true, true);
    analysis::ScreeningRun screening(model, prompts, operations);
    QSignalSpy finished(&screening, &analysis::ScreeningRun::finished);
    QSignalSpy progress(&screening, &analysis::ScreeningRun::progress);

    ASSERT_TRUE(screening.start(analysis::screeningRequest(tree, true), target));
    EXPECT_FALSE(screening.start(analysis::screeningRequest(tree, true), target));  // one at a time
    ASSERT_TRUE(finished.wait(10000));
    ASSERT_TRUE(finished.at(0).at(0).toBool());
    ASSERT_TRUE(screening.outcome());
    const QString path = screening.outcome()->path;
    const QByteArray golden = goldenFile("screening_builtin_multiple.txt");
    EXPECT_EQ(fileBytes(path), golden);
    ASSERT_EQ(screening.outcome()->phases.size(), 2u);
    EXPECT_EQ(screening.outcome()->phases[0].rows, 12);
    EXPECT_EQ(progress.last().at(1).toString(), QStringLiteral("第2/2个物相：14H LPSO  未知  c/a11.59718"));
    EXPECT_EQ(model.caption(Caption::Command13), QStringLiteral("计算选中项"));
    EXPECT_FALSE(model.flag(Flag::Frame7Visible));

    // Cancelled inside the second phase's search, after the first phase's block was written to the
    // same report: the report keeps only what the earlier screening wrote.
    std::atomic<int> calls{0};
    std::atomic<bool> waiting{false};
    operations.setSearch([&](const indexing::IndexingInput& in, const indexing::RunControl& control) {
        if (++calls == 2) {
            waiting = true;
            while (!control.cancelled()) QThread::msleep(1);
            return indexing::IndexingResult{{}, indexing::RunEnd::Cancelled};
        }
        return indexing::indexPattern(in, control);
    });
    QSignalSpy status(&model, &model::MainModel::statusMessage);
    ASSERT_TRUE(screening.start(analysis::screeningRequest(tree, true), target));
    while (!waiting) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    screening.cancel();
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_FALSE(finished.at(1).at(0).toBool());
    EXPECT_FALSE(screening.outcome());
    EXPECT_EQ(fileBytes(path), golden);
    // The fields and the table belong to the phase it stopped at; the button is back.
    EXPECT_EQ(model.Text6(), QStringLiteral("14H LPSO  未知  c/a11.59718"));
    EXPECT_EQ(model.resultTable()->rowCount(), 0);
    EXPECT_EQ(model.caption(Caption::Label22), QStringLiteral("0"));
    EXPECT_TRUE(model.flag(Flag::LatticeLocked));
    EXPECT_EQ(model.caption(Caption::Command13), QStringLiteral("计算选中项"));
    ASSERT_FALSE(status.isEmpty());
    EXPECT_EQ(status.last().at(0).toString(), QStringLiteral("筛选已停止，未写入筛选结果。"));
    EXPECT_FALSE(operations.isRunning());

    // A search that throws is told, and the report this screening created goes again.
    operations.setSearch([](const indexing::IndexingInput&, const indexing::RunControl&) -> indexing::IndexingResult {
        throw std::runtime_error("search broke");
    });
    target.stamp = target.stamp.addSecs(1);
    ASSERT_TRUE(screening.start(analysis::screeningRequest(tree, true), target));
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_FALSE(finished.at(2).at(0).toBool());
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_EQ(prompts.questions()[0].text, QStringLiteral("计算出错：search broke"));
    EXPECT_EQ(model.Text6(), QStringLiteral("α-Mg  简单六方  c/a1.60323"));  // the phase it stopped at
    EXPECT_EQ(reportsIn(dir.path()), QStringList{QFileInfo(path).fileName()});
    EXPECT_EQ(fileBytes(path), golden);
}

TEST_F(ScreeningTest, commandLineScreenWritesTheSameReport) {
    const QString pattern = QStringLiteral("--d 0.27794,0.52105,0.24523 --angles 90,61.92,28.08 --range 2 "
                                           "--image mg.png --out ");
    // The library's two records (the built-in crystal phases follow them).
    const CliRun run = runCli("screen", pattern + dir.path() + QStringLiteral(" --phases 1,2"));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    // The lines read the library's type words in the run's language (English); the report keeps them.
    EXPECT_EQ(lines[0], QStringLiteral("α-Mg  simple hexagonal  c/a1.60323\t12"));
    EXPECT_EQ(lines[1], QStringLiteral("14H LPSO  unknown  c/a11.59718\t0"));
    const QStringList reports = reportsIn(dir.path());
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(lines[2], QStringLiteral("report: ") + QDir::toNativeSeparators(dir.filePath(reports[0])));
    EXPECT_EQ(fileBytes(dir.filePath(reports[0])), goldenFile("screening_builtin_multiple.txt"));

    // Only record 2: a run without rows leaves an empty report.
    const QString only2 = dir.filePath(QStringLiteral("only2"));
    const CliRun second = runCli("screen", pattern + only2 + QStringLiteral(" --phases 2"));
    ASSERT_EQ(second.status, 0) << second.err.toStdString();
    EXPECT_TRUE(second.out.startsWith(QStringLiteral("14H LPSO  unknown  c/a11.59718\t0\n")));
    ASSERT_EQ(reportsIn(only2).size(), 1);
    EXPECT_EQ(fileBytes(QDir(only2).filePath(reportsIn(only2)[0])), QByteArray());

    // A GBK library file: each phase takes its lattice type from its key words, so the
    // face-centred one has no solution for the {1 0 0} and {1 1 0} spots that the simple one has.
    const QString libraryPath = dir.filePath(QStringLiteral("lib.txt"));
    ASSERT_FALSE(testdata::writeFileBytes(libraryPath, store::encodeLines({QStringLiteral("铝;面心立方;1;0.5;0.5;0.5;90;90;90;"),
                                                                         QStringLiteral("钋;简单立方;1;0.5;0.5;0.5;90;90;90;")}))
                     .isEmpty());
    const CliRun cubic = runCli("screen", QStringLiteral("--d 0.5,0.5,0.3535534 --angles 90,45,45 "
                                                                      "--range 1 --library ") +
                                                           libraryPath + QStringLiteral(" --out ") + only2);
    ASSERT_EQ(cubic.status, 0) << cubic.err.toStdString();
    EXPECT_TRUE(cubic.out.startsWith(QStringLiteral("铝  面心立方  c/a1\t0\n钋  简单立方  c/a1\t24\n")))
        << cubic.out.toStdString();
}

// The same bytes whichever language the command line speaks.
TEST_F(ScreeningTest, indexCommandWritesTheResultReport) {
    const QString cell = QStringLiteral("--cell 0.5,0.5,0.5,90,90,90 ");
    // The command line has no image and no phase name but the default one.
    QByteArray expected = goldenFile("worked_example_report.txt");
    expected.replace("pattern1.tif", "").replace("Cubic", "NAME");
    for (const model::Language language : {model::Language::English, model::Language::Chinese}) {
        const QString out = dir.filePath(language == model::Language::English ? QStringLiteral("en") : QStringLiteral("zh"));
        const CliRun run = testdata::runCliIn(language, testdata::cliArgs(
            QStringLiteral("index ") + cell + QStringLiteral("--range 1 --scale 2,100 --r1 100,1 --r2 100,1 "
                                                             "--r3 141.42,1 --angles 90,45,45 --report --out ") + out));
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const QStringList reports = reportsIn(out);
        ASSERT_EQ(reports.size(), 1);
        EXPECT_EQ(fileBytes(QDir(out).filePath(reports[0])), expected);
        EXPECT_TRUE(run.err.contains(QDir::toNativeSeparators(QDir(out).filePath(reports[0]))));
    }
}

// Files are written in Chinese whatever language the window speaks: the result report, the
// screening report and the stored parameter sets keep their bytes under English, while the
// table and the messages read in English.
TEST_F(ScreeningTest, filesKeepTheirBytesUnderEnglish) {
    const auto storeBytes = [this](const QString& name) {
        const QString path = dir.filePath(name + QStringLiteral("/Store.ini"));
        prompts.queueText(QStringLiteral("样品 A"));
        EXPECT_TRUE(store::ParameterStore(path).save(model, prompts));
        return fileBytes(path);
    };
    setWorkedExample();
    model.setCombo1(saed::core::LatticeType::BodyCentred);
    const QByteArray chineseStore = storeBytes(QStringLiteral("zh"));

    ASSERT_TRUE(model::installProgramTranslations(*QCoreApplication::instance(), model::Language::English));
    struct Restore {
        ~Restore() { model::installProgramTranslations(*QCoreApplication::instance(), model::Language::Chinese); }
    } restore;
    EXPECT_EQ(storeBytes(QStringLiteral("en")), chineseStore);

    model.setCombo1(saed::core::LatticeType::Simple);
    operations.RunIndexing();
    ASSERT_EQ(model.resultTable()->rowCount(), 24);
    const auto path = store::exportResultReport(model, prompts, target);
    ASSERT_TRUE(path);
    EXPECT_EQ(fileBytes(*path), goldenFile("worked_example_report.txt"));
    // The table shows the group and its header in English; the report kept 第001组.
    const model::ResultTableModel& table = *model.resultTable();
    EXPECT_EQ(table.cell(0, 0), QStringLiteral("第001组"));
    EXPECT_EQ(table.data(table.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("#001"));
    EXPECT_EQ(table.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Group"));

    setMagnesiumPattern();
    model.setCombo1(saed::core::LatticeType::FaceCentred);
    target = {{dir.path()}, QDateTime(QDate(2016, 11, 29), QTime(9, 5, 3))};
    const auto outcome = screen(true, "物相");
    ASSERT_TRUE(outcome);
    EXPECT_EQ(fileBytes(outcome->path), goldenFile("screening_builtin_multiple.txt"));

    // A message the user reads comes from the catalogue.
    model.setText1(21, QStringLiteral("100"));
    prompts.clearQuestions();
    operations.RunIndexing();
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_EQ(prompts.questions()[0].text, QStringLiteral("The index range must be between 0 and 99!"));
}
