// The library screening with the real indexing run: the built-in phases against one pattern, and
// the command line that shares it.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include "app/cli/commands.h"
#include "app/mainmodel.h"
#include "app/resulttablemodel.h"
#include "app/scriptedprompts.h"
#include "app/texts.h"
#include "indexing/indexingoperations.h"
#include "library/phasetree.h"
#include "store/reports.h"
#include "store/textfile.h"

using namespace saed;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray goldenFile(const char* name) {
    return fileBytes(QStringLiteral(SAED_STORE_TEST_DATA "/") + QString::fromUtf8(name));
}

// A pattern of α-Mg along [0 1 0]: R1 on (1 0 0), R2 on (0 0 1), R3 on (1 0 1); the spacings
// stand as segment counts over unit lengths and a unit scale bar.
void setMagnesiumPattern(app::MainModel& model) {
    model.setCombo1Items(app::latticeTypeNames());
    model.setCombo1(0);
    for (int n : {22, 23, 24, 25, 26}) model.setText1(n, QStringLiteral("1"));
    model.setText1(30, QStringLiteral("0.32094"));
    model.setText1(31, QStringLiteral("0.52105"));
    model.setText1(32, QStringLiteral("0.27327"));
    model.setText1(33, QStringLiteral("90"));
    model.setText1(34, QStringLiteral("58.37"));
    model.setText1(35, QStringLiteral("31.63"));
    model.setText1(21, QStringLiteral("2"));
    model.setChosenFile(QStringLiteral("/images/mg.png"));
}

struct CliRun {
    int status;
    QString out;
    QString err;
};

CliRun runCli(int (*command)(const QStringList&, QTextStream&, QTextStream&), const QString& args) {
    CliRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = command(args.split(u' ', Qt::SkipEmptyParts), out, err);
    out.flush();
    err.flush();
    return run;
}

QStringList reportsIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("标定结果*.txt")}, QDir::Files);
}

}  // namespace

TEST(ScreeningTest, multipleModeScreeningOfBothBuiltInPhases) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    app::MainModel model;
    app::ScriptedPrompts prompts;
    setMagnesiumPattern(model);
    indexing::IndexingOperations operations(model, prompts);

    library::PhaseTree tree;
    ASSERT_TRUE(tree.build(library::kLibraryText));
    tree.tickChanged(tree.find("物相"), true, true);
    store::ReportTarget target{{dir.path()}, QDateTime(QDate(2016, 11, 29), QTime(9, 5, 3))};
    const auto outcome = store::screenSelectedPhases(model, prompts, store::screeningRequest(tree, true),
                                                     [&] { operations.RunIndexing(); }, target);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->path, dir.filePath(QStringLiteral("标定结果2016-11-29 090503.txt")));
    EXPECT_EQ(fileBytes(outcome->path), goldenFile("screening_builtin_multiple.txt"));
    ASSERT_EQ(outcome->phases.size(), 2u);
    EXPECT_EQ(outcome->phases[0].rows, 8);
    EXPECT_EQ(outcome->phases[1].rows, 0);
    // The second phase stays loaded, its run's empty table shown.
    EXPECT_EQ(model.Text6(), QStringLiteral("14H LPSO  未知  c/a11.59718"));
    EXPECT_EQ(model.resultTable()->rowCount(), 0);
    EXPECT_EQ(model.caption(app::Caption::Label22), QStringLiteral("0"));
    EXPECT_TRUE(prompts.questions().empty());

    // Single choice on 14H LPSO: its fields, the simple lattice, and no report left behind.
    tree.tickChanged(tree.find("bb2"), true, false);
    target.stamp = target.stamp.addSecs(1);
    ASSERT_TRUE(store::screenSelectedPhases(model, prompts, store::screeningRequest(tree, false),
                                            [&] { operations.RunIndexing(); }, target));
    EXPECT_EQ(model.Text1(2), QStringLiteral("3.72200"));
    EXPECT_EQ(model.Text1(5), QStringLiteral("120.00000"));
    EXPECT_EQ(model.Combo1(), 0);
    EXPECT_EQ(reportsIn(dir.path()).size(), 1);
}

TEST(ScreeningTest, commandLineScreenWritesTheSameReport) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pattern = QStringLiteral("--d 0.32094,0.52105,0.27327 --angles 90,58.37,31.63 --range 2 "
                                           "--image mg.png --out ") + dir.path();
    const CliRun run = runCli(cli::runScreenCommand, pattern);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("α-Mg  简单六方  c/a1.60323\t8"));
    EXPECT_EQ(lines[1], QStringLiteral("14H LPSO  未知  c/a11.59718\t0"));
    const QStringList reports = reportsIn(dir.path());
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(lines[2], QStringLiteral("report: ") + QDir::toNativeSeparators(dir.filePath(reports[0])));
    EXPECT_EQ(fileBytes(dir.filePath(reports[0])), goldenFile("screening_builtin_multiple.txt"));

    // Only record 2: a run without rows leaves an empty report.
    QTemporaryDir other;
    const CliRun second = runCli(cli::runScreenCommand, pattern.section(u' ', 0, -2) + u' ' + other.path() +
                                                            QStringLiteral(" --phases 2"));
    ASSERT_EQ(second.status, 0) << second.err.toStdString();
    EXPECT_TRUE(second.out.startsWith(QStringLiteral("14H LPSO  未知  c/a11.59718\t0\n")));
    ASSERT_EQ(reportsIn(other.path()).size(), 1);
    EXPECT_EQ(fileBytes(other.filePath(reportsIn(other.path())[0])), QByteArray());

    // Bad input is told and ends with status 2.
    EXPECT_EQ(runCli(cli::runScreenCommand, pattern + QStringLiteral(" --phases 3")).status, 2);
    EXPECT_EQ(runCli(cli::runScreenCommand, QStringLiteral("--d 1,2,3")).status, 2);
    const CliRun missingLibrary = runCli(cli::runScreenCommand, pattern + QStringLiteral(" --library /nonexistent"));
    EXPECT_EQ(missingLibrary.status, 2);
    EXPECT_TRUE(missingLibrary.err.contains(QStringLiteral("/nonexistent")));
}

TEST(ScreeningTest, screenReadsALibraryFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A GBK library of one cubic phase.
    const QString libraryPath = dir.filePath(QStringLiteral("lib.txt"));
    QFile library(libraryPath);
    ASSERT_TRUE(library.open(QIODevice::WriteOnly));
    library.write(store::encodeLines({QStringLiteral("铝;面心立方;1;0.5;0.5;0.5;90;90;90;")}).chopped(2));
    library.close();
    const CliRun run = runCli(cli::runScreenCommand,
                              QStringLiteral("--d 0.25,0.25,0.1767767 --angles 90,45,45 "
                                             "--range 2 --library ") + libraryPath + QStringLiteral(" --out ") + dir.path());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    // Face-centred: the {2 0 0} and {2 2 0} reflections of d = 0.25 and 0.1767767 nm.
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("铝  面心立方  c/a1\t24\n"))) << run.out.toStdString();
}

TEST(ScreeningTest, indexCommandWritesTheResultReport) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const CliRun run = runCli(cli::runIndexCommand,
                              QStringLiteral("--cell 0.5,0.5,0.5,90,90,90 --range 1 --scale 2,100 --r1 100,1 "
                                             "--r2 100,1 --r3 141.42,1 --angles 90,45,45 --report --out ") + dir.path());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList reports = reportsIn(dir.path());
    ASSERT_EQ(reports.size(), 1);
    QByteArray expected = goldenFile("worked_example_report.txt");
    // The command line has no image and no phase name but the default one.
    expected.replace("pattern1.tif", "").replace("Cubic", "NAME");
    EXPECT_EQ(fileBytes(dir.filePath(reports[0])), expected);
    EXPECT_TRUE(run.err.contains(QDir::toNativeSeparators(dir.filePath(reports[0]))));

    EXPECT_EQ(runCli(cli::runIndexCommand, QStringLiteral("--cell 0.5,0.5,0.5,90,90,90 --d 1,1,1 --angles 90,45,45 --out ") +
                                               dir.path())
                  .status,
              2);  // --out without --report
}
